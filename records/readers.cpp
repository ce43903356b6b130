#include "records/readers.h"

#include "shell/modmain.h"

#include <array>
#include <vector>

namespace records {
namespace {

constexpr int kFields = 21; // "Line 1" .. "Line 20" and the validity cell
using Fields = std::array<QStringView, kFields>;

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
template <typename Sep>
void splitViews(QStringView line, Sep sep, qsizetype sepLen, std::vector<QStringView>& parts)
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

void splitTabs(QStringView line, std::vector<QStringView>& parts)
{
    splitViews(line, QLatin1Char('\t'), 1, parts);
}

bool hasTabOrCR(QStringView s)
{
    return s.contains(QLatin1Char('\t')) || s.contains(QLatin1Char('\r'));
}

// Appends one record line. When `clean` is set, a TAB or CR inside a value
// (a fixed-width or quoted source can hold one) is written as a blank, so
// that every record line keeps exactly 20 TABs.
void appendRecord(QString& out, const Fields& f, bool clean)
{
    qsizetype need = kFields + 1; // 20 TABs and CRLF
    for (const QStringView v : f)
        need += v.size();
    const qsizetype from = out.size();
    if (out.capacity() < from + need)
        out.reserve(std::max(from + need, 2 * out.capacity()));
    out.resize(from + need);
    QChar* d = out.data() + from;
    for (int i = 0; i < kFields; ++i) {
        if (i > 0)
            *d++ = QLatin1Char('\t');
        const QStringView v = f[size_t(i)];
        std::copy(v.begin(), v.end(), d);
        if (clean)
            for (QChar* p = d; p != d + v.size(); ++p)
                if (*p == QLatin1Char('\t') || *p == QLatin1Char('\r'))
                    *p = QLatin1Char(' ');
        d += v.size();
    }
    *d++ = QLatin1Char('\r');
    *d++ = QLatin1Char('\n');
}

// "a|b|c|d" built into `store`, which must outlive the view.
QStringView joinBar(QString& store, QStringView a, QStringView b, QStringView c, QStringView d)
{
    store.clear();
    store.append(a).append(QLatin1Char('|')).append(b).append(QLatin1Char('|'));
    store.append(c).append(QLatin1Char('|')).append(d);
    return store;
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
    case Reader::Delphi: return QStringLiteral("Delphi");
    case Reader::Micros: return QStringLiteral("Micros/Opera/Tamrisk");
    case Reader::EBMS: return QStringLiteral("EBMS");
    case Reader::OwnRecords: return QStringLiteral("Rizura Vivud");
    case Reader::BasicText: return QStringLiteral("Basic Text");
    case Reader::None: break;
    }
    return QStringLiteral("none");
}

bool convertLines(Reader reader, const QStringList& lines, QString& out, QString* error)
{
    // Room for the whole output at once: the source text plus the TABs and
    // validity cell each record line adds.
    qsizetype total = 0;
    for (const QString& line : lines)
        total += line.size() + 40;
    out.reserve(out.size() + total);
    switch (reader) {
    case Reader::Delphi: return readDelphi(lines, out, error);
    case Reader::Micros: return readMicros(lines, out, error);
    case Reader::EBMS: return readEBMS(lines, out, error);
    case Reader::OwnRecords: return readOwnRecords(lines, out, error);
    case Reader::BasicText: return readBasicText(lines, out, error);
    case Reader::None: break;
    }
    return true;
}

// Fixed-width fields cut by character position, each trimmed. Every line,
// an empty one too, gives a record; positions past 250 are ignored.
bool readDelphi(const QStringList& lines, QString& out, QString*)
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
    QString dateTime;
    for (const QString& line : lines) {
        Fields f{};
        const QStringView v(line);
        for (size_t i = 0; i < cuts.size(); ++i)
            f[i] = trimView(v.mid(cuts[i].start - 1, cuts[i].length));
        f[20] = joinBar(dateTime, f[6], f[7], u"0", u"0");
        appendRecord(out, f, hasTabOrCR(line));
    }
    return true;
}

// Tab-separated; a line of exactly nine fields gives "Line 1" .. "Line 9",
// one of twelve or more gives "Line 1" .. "Line 12". Any other count fails.
bool readMicros(const QStringList& lines, QString& out, QString* error)
{
    std::vector<QStringView> p;
    QString dateTime;
    int lineNo = 0;
    for (const QString& line : lines) {
        ++lineNo;
        if (line.isEmpty())
            p.clear();
        else
            splitTabs(line, p);
        const size_t n = p.size();
        if (n != 9 && n < 12) {
            fail(error, lineNo,
                 QStringLiteral("%1 tab-separated fields; a Micros/Opera line needs 9 fields or at least 12.")
                     .arg(n));
            return false;
        }
        Fields f{};
        const size_t take = n >= 12 ? 12 : 9;
        for (size_t i = 0; i < take; ++i)
            f[i] = p[i];
        f[20] = joinBar(dateTime, p[3], p[4], p[6], p[7]);
        appendRecord(out, f, line.contains(QLatin1Char('\r')));
    }
    return true;
}

// Values in double quotes separated by commas, split at every `","`. Lines
// of fewer than 15 parts are not records; part 14 holds four
// comma-separated pieces.
bool readEBMS(const QStringList& lines, QString& out, QString* error)
{
    std::vector<QStringView> parts;
    std::vector<QStringView> pieces;
    std::array<QString, 15> clean;
    int lineNo = 0;
    for (const QString& line : lines) {
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
        Fields f{};
        for (size_t i = 0; i < 13; ++i)
            f[i] = clean[i];
        for (size_t i = 0; i < 4; ++i)
            f[13 + i] = pieces[i];
        f[17] = clean[14];
        appendRecord(out, f, hasTabOrCR(line));
    }
    return true;
}

// The program's own record file as a source: the first nine fields are kept,
// the validity cell is rebuilt from fields 4, 5, 7 and 8.
bool readOwnRecords(const QStringList& lines, QString& out, QString* error)
{
    std::vector<QStringView> p;
    QString dateTime;
    int lineNo = 0;
    for (const QString& line : lines) {
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
        Fields f{};
        for (size_t i = 0; i < 9; ++i)
            f[i] = p[i];
        f[20] = joinBar(dateTime, p[3], p[4], p[6], p[7]);
        appendRecord(out, f, line.contains(QLatin1Char('\r')));
    }
    return true;
}

// Blocks of up to 12 non-empty lines. Two blank lines since the last record
// close a block (text between them does not reset the count); a block of 12
// lines closes at once and the lines after it are dropped up to the next
// blank line; lines still held at the end are not written.
bool readBasicText(const QStringList& lines, QString& out, QString*)
{
    constexpr int kMaxHeld = 12;
    std::vector<QStringView> held;
    int heldCount = 0;
    int blankCount = 0;
    for (const QString& line : lines) {
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
            Fields f{};
            for (size_t i = 0; i < held.size(); ++i)
                f[i] = held[i];
            f[20] = u"0|0|0|0";
            bool clean = false;
            for (const QStringView h : held)
                clean = clean || hasTabOrCR(h);
            appendRecord(out, f, clean);
            held.clear();
            blankCount = 0;
            if (heldCount < kMaxHeld)
                heldCount = 0;
        }
    }
    return true;
}

} // namespace records
