#include "records/readers.h"

#include "core/modmain.h"
#include "platform/textfile.h"

#include <QStringDecoder>

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
    // No value holds a TAB that has to become a blank.
    bool clean = false;

    void setWindow(View a, View b, View c, View d)
    {
        window = {a, b, c, d};
        hasWindow = true;
    }
};

// True when the values of `line` hold no TAB: always when they are cut at
// TABs. (A line never holds a CR or LF: either one ends it.)
template <typename View> bool noBreaks(View line, bool tabsSplit)
{
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

// Copies a value; a TAB inside it (a fixed-width or quoted source can hold
// one) is written as a blank, so every record line keeps exactly 20 TABs.
// (A CR never reaches a value, since it ends the line; it would go the same
// way.)
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

// Copies one part of the validity cell. A "|" taken from the source (a time
// written "09|30") is left out: it would split the part in two and shift
// every part after it.
template <typename Out, typename View> Out* copyWindowPart(Out* d, View v)
{
    const auto* s = unitsOf(v);
    for (qsizetype i = 0; i < v.size(); ++i) {
        const auto u = s[i];
        if (u != '|')
            *d++ = Out(u == '\t' || u == '\r' ? u' ' : u);
    }
    return d;
}

// Writes one record line from `d` on; returns the end of what it wrote.
template <typename Out, typename View> Out* copyRecord(Out* d, const Record<View>& r)
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
            d = copyWindowPart(d, r.window[i]);
        }
    } else {
        d = copyValue(d, r.cell, r.clean);
    }
    *d++ = Out('\r');
    *d++ = Out('\n');
    return d;
}

// Appends one record line.
template <typename View> void appendRecord(Sink& out, const Record<View>& f)
{
    // Room for the values as they stand (a window part that loses a "|"
    // comes out shorter).
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
    if (out.bytes) {
        char* d = static_cast<char*>(out.room(need));
        out.used += copyRecord(d, f) - d;
    } else {
        char16_t* d = static_cast<char16_t*>(out.room(need));
        out.used += copyRecord(d, f) - d;
    }
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

// What a reader carries from one batch of source lines to the next.
template <typename View> struct ReadState {
    using Unit = UnitOf<View>;
    int lineNo = 0; // source lines read so far
    // Basic Text: the lines of the block being read and its two counters.
    std::vector<View> held;
    int heldCount = 0;
    int blankCount = 0;
    std::vector<std::basic_string<Unit>> kept; // what `held` views once keepHeld ran

    // Copies the held lines out of the buffer they view, which is about to
    // be reused.
    void keepHeld()
    {
        if (held.empty())
            return;
        std::vector<std::basic_string<Unit>> copies;
        copies.reserve(held.size());
        for (const View v : held)
            copies.emplace_back(reinterpret_cast<const Unit*>(unitsOf(v)), size_t(v.size()));
        kept.swap(copies);
        for (size_t i = 0; i < held.size(); ++i)
            held[i] = Units<View>::of(kept[i].data(), qsizetype(kept[i].size()));
    }
};

// Fixed-width fields cut by character position, each trimmed. Every line,
// an empty one too, gives a record; positions past 250 are ignored.
template <typename View> bool readDelphi(const Lines<View>& lines, ReadState<View>&, Sink& out, QString*)
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
        f.clean = noBreaks(line, false);
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
template <typename View> bool readMicros(const Lines<View>& lines, ReadState<View>& st, Sink& out, QString* error)
{
    std::vector<View> p;
    Record<View> f;
    int& lineNo = st.lineNo;
    for (const View line : lines) {
        ++lineNo;
        splitRecordFields(line, p);
        const size_t n = p.size();
        if (n != 9 && n < 12) {
            fail(error, lineNo,
                 QStringLiteral("%1 tab-separated fields; a Micros/Opera line needs 9 fields or at least 12.").arg(n));
            return false;
        }
        f.clean = noBreaks(line, true);
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
template <typename View> bool readEBMS(const Lines<View>& lines, ReadState<View>& st, Sink& out, QString* error)
{
    using Unit = UnitOf<View>;
    std::vector<View> parts;
    std::vector<View> pieces;
    std::array<std::basic_string<Unit>, 15> clean;
    int& lineNo = st.lineNo;
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
        f.clean = noBreaks(line, false);
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
template <typename View> bool readOwnRecords(const Lines<View>& lines, ReadState<View>& st, Sink& out, QString* error)
{
    std::vector<View> p;
    Record<View> f;
    f.filled = 9;
    int& lineNo = st.lineNo;
    for (const View line : lines) {
        ++lineNo;
        splitRecordFields(line, p);
        if (p.size() < 9) {
            fail(error, lineNo,
                 QStringLiteral("%1 tab-separated fields; a record line needs at least 9.").arg(p.size()));
            return false;
        }
        f.clean = noBreaks(line, true);
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
template <typename View> bool readBasicText(const Lines<View>& lines, ReadState<View>& st, Sink& out, QString*)
{
    constexpr int kMaxHeld = 12;
    std::vector<View>& held = st.held;
    int& heldCount = st.heldCount;
    int& blankCount = st.blankCount;
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
            // Held lines may come from an earlier batch: look for a CR in each.
            f.clean = std::all_of(held.begin(), held.end(), [](View v) { return noBreaks(v, false); });
            appendRecord(out, f);
            held.clear();
            blankCount = 0;
            if (heldCount < kMaxHeld)
                heldCount = 0;
        }
    }
    return true;
}

// Runs a reader over the next lines of a source.
template <typename View>
bool runReader(Reader reader, const Lines<View>& lines, ReadState<View>& st, Sink& sink, QString* error)
{
    switch (reader) {
    case Reader::Delphi:
        return readDelphi(lines, st, sink, error);
    case Reader::Micros:
        return readMicros(lines, st, sink, error);
    case Reader::EBMS:
        return readEBMS(lines, st, sink, error);
    case Reader::OwnRecords:
        return readOwnRecords(lines, st, sink, error);
    case Reader::BasicText:
        return readBasicText(lines, st, sink, error);
    case Reader::None:
        break;
    }
    return true;
}

// The lines as textfile::splitLinesAnyEnd cuts them: at CRLF, LF or a lone
// CR; a final line end makes no empty last line.
template <typename View> void splitSource(View text, Lines<View>& lines)
{
    lines.clear();
    textfile::forEachLineAnyEnd(text, [&lines](View line) { lines.push_back(line); });
}

} // namespace

bool convertText(Reader reader, QStringView text, QByteArray& out, QString* error)
{
    out.clear();
    Lines<QStringView> lines;
    splitSource(text, lines);
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
    ReadState<QStringView> state;
    if (!runReader(reader, lines, state, sink, error)) {
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
// sixteen bytes at a time; also whether a byte is past ASCII.
void scanBytes(QLatin1StringView text, Lines<QLatin1StringView>& lines, bool& ascii)
{
    const char* p = text.data();
    const qsizetype n = text.size();
    lines.clear();
    qsizetype start = 0;
    // A CR or LF at `at`: a CR right before a LF leaves the line end to it.
    auto lineEnd = [&](qsizetype at) {
        if (p[at] == '\r' && at + 1 < n && p[at + 1] == '\n')
            return;
        qsizetype end = at;
        if (p[at] == '\n' && end > start && p[end - 1] == '\r')
            --end;
        lines.emplace_back(p + start, end - start);
        start = at + 1;
    };
    unsigned high = 0;
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    __m128i any = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        any = _mm_or_si128(any, v);
        const __m128i ends = _mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr));
        for (unsigned m = unsigned(_mm_movemask_epi8(ends)); m; m &= m - 1)
            lineEnd(i + std::countr_zero(m));
    }
    high = unsigned(_mm_movemask_epi8(any));
#endif
    for (; i < n; ++i) {
        high |= static_cast<unsigned char>(p[i]) & 0x80;
        if (p[i] == '\r' || p[i] == '\n')
            lineEnd(i);
    }
    if (start < n)
        lines.emplace_back(p + start, n - start);
    ascii = high == 0;
}

// How many of the first `n` bytes read so far are known to end a line or
// not: all but a CR at the very end, which may be the first half of a CRLF.
qsizetype settledBytes(const char* p, qsizetype n)
{
    return n > 0 && p[n - 1] == '\r' ? n - 1 : n;
}

// Where the last line end in p[from, to) ends (the index after it), or -1
// when there is none.
qsizetype afterLastLineEnd(const char* p, qsizetype from, qsizetype to)
{
    for (qsizetype i = to; i > from; --i)
        if (p[i - 1] == '\n' || p[i - 1] == '\r')
            return i;
    return -1;
}

// Where the first line end at or after `from` in p[0, n) ends (a CRLF taken
// whole), or n when there is none.
qsizetype afterNextLineEnd(const char* p, qsizetype from, qsizetype n)
{
    for (qsizetype i = from; i < n; ++i) {
        if (p[i] == '\n')
            return i + 1;
        if (p[i] == '\r')
            return i + 1 < n && p[i + 1] == '\n' ? i + 2 : i + 1;
    }
    return n;
}

// Source lines handed to a reader at once, in bytes (a batch runs on to the
// end of its last line).
constexpr qsizetype kBatchBytes = 64 * 1024;
// Output gathered before it is handed on.
constexpr qsizetype kFlushBytes = qsizetype(1) << 20;

// How a source's characters are read and written.
enum class Decoding {
    Bytes,     // plain ASCII, or Windows-1252 (not UTF-8): each byte is a character and is written as it is
    BytesUtf8, // the same, written as UTF-8: the record file's Windows-1252 bytes would pass for UTF-8
    Narrow,    // UTF-8 with characters past ASCII, written as Windows-1252
    Wide,      // the same, written as UTF-8: an output character has no Windows-1252 byte, or the
               // record file's Windows-1252 bytes would pass for UTF-8
};

enum class Pass {
    Done,   // the output is complete
    Failed, // `error` says why, or a piece of output could not be written
    Again,  // the decoding changed: start over with it
};

// One run over a source with one decoding, block by block. A source is taken
// as bytes until a byte past ASCII shows up; then the rest of it is checked
// once, and when it is all UTF-8 the run ends with Again and Narrow. A Narrow
// run that meets a character Windows-1252 lacks ends with Again and Wide.
// Whether the Windows-1252 record file reads back as its text shows only at
// its end (textfile::Windows1252Check): when it would not, a Bytes run ends
// with Again and BytesUtf8, a Narrow run with Again and Wide. So every source
// gets the decoding (and the record file the encoding) that the whole-text
// conversion gives it.
class Streamer {
public:
    Streamer(Reader reader, Source& source, Decoding& decoding, const atomicfile::Put& put, qsizetype block,
             QString* error)
        : reader_(reader)
        , source_(source)
        , decoding_(decoding)
        , put_(put)
        , block_(block)
        , error_(error)
        , decided_(decoding != Decoding::Bytes)
    {
        if (decoding_ == Decoding::Bytes || decoding_ == Decoding::BytesUtf8)
            sink_.bytes = &bytesOut_;
        else
            sink_.text = &textOut_;
        sink_.start(kFlushBytes + kFlushBytes / 2);
    }

    Pass run()
    {
        if (!source_.seek(0, error_))
            return Pass::Failed;
        QByteArray buf;
        qsizetype have = 0;  // bytes in `buf`
        qint64 offset = 0;   // where `buf` starts in the source
        qsizetype noEnd = 0; // bytes at the start of `buf` known to hold no line end
        bool bomChecked = false;
        for (bool atEnd = false; !atEnd;) {
            if (buf.size() < have + block_)
                buf.resize(have + block_);
            const qint64 got = source_.read(buf.data() + have, block_, error_);
            if (got < 0)
                return Pass::Failed;
            have += qsizetype(got);
            atEnd = got == 0;
            if (!bomChecked) {
                if (have < 3 && !atEnd)
                    continue;
                bomChecked = true;
                if (have >= 3 && std::memcmp(buf.constData(), "\xEF\xBB\xBF", 3) == 0) {
                    std::memmove(buf.data(), buf.constData() + 3, size_t(have - 3));
                    have -= 3;
                    offset = 3;
                }
            }
            // Whole lines; at the end whatever is left. A line longer than
            // the buffer makes it grow.
            qsizetype whole = have;
            if (!atEnd) {
                const qsizetype known = settledBytes(buf.constData(), have);
                whole = afterLastLineEnd(buf.constData(), noEnd, known);
                if (whole < 0) {
                    noEnd = known;
                    continue;
                }
            }
            if (const Pass p = lines(buf.constData(), whole, offset, offset + have); p != Pass::Done)
                return p;
            std::memmove(buf.data(), buf.constData() + whole, size_t(have - whole));
            offset += whole;
            have -= whole;
            noEnd = settledBytes(buf.constData(), have);
        }
        if (const Pass p = flush(); p != Pass::Done)
            return p;
        return readBack();
    }

private:
    // The whole lines p[0, n), which start `offset` bytes into the source, a
    // batch at a time; the source stands at `resume`.
    Pass lines(const char* p, qsizetype n, qint64 offset, qint64 resume)
    {
        const qsizetype batch = std::min(block_, kBatchBytes);
        for (qsizetype a = 0; a < n;) {
            qsizetype b = n;
            if (n - a > batch)
                b = afterNextLineEnd(p, a + batch - 1, n);
            Pass r = sink_.bytes ? narrowBatch(p + a, b - a, offset + a, resume) : wideBatch(p + a, b - a);
            if (r == Pass::Done && sink_.used >= kFlushBytes)
                r = flush();
            if (r != Pass::Done)
                return r;
            a = b;
        }
        return Pass::Done;
    }

    Pass narrowBatch(const char* p, qsizetype n, qint64 at, qint64 resume)
    {
        bool ascii = true;
        scanBytes(QLatin1StringView(p, n), narrowLines_, ascii);
        if (!ascii && !decided_) {
            decided_ = true;
            bool utf8 = false;
            if (!restIsUtf8(at, resume, utf8))
                return Pass::Failed;
            if (utf8) {
                decoding_ = Decoding::Narrow;
                return Pass::Again;
            }
        }
        if (!runReader(reader_, narrowLines_, narrowState_, sink_, error_))
            return Pass::Failed;
        narrowState_.keepHeld();
        return Pass::Done;
    }

    Pass wideBatch(const char* p, qsizetype n)
    {
        // The source was all UTF-8 when the decoding was chosen.
        if (!textfile::isUtf8(p, n)) {
            if (error_)
                *error_ = QStringLiteral("The source file changed while it was converted; convert it again.");
            return Pass::Failed;
        }
        text_ = decoder_.decode(QByteArrayView(p, n));
        splitSource(QStringView(text_), wideLines_);
        if (!runReader(reader_, wideLines_, wideState_, sink_, error_))
            return Pass::Failed;
        wideState_.keepHeld();
        return Pass::Done;
    }

    // Whether the source from `at` on is UTF-8 (all before it is ASCII);
    // the source then stands at `resume` again.
    bool restIsUtf8(qint64 at, qint64 resume, bool& utf8)
    {
        if (!source_.seek(at, error_))
            return false;
        QByteArray piece(block_, Qt::Uninitialized);
        textfile::Utf8Check check;
        for (;;) {
            const qint64 got = source_.read(piece.data(), block_, error_);
            if (got < 0)
                return false;
            if (got == 0 || !check.add(piece.constData(), qsizetype(got)))
                break;
        }
        utf8 = check.valid();
        return source_.seek(resume, error_);
    }

    // Hands on the output gathered so far, encoded as the decoding says.
    Pass flush()
    {
        const qsizetype n = sink_.used;
        sink_.used = 0;
        if (n == 0)
            return Pass::Done;
        const bool first = !started_;
        started_ = true;
        switch (decoding_) {
        case Decoding::Bytes:
            readBack_.add(bytesOut_.constData(), n);
            return put_(bytesOut_.constData(), n) ? Pass::Done : Pass::Failed;
        case Decoding::BytesUtf8:
            encoded_ = textfile::fromWindows1252(QByteArrayView(bytesOut_.constData(), n)).toUtf8();
            break;
        case Decoding::Narrow:
            encoded_.resize(0);
            if (!textfile::appendWindows1252(QStringView(textOut_.constData(), n), encoded_)) {
                decoding_ = Decoding::Wide;
                return Pass::Again;
            }
            readBack_.add(encoded_.constData(), encoded_.size());
            break;
        case Decoding::Wide: {
            // Only the start of the text may need more than plain UTF-8.
            const QStringView text(textOut_.constData(), n);
            encoded_ = first ? textfile::utf8Of(text) : text.toUtf8();
            break;
        }
        }
        return put_(encoded_.constData(), encoded_.size()) ? Pass::Done : Pass::Failed;
    }

    // At the end of a run: a Windows-1252 record file that would read back
    // as other letters is made again in UTF-8.
    Pass readBack()
    {
        if ((decoding_ != Decoding::Bytes && decoding_ != Decoding::Narrow) || readBack_.readsBack())
            return Pass::Done;
        decoding_ = decoding_ == Decoding::Bytes ? Decoding::BytesUtf8 : Decoding::Wide;
        return Pass::Again;
    }

    const Reader reader_;
    Source& source_;
    Decoding& decoding_;
    const atomicfile::Put& put_;
    const qsizetype block_;
    QString* const error_;
    bool decided_;         // whether a Bytes run knows the source is not UTF-8
    bool started_ = false; // whether output was handed on
    textfile::Windows1252Check readBack_;

    Sink sink_;
    QByteArray bytesOut_;
    QString textOut_;
    QByteArray encoded_;
    Lines<QLatin1StringView> narrowLines_;
    ReadState<QLatin1StringView> narrowState_;
    // One decoder for the whole run: like the whole-text decoding, it drops a
    // BOM at the start of the text (after the file's own) and nowhere else.
    QStringDecoder decoder_{QStringDecoder::Utf8};
    QString text_;
    Lines<QStringView> wideLines_;
    ReadState<QStringView> wideState_;
};

class MemorySource final : public Source {
public:
    explicit MemorySource(const QByteArray& bytes)
        : bytes_(bytes)
    {
    }
    qint64 read(char* to, qint64 size, QString*) override
    {
        const qint64 n = std::min(size, qint64(bytes_.size()) - pos_);
        std::memcpy(to, bytes_.constData() + pos_, size_t(n));
        pos_ += n;
        return n;
    }
    bool seek(qint64 pos, QString*) override
    {
        pos_ = std::clamp<qint64>(pos, 0, bytes_.size());
        return true;
    }

private:
    const QByteArray& bytes_;
    qint64 pos_ = 0;
};

} // namespace

bool convertSource(Reader reader, Source& source, const Output& output, QString* error, qsizetype blockSize)
{
    blockSize = std::max<qsizetype>(blockSize, 1);
    Decoding decoding = Decoding::Bytes;
    for (;;) {
        Pass pass = Pass::Failed;
        const bool kept = output([&](const atomicfile::Put& put) {
            Streamer streamer(reader, source, decoding, put, blockSize, error);
            pass = streamer.run();
            return pass == Pass::Done;
        });
        if (pass != Pass::Again)
            return kept;
    }
}

bool convertBytes(Reader reader, const QByteArray& source, QByteArray& out, QString* error, qsizetype blockSize)
{
    MemorySource in(source);
    const bool ok = convertSource(
        reader, in,
        [&out](const atomicfile::Produce& produce) {
            out.clear();
            return produce([&out](const char* p, qsizetype n) {
                out.append(p, n);
                return true;
            });
        },
        error, blockSize);
    if (!ok)
        out.clear();
    return ok;
}

} // namespace records
