#include "records/readers.h"

#include "core/modmain.h"
#include "platform/textfile.h"

#include <array>
#include <vector>

namespace records {
namespace {

constexpr int kLines = 20; // "Line 1" .. "Line 20"

// One record line: the 20 lines, then the validity cell, given either
// whole or as its four parts (joined by "|" on output).
struct Record {
    std::array<QStringView, kLines> lines{};
    QStringView cell;
    std::array<QStringView, 4> window{};
    bool hasWindow = false;

    void setWindow(QStringView a, QStringView b, QStringView c, QStringView d)
    {
        window = {a, b, c, d};
        hasWindow = true;
    }
};

QStringView trimView(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s[b] == QLatin1Char(' '))
        ++b;
    while (e > b && s[e - 1] == QLatin1Char(' '))
        --e;
    return s.sliced(b, e - b);
}

// Splits at every occurrence of `sep` into views of `line` (an empty line
// is one empty field).
template <typename Sep> void splitViews(QStringView line, Sep sep, qsizetype sepLen, std::vector<QStringView>& parts)
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

// The same for TAB; fields are short, so a plain scan beats a search call
// per field.
void splitTabs(QStringView line, std::vector<QStringView>& parts)
{
    parts.clear();
    const QChar* p = line.data();
    const qsizetype n = line.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] == QLatin1Char('\t')) {
            parts.push_back(line.sliced(start, i - start));
            start = i + 1;
        }
    }
    parts.push_back(line.sliced(start));
}

// Where the record lines go: UTF-16 text, or (when every character is
// ASCII) straight into the bytes of the record file.
struct Sink {
    QString* text = nullptr;
    QByteArray* bytes = nullptr;
};

// Copies a value; a TAB or CR inside it (a fixed-width or quoted source
// can hold one) is written as a blank, so every record line keeps exactly
// 20 TABs.
template <typename Unit> Unit* copyValue(Unit* d, QStringView v)
{
    for (const QChar ch : v) {
        const char16_t u = ch.unicode();
        *d++ = Unit(u == u'\t' || u == u'\r' ? u' ' : u);
    }
    return d;
}

template <typename Unit> void copyRecord(Unit* d, const Record& r)
{
    for (const QStringView v : r.lines) {
        d = copyValue(d, v);
        *d++ = Unit('\t');
    }
    if (r.hasWindow) {
        for (size_t i = 0; i < r.window.size(); ++i) {
            if (i > 0)
                *d++ = Unit('|');
            d = copyValue(d, r.window[i]);
        }
    } else {
        d = copyValue(d, r.cell);
    }
    *d++ = Unit('\r');
    *d++ = Unit('\n');
}

template <typename Buffer> qsizetype growFor(Buffer& out, qsizetype need)
{
    const qsizetype from = out.size();
    if (out.capacity() < from + need)
        out.reserve(std::max(from + need, 2 * out.capacity()));
    out.resize(from + need);
    return from;
}

// Appends one record line.
void appendRecord(Sink& out, const Record& f)
{
    qsizetype need = kLines + 2; // 20 TABs and CRLF
    for (const QStringView v : f.lines)
        need += v.size();
    if (f.hasWindow) {
        need += 3; // the "|" between the parts
        for (const QStringView v : f.window)
            need += v.size();
    } else {
        need += f.cell.size();
    }
    if (out.bytes) {
        const qsizetype from = growFor(*out.bytes, need);
        copyRecord(out.bytes->data() + from, f);
    } else {
        const qsizetype from = growFor(*out.text, need);
        copyRecord(reinterpret_cast<char16_t*>(out.text->data()) + from, f);
    }
}

void fail(QString* error, int lineNo, const QString& why)
{
    if (error)
        *error = QStringLiteral("Line %1 of the source file: %2").arg(lineNo).arg(why);
}

} // namespace

QString trimBlanks(QStringView text)
{
    return trimView(text).toString();
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

QString readerName(Reader reader)
{
    switch (reader) {
    case Reader::Delphi:
        return QStringLiteral("Delphi");
    case Reader::Micros:
        return QStringLiteral("Micros/Opera/Tamrisk");
    case Reader::EBMS:
        return QStringLiteral("EBMS");
    case Reader::OwnRecords:
        return QStringLiteral("Rizura Vivud");
    case Reader::BasicText:
        return QStringLiteral("Basic Text");
    case Reader::None:
        break;
    }
    return QStringLiteral("none");
}

namespace {

using Lines = std::vector<QStringView>;

// Fixed-width fields cut by character position, each trimmed. Every line,
// an empty one too, gives a record; positions past 250 are ignored.
bool readDelphi(const Lines& lines, Sink& out, QString*)
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
    for (const QStringView line : lines) {
        Record f;
        const QStringView v(line);
        for (size_t i = 0; i < cuts.size(); ++i)
            f.lines[i] = trimView(v.mid(cuts[i].start - 1, cuts[i].length));
        f.setWindow(f.lines[6], f.lines[7], u"0", u"0");
        appendRecord(out, f);
    }
    return true;
}

// Tab-separated; a line of exactly nine fields gives "Line 1" .. "Line 9",
// one of twelve or more gives "Line 1" .. "Line 12". Any other count fails.
bool readMicros(const Lines& lines, Sink& out, QString* error)
{
    std::vector<QStringView> p;
    int lineNo = 0;
    for (const QStringView line : lines) {
        ++lineNo;
        if (line.isEmpty())
            p.clear();
        else
            splitTabs(line, p);
        const size_t n = p.size();
        if (n != 9 && n < 12) {
            fail(error, lineNo,
                 QStringLiteral("%1 tab-separated fields; a Micros/Opera line needs 9 fields or at least 12.").arg(n));
            return false;
        }
        Record f;
        const size_t take = n >= 12 ? 12 : 9;
        for (size_t i = 0; i < take; ++i)
            f.lines[i] = p[i];
        f.setWindow(p[3], p[4], p[6], p[7]);
        appendRecord(out, f);
    }
    return true;
}

// Values in double quotes separated by commas, split at every `","`. Lines
// of fewer than 15 parts are not records; part 14 holds four
// comma-separated pieces.
bool readEBMS(const Lines& lines, Sink& out, QString* error)
{
    std::vector<QStringView> parts;
    std::vector<QStringView> pieces;
    std::array<QString, 15> clean;
    int lineNo = 0;
    for (const QStringView line : lines) {
        ++lineNo;
        if (line.isEmpty())
            continue;
        splitViews(QStringView(line), QLatin1String("\",\""), 3, parts);
        if (parts.size() < 15)
            continue;
        for (size_t i = 0; i < clean.size(); ++i) {
            clean[i] = parts[i].toString();
            clean[i].remove(QLatin1Char('"'));
        }
        splitViews(QStringView(clean[13]), QLatin1Char(','), 1, pieces);
        if (clean[13].isEmpty() || pieces.size() < 4) {
            fail(error, lineNo,
                 QStringLiteral("the 14th value holds %1 comma-separated pieces; an EBMS function line needs 4.")
                     .arg(clean[13].isEmpty() ? 0 : pieces.size()));
            return false;
        }
        Record f;
        for (size_t i = 0; i < 13; ++i)
            f.lines[i] = clean[i];
        for (size_t i = 0; i < 4; ++i)
            f.lines[13 + i] = pieces[i];
        f.lines[17] = clean[14];
        appendRecord(out, f);
    }
    return true;
}

// The program's own record file as a source: the first nine fields are kept,
// the validity cell is rebuilt from fields 4, 5, 7 and 8.
bool readOwnRecords(const Lines& lines, Sink& out, QString* error)
{
    std::vector<QStringView> p;
    int lineNo = 0;
    for (const QStringView line : lines) {
        ++lineNo;
        if (line.isEmpty())
            p.clear();
        else
            splitTabs(line, p);
        if (p.size() < 9) {
            fail(error, lineNo,
                 QStringLiteral("%1 tab-separated fields; a record line needs at least 9.").arg(p.size()));
            return false;
        }
        Record f;
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
bool readBasicText(const Lines& lines, Sink& out, QString*)
{
    constexpr int kMaxHeld = 12;
    std::vector<QStringView> held;
    int heldCount = 0;
    int blankCount = 0;
    for (const QStringView line : lines) {
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
            Record f;
            for (size_t i = 0; i < held.size(); ++i)
                f.lines[i] = held[i];
            f.cell = u"0|0|0|0";
            appendRecord(out, f);
            held.clear();
            blankCount = 0;
            if (heldCount < kMaxHeld)
                heldCount = 0;
        }
    }
    return true;
}

} // namespace

bool convertText(Reader reader, QStringView text, QByteArray& out, QString* error)
{
    out.clear();
    // The lines as textfile::splitLines cuts them: at LF, a CR right before
    // it dropped (a lone CR stays); a final line break makes no empty last
    // line.
    Lines lines;
    char16_t any = 0;
    for (qsizetype start = 0; start < text.size();) {
        qsizetype nl = text.indexOf(QLatin1Char('\n'), start);
        qsizetype end = nl;
        if (nl < 0)
            end = nl = text.size();
        else if (end > start && text[end - 1] == QLatin1Char('\r'))
            --end;
        lines.push_back(text.sliced(start, end - start));
        start = nl + 1;
    }
    for (const QChar ch : text)
        any |= ch.unicode();

    // Every record line is made of source text plus TABs, the validity cell
    // and CRLF: room for all of it at once.
    const qsizetype room = text.size() + qsizetype(lines.size()) * 48;
    QString wide;
    Sink sink;
    if (any < 0x80) {
        out.reserve(room);
        sink.bytes = &out;
    } else {
        wide.reserve(room);
        sink.text = &wide;
    }
    bool ok = true;
    switch (reader) {
    case Reader::Delphi:
        ok = readDelphi(lines, sink, error);
        break;
    case Reader::Micros:
        ok = readMicros(lines, sink, error);
        break;
    case Reader::EBMS:
        ok = readEBMS(lines, sink, error);
        break;
    case Reader::OwnRecords:
        ok = readOwnRecords(lines, sink, error);
        break;
    case Reader::BasicText:
        ok = readBasicText(lines, sink, error);
        break;
    case Reader::None:
        break;
    }
    if (!ok) {
        out.clear();
        return false;
    }
    if (sink.text)
        out = textfile::encode(wide);
    return true;
}

} // namespace records
