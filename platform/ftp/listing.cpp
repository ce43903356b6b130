#include "platform/ftp/listing.h"

#include "platform/textfile.h"

#include <QRegularExpression>

namespace ftp {
namespace {

struct Token {
    QString text;
    qsizetype end = 0; // index just past the token in the line
};

// Splits at blanks, remembering where each token ends, up to `max` tokens.
QList<Token> tokens(const QString& line, int max)
{
    QList<Token> out;
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (i < n && out.size() < max) {
        while (i < n && line.at(i).isSpace())
            ++i;
        if (i >= n)
            break;
        const qsizetype start = i;
        while (i < n && !line.at(i).isSpace())
            ++i;
        out.append({line.mid(start, i - start), i});
    }
    return out;
}

bool allDigits(const QString& s)
{
    if (s.isEmpty())
        return false;
    for (const QChar ch : s) {
        if (!ch.isDigit())
            return false;
    }
    return true;
}

bool isMonth(const QString& s)
{
    static const QStringList months = {QStringLiteral("jan"), QStringLiteral("feb"), QStringLiteral("mar"),
                                       QStringLiteral("apr"), QStringLiteral("may"), QStringLiteral("jun"),
                                       QStringLiteral("jul"), QStringLiteral("aug"), QStringLiteral("sep"),
                                       QStringLiteral("oct"), QStringLiteral("nov"), QStringLiteral("dec")};
    return months.contains(s.toLower());
}

// The name starts after the single blank that follows the date in Unix style.
QString restAfter(const QString& line, qsizetype end, bool skipAllBlanks)
{
    if (skipAllBlanks) {
        while (end < line.size() && line.at(end).isSpace())
            ++end;
        return line.mid(end);
    }
    if (end < line.size() && line.at(end) == QLatin1Char(' '))
        ++end;
    return line.mid(end);
}

std::optional<Entry> parseUnix(const QString& line)
{
    const QChar kind = line.at(0);
    static const QString kinds = QStringLiteral("-dlbcps");
    if (!kinds.contains(kind))
        return std::nullopt;
    const QList<Token> t = tokens(line, 9);
    if (t.size() < 6 || t.at(0).text.size() < 10)
        return std::nullopt;
    static const QRegularExpression timeOrYear(QStringLiteral("^(\\d{1,2}:\\d{2}|\\d{4})$"));
    // Find "size month day time-or-year"; owner and group may be missing.
    for (int i = 2; i + 2 < t.size(); ++i) {
        if (!isMonth(t.at(i).text) || !allDigits(t.at(i + 1).text) || t.at(i + 1).text.size() > 2 ||
            !timeOrYear.match(t.at(i + 2).text).hasMatch() || !allDigits(t.at(i - 1).text))
            continue;
        Entry e;
        e.name = restAfter(line, t.at(i + 2).end, false);
        e.isFolder = kind == QLatin1Char('d');
        bool ok = false;
        const qint64 size = t.at(i - 1).text.toLongLong(&ok);
        e.size = ok ? size : -1;
        if (kind == QLatin1Char('l')) {
            const qsizetype arrow = e.name.indexOf(QStringLiteral(" -> "));
            if (arrow >= 0)
                e.name.truncate(arrow);
            e.size = -1; // the link's own size, not the target's
        }
        if (e.name.isEmpty())
            return std::nullopt;
        return e;
    }
    return std::nullopt;
}

std::optional<Entry> parseDos(const QString& line)
{
    static const QRegularExpression date(QStringLiteral("^\\d{1,2}-\\d{1,2}-\\d{2,4}$"));
    static const QRegularExpression time(QStringLiteral("^\\d{1,2}:\\d{2}([AaPp][Mm])?$"));
    const QList<Token> t = tokens(line, 3);
    if (t.size() < 3 || !date.match(t.at(0).text).hasMatch() || !time.match(t.at(1).text).hasMatch())
        return std::nullopt;
    Entry e;
    if (t.at(2).text.compare(QStringLiteral("<DIR>"), Qt::CaseInsensitive) == 0) {
        e.isFolder = true;
    } else if (allDigits(t.at(2).text)) {
        bool ok = false;
        const qint64 size = t.at(2).text.toLongLong(&ok);
        e.size = ok ? size : -1;
    } else {
        return std::nullopt;
    }
    e.name = restAfter(line, t.at(2).end, true);
    if (e.name.isEmpty())
        return std::nullopt;
    return e;
}

// One line (without its line break). Names keep inner blanks; a link's
// name is the part before " -> ".
std::optional<Entry> parseListLine(const QString& rawLine)
{
    QString line = rawLine;
    while (line.endsWith(QLatin1Char('\r')) || line.endsWith(QLatin1Char('\n')))
        line.chop(1);
    if (line.trimmed().isEmpty())
        return std::nullopt;
    if (line.at(0).isDigit())
        return parseDos(line);
    return parseUnix(line);
}

} // namespace

QList<Entry> parseListing(const QByteArray& reply)
{
    QList<Entry> out;
    const QStringList lines = textfile::splitLinesAnyEnd(textfile::decode(reply));
    for (const QString& line : lines) {
        const std::optional<Entry> e = parseListLine(line);
        if (!e || e->name == QLatin1String(".") || e->name == QLatin1String(".."))
            continue;
        out.append(*e);
    }
    return out;
}

} // namespace ftp
