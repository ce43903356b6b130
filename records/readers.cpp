#include "records/readers.h"

#include "core/modmain.h"
#include "platform/textfile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace records {
namespace {

constexpr int kLines = 20; // "Line 1" .. "Line 20"

// The readers run over views of either the UTF-16 text of a source or, when
// its bytes are their own characters (plain ASCII or Windows-1252), the
// bytes themselves.
template <typename View> struct Units;
template <> struct Units<QStringView> {
    using Unit = char16_t;
    static QStringView of(const char16_t* p, qsizetype n) { return QStringView(p, n); }
};
template <> struct Units<QLatin1StringView> {
    using Unit = char;
    static QLatin1StringView of(const char* p, qsizetype n) { return QLatin1StringView(p, n); }
};
template <typename View> using UnitOf = typename Units<View>::Unit;

// The code units of a view, unsigned.
inline const char16_t* unitsOf(QStringView v)
{
    return v.utf16();
}
inline const unsigned char* unitsOf(QLatin1StringView v)
{
    return reinterpret_cast<const unsigned char*>(v.data());
}

// A text of ASCII characters as a view of either kind.
template <typename View> View literal(const char16_t* wide, const char* narrow, qsizetype n)
{
    if constexpr (std::is_same_v<View, QStringView>)
        return QStringView(wide, n);
    else
        return QLatin1StringView(narrow, n);
}

template <typename View> qsizetype findUnit(View text, char c, qsizetype from)
{
    if constexpr (std::is_same_v<View, QLatin1StringView>) {
        const void* at = std::memchr(text.data() + from, c, size_t(text.size() - from));
        return at ? static_cast<const char*>(at) - text.data() : -1;
    } else {
        return text.indexOf(QLatin1Char(c), from);
    }
}

// One record line: the 20 lines, then the validity cell, given either
// whole or as its four parts (joined by "|" on output).
template <typename View> struct Record {
    std::array<View, kLines> lines{};
    size_t filled = kLines; // lines from here on are empty, whatever they hold
    View cell;
    std::array<View, 4> window{};
    bool hasWindow = false;
    // No value holds a TAB or CR that has to become a blank.
    bool clean = false;

    void setWindow(View a, View b, View c, View d)
    {
        window = {a, b, c, d};
        hasWindow = true;
    }
};

// True when `line` holds no CR and, unless its values are cut at TABs, no TAB.
template <typename View> bool noBreaks(View line, bool tabsSplit, bool noCR = false)
{
    if (!noCR && findUnit(line, '\r', 0) >= 0)
        return false;
    return tabsSplit || findUnit(line, '\t', 0) < 0;
}

// Splits at every occurrence of `sep` into views of `line` (an empty line
// is one empty field).
template <typename View, typename Sep> void splitViews(View line, Sep sep, qsizetype sepLen, std::vector<View>& parts)
{
    parts.clear();
    qsizetype start = 0;
    for (;;) {
        const qsizetype at = line.indexOf(sep, start);
        if (at < 0) {
            parts.push_back(line.sliced(start));
            return;
        }
        parts.push_back(line.sliced(start, at - start));
        start = at + sepLen;
    }
}

// Where the record lines go: UTF-16 text, or (when every character is
// ASCII, or the source is Windows-1252 bytes) straight into the bytes of the
// record file. The buffer is sized ahead and cut to `used` at the end.
struct Sink {
    QString* text = nullptr;
    QByteArray* bytes = nullptr;
    qsizetype used = 0;
    bool noCR = false; // no line of the source holds a CR

    void start(qsizetype room)
    {
        used = 0;
        resize(room);
        textfile::adviseLargePages(base_, room * unit());
    }
    // Room for `need` more units at the end.
    void* room(qsizetype need)
    {
        if (used + need > size_)
            resize(std::max(used + need, 2 * size_));
        return static_cast<char*>(base_) + used * unit();
    }
    void finish() { resize(used); }

private:
    qsizetype unit() const { return bytes ? 1 : 2; }
    void resize(qsizetype n)
    {
        if (bytes) {
            bytes->resize(n);
            base_ = bytes->data();
        } else {
            text->resize(n);
            base_ = text->data();
        }
        size_ = n;
    }
    void* base_ = nullptr;
    qsizetype size_ = 0;
};

// Copies a value; a TAB or CR inside it (a fixed-width or quoted source
// can hold one) is written as a blank, so every record line keeps exactly
// 20 TABs.
template <typename Out, typename View> Out* copyValue(Out* d, View v, bool clean)
{
    const auto* s = unitsOf(v);
    const qsizetype n = v.size();
    if constexpr (sizeof(Out) == sizeof(*s)) {
        if (clean) {
            if (n > 16) {
                std::memcpy(d, s, size_t(n) * sizeof(Out));
                return d + n;
            }
            for (qsizetype i = 0; i < n; ++i) // short values: cheaper than a call
                d[i] = Out(s[i]);
            return d + n;
        }
    }
    for (qsizetype i = 0; i < n; ++i) {
        const auto u = s[i];
        *d++ = Out(u == '\t' || u == '\r' ? u' ' : u);
    }
    return d;
}

template <typename Out, typename View> void copyRecord(Out* d, const Record<View>& r)
{
    size_t k = 0;
    while (k < r.filled) {
        const View v = r.lines[k++];
        if (r.clean && sizeof(Out) == sizeof(*unitsOf(v))) {
            // Values that follow each other in the source, a TAB apart (as
            // split fields do), go over in one piece with their TABs.
            const auto* from = unitsOf(v);
            const auto* end = from + v.size();
            while (k < r.filled && from && unitsOf(r.lines[k]) == end + 1 && *end == '\t') {
                end = unitsOf(r.lines[k]) + r.lines[k].size();
                ++k;
            }
            if (end != from) // an empty value may have no data at all
                std::memcpy(d, from, size_t(end - from) * sizeof(Out));
            d += end - from;
        } else {
            d = copyValue(d, v, r.clean);
        }
        *d++ = Out('\t');
    }
    for (; k < r.lines.size(); ++k)
        *d++ = Out('\t');
    if (r.hasWindow) {
        for (size_t i = 0; i < r.window.size(); ++i) {
            if (i > 0)
                *d++ = Out('|');
            d = copyValue(d, r.window[i], r.clean);
        }
    } else {
        d = copyValue(d, r.cell, r.clean);
    }
    *d++ = Out('\r');
    *d++ = Out('\n');
}

// Appends one record line.
template <typename View> void appendRecord(Sink& out, const Record<View>& f)
{
    qsizetype need = kLines + 2; // 20 TABs and CRLF
    for (size_t k = 0; k < f.filled; ++k)
        need += f.lines[k].size();
    if (f.hasWindow) {
        need += 3; // the "|" between the parts
        for (const View v : f.window)
            need += v.size();
    } else {
        need += f.cell.size();
    }
    if (out.bytes)
        copyRecord(static_cast<char*>(out.room(need)), f);
    else
        copyRecord(static_cast<char16_t*>(out.room(need)), f);
    out.used += need;
}

void fail(QString* error, int lineNo, const QString& why)
{
    if (error)
        *error = QStringLiteral("Line %1 of the source file: %2").arg(lineNo).arg(why);
}

} // namespace

void splitTabs(QLatin1StringView line, std::vector<QLatin1StringView>& fields)
{
    // Sixteen bytes at a time: a mask of the TABs among them, then one step
    // per TAB.
    const char* p = line.data();
    const qsizetype n = line.size();
    auto eachTab = [p, n](auto&& f) {
        qsizetype i = 0;
#if defined(__SSE2__)
        const __m128i tab = _mm_set1_epi8('\t');
        for (; i + 16 <= n; i += 16) {
            unsigned mask = unsigned(
                _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)), tab)));
            while (mask) {
                f(i + std::countr_zero(mask));
                mask &= mask - 1;
            }
        }
#endif
        for (; i < n; ++i)
            if (p[i] == '\t')
                f(i);
    };
    size_t room = std::max<size_t>(fields.capacity(), 32);
    fields.resize(room);
    QLatin1StringView* out = fields.data();
    size_t count = 0;
    qsizetype start = 0;
    eachTab([&](qsizetype at) {
        if (count + 1 == room) { // keep room for the last field
            room *= 2;
            fields.resize(room);
            out = fields.data();
        }
        out[count++] = QLatin1StringView(p + start, at - start);
        start = at + 1;
    });
    out[count++] = QLatin1StringView(p + start, n - start);
    fields.resize(count);
}

void splitTabs(QStringView line, std::vector<QStringView>& fields)
{
    fields.clear();
    const QChar* p = line.data();
    const qsizetype n = line.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] == QLatin1Char('\t')) {
            fields.push_back(line.sliced(start, i - start));
            start = i + 1;
        }
    }
    fields.push_back(line.sliced(start));
}

QString trimBlanks(QStringView text)
{
    return trimBlankView(text).toString();
}

Reader selectReader(const QString& dataType, const QString& sourcePath)
{
    const QString ext = modMain::GetRightOfLast(sourcePath, QLatin1Char('.')).toUpper();
    if (dataType == QLatin1String("1") && ext == QLatin1String("NSS"))
        return Reader::Delphi;
    if (dataType == QLatin1String("0") && ext == QLatin1String("TXT"))
        return Reader::Micros;
    if (dataType == QLatin1String("2") && ext == QLatin1String("TXT"))
        return Reader::EBMS;
    if (dataType == QLatin1String("3") && ext == QLatin1String("ORV"))
        return Reader::OwnRecords;
    if (dataType == QLatin1String("4") && ext == QLatin1String("TXT"))
        return Reader::BasicText;
    return Reader::None;
}

namespace {

// The TAB-separated fields of a source line; an empty line has none.
template <typename View> void splitRecordFields(View line, std::vector<View>& fields)
{
    if (line.isEmpty())
        fields.clear();
    else
        splitTabs(line, fields);
}

template <typename View> using Lines = std::vector<View>;

// Fixed-width fields cut by character position, each trimmed. Every line,
// an empty one too, gives a record; positions past 250 are ignored.
template <typename View> bool readDelphi(const Lines<View>& lines, Sink& out, QString*)
{
    struct Cut {
        int start;
        int length;
    };
    static constexpr std::array<Cut, 11> cuts{{{1, 60},
                                               {61, 60},
                                               {121, 40},
                                               {161, 3},
                                               {164, 8},
                                               {172, 40},
                                               {212, 4},
                                               {216, 4},
                                               {220, 20},
                                               {240, 4},
                                               {244, 7}}};
    for (const View line : lines) {
        Record<View> f;
        f.clean = noBreaks(line, false, out.noCR);
        for (size_t i = 0; i < cuts.size(); ++i)
            f.lines[i] = trimBlankView(line.mid(cuts[i].start - 1, cuts[i].length));
        const View zero = literal<View>(u"0", "0", 1);
        f.setWindow(f.lines[6], f.lines[7], zero, zero);
        appendRecord(out, f);
    }
    return true;
}

// Tab-separated; a line of exactly nine fields gives "Line 1" .. "Line 9",
// one of twelve or more gives "Line 1" .. "Line 12". Any other count fails.
template <typename View> bool readMicros(const Lines<View>& lines, Sink& out, QString* error)
{
    std::vector<View> p;
    Record<View> f;
    int lineNo = 0;
    for (const View line : lines) {
        ++lineNo;
        splitRecordFields(line, p);
        const size_t n = p.size();
        if (n != 9 && n < 12) {
            fail(error, lineNo,
                 QStringLiteral("%1 tab-separated fields; a Micros/Opera line needs 9 fields or at least 12.").arg(n));
            return false;
        }
        f.clean = noBreaks(line, true, out.noCR);
        const size_t take = n >= 12 ? 12 : 9;
        for (size_t i = 0; i < take; ++i)
            f.lines[i] = p[i];
        f.filled = take;
        f.setWindow(p[3], p[4], p[6], p[7]);
        appendRecord(out, f);
    }
    return true;
}

// Values in double quotes separated by commas, split at every `","`. Lines
// of fewer than 15 parts are not records; part 14 holds four
// comma-separated pieces.
template <typename View> bool readEBMS(const Lines<View>& lines, Sink& out, QString* error)
{
    using Unit = UnitOf<View>;
    std::vector<View> parts;
    std::vector<View> pieces;
    std::array<std::basic_string<Unit>, 15> clean;
    int lineNo = 0;
    for (const View line : lines) {
        ++lineNo;
        if (line.isEmpty())
            continue;
        splitViews(line, QLatin1StringView("\",\""), 3, parts);
        if (parts.size() < 15)
            continue;
        for (size_t i = 0; i < clean.size(); ++i) {
            clean[i].clear();
            const auto* u = unitsOf(parts[i]);
            for (qsizetype k = 0; k < parts[i].size(); ++k)
                if (u[k] != '"')
                    clean[i] += Unit(u[k]);
        }
        auto view = [&clean](size_t i) { return Units<View>::of(clean[i].data(), qsizetype(clean[i].size())); };
        splitViews(view(13), QLatin1Char(','), 1, pieces);
        if (clean[13].empty() || pieces.size() < 4) {
            fail(error, lineNo,
                 QStringLiteral("the 14th value holds %1 comma-separated pieces; an EBMS function line needs 4.")
                     .arg(clean[13].empty() ? 0 : pieces.size()));
            return false;
        }
        Record<View> f;
        f.clean = noBreaks(line, false, out.noCR);
        for (size_t i = 0; i < 13; ++i)
            f.lines[i] = view(i);
        for (size_t i = 0; i < 4; ++i)
            f.lines[13 + i] = pieces[i];
        f.lines[17] = view(14);
        appendRecord(out, f);
    }
    return true;
}

// The program's own record file as a source: the first nine fields are kept,
// the validity cell is rebuilt from fields 4, 5, 7 and 8.
template <typename View> bool readOwnRecords(const Lines<View>& lines, Sink& out, QString* error)
{
    std::vector<View> p;
    Record<View> f;
    f.filled = 9;
    int lineNo = 0;
    for (const View line : lines) {
        ++lineNo;
        splitRecordFields(line, p);
        if (p.size() < 9) {
            fail(error, lineNo,
                 QStringLiteral("%1 tab-separated fields; a record line needs at least 9.").arg(p.size()));
            return false;
        }
        f.clean = noBreaks(line, true, out.noCR);
        for (size_t i = 0; i < 9; ++i)
            f.lines[i] = p[i];
        f.setWindow(p[3], p[4], p[6], p[7]);
        appendRecord(out, f);
    }
    return true;
}

// Blocks of up to 12 non-empty lines. Two blank lines since the last record
// close a block (text between them does not reset the count); a block of 12
// lines closes at once and the lines after it are dropped up to the next
// blank line; lines still held at the end are not written.
template <typename View> bool readBasicText(const Lines<View>& lines, Sink& out, QString*)
{
    constexpr int kMaxHeld = 12;
    std::vector<View> held;
    int heldCount = 0;
    int blankCount = 0;
    for (const View line : lines) {
        if (!line.isEmpty()) {
            if (heldCount >= kMaxHeld)
                continue;
            held.push_back(line);
            ++heldCount;
        } else {
            if (heldCount >= kMaxHeld) {
                heldCount = 0;
                ++blankCount;
                continue;
            }
            ++blankCount;
        }
        if (heldCount == 0) {
            if (blankCount == 2)
                blankCount = 0;
        } else if (blankCount >= 2 || heldCount >= kMaxHeld) {
            Record<View> f;
            for (size_t i = 0; i < held.size(); ++i)
                f.lines[i] = held[i];
            f.cell = literal<View>(u"0|0|0|0", "0|0|0|0", 7);
            f.clean = std::all_of(held.begin(), held.end(), [&out](View v) { return noBreaks(v, false, out.noCR); });
            appendRecord(out, f);
            held.clear();
            blankCount = 0;
            if (heldCount < kMaxHeld)
                heldCount = 0;
        }
    }
    return true;
}

template <typename View> bool runReader(Reader reader, const Lines<View>& lines, Sink& sink, QString* error)
{
    switch (reader) {
    case Reader::Delphi:
        return readDelphi(lines, sink, error);
    case Reader::Micros:
        return readMicros(lines, sink, error);
    case Reader::EBMS:
        return readEBMS(lines, sink, error);
    case Reader::OwnRecords:
        return readOwnRecords(lines, sink, error);
    case Reader::BasicText:
        return readBasicText(lines, sink, error);
    case Reader::None:
        break;
    }
    return true;
}

// The lines as textfile::splitLines cuts them: at LF, a CR right before it
// dropped (a lone CR stays); a final line break makes no empty last line.
template <typename View> Lines<View> splitSource(View text)
{
    Lines<View> lines;
    for (qsizetype start = 0; start < text.size();) {
        qsizetype nl = findUnit(text, '\n', start);
        qsizetype end = nl;
        if (nl < 0)
            end = nl = text.size();
        else if (end > start && text[end - 1] == QLatin1Char('\r'))
            --end;
        lines.push_back(text.sliced(start, end - start));
        start = nl + 1;
    }
    return lines;
}

} // namespace

bool convertText(Reader reader, QStringView text, QByteArray& out, QString* error)
{
    out.clear();
    const Lines<QStringView> lines = splitSource(text);
    char16_t any = 0;
    for (const QChar ch : text)
        any |= ch.unicode();

    // Every record line is made of source text plus TABs, the validity cell
    // and CRLF: room for all of it at once.
    const qsizetype room = text.size() + qsizetype(lines.size()) * 48;
    QString wide;
    Sink sink;
    if (any < 0x80)
        sink.bytes = &out;
    else
        sink.text = &wide;
    sink.start(room);
    if (!runReader(reader, lines, sink, error)) {
        out.clear();
        return false;
    }
    sink.finish();
    if (sink.text)
        out = textfile::encode(wide);
    return true;
}

namespace {

// The lines of a byte source as splitSource cuts them, in one pass of
// sixteen bytes at a time; also whether a byte is past ASCII and whether a
// CR stands anywhere but right before a LF.
void scanBytes(QLatin1StringView text, Lines<QLatin1StringView>& lines, bool& ascii, bool& loneCR)
{
    const char* p = text.data();
    const qsizetype n = text.size();
    qsizetype start = 0;
    auto lineEnd = [&](qsizetype at) {
        qsizetype end = at;
        if (end > start && p[end - 1] == '\r')
            --end;
        lines.emplace_back(p + start, end - start);
        start = at + 1;
    };
    auto carriageReturn = [&](qsizetype at) {
        if (at + 1 >= n || p[at + 1] != '\n')
            loneCR = true;
    };
    loneCR = false;
    unsigned high = 0;
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    __m128i any = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        any = _mm_or_si128(any, v);
        for (unsigned m = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr))); m; m &= m - 1)
            carriageReturn(i + std::countr_zero(m));
        for (unsigned m = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf))); m; m &= m - 1)
            lineEnd(i + std::countr_zero(m));
    }
    high = unsigned(_mm_movemask_epi8(any));
#endif
    for (; i < n; ++i) {
        high |= static_cast<unsigned char>(p[i]) & 0x80;
        if (p[i] == '\r')
            carriageReturn(i);
        else if (p[i] == '\n')
            lineEnd(i);
    }
    if (start < n)
        lines.emplace_back(p + start, n - start);
    ascii = high == 0;
}

} // namespace

bool convertBytes(Reader reader, const QByteArray& source, QByteArray& out, QString* error)
{
    // Plain ASCII and Windows-1252 sources have one byte per character, and
    // the record file keeps them as they are: the readers work on the bytes.
    const qsizetype bom = source.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    const QLatin1StringView narrow(source.constData() + bom, source.size() - bom);
    Lines<QLatin1StringView> lines;
    bool ascii = true;
    bool loneCR = false;
    scanBytes(narrow, lines, ascii, loneCR);
    if (!ascii && textfile::isUtf8(narrow.data(), narrow.size()))
        return convertText(reader, textfile::decode(source), out, error);
    out.clear();
    Sink sink;
    sink.bytes = &out;
    sink.noCR = !loneCR;
    sink.start(narrow.size() + qsizetype(lines.size()) * 48);
    if (!runReader(reader, lines, sink, error)) {
        out.clear();
        return false;
    }
    sink.finish();
    return true;
}

} // namespace records
