// Fuzz body for what the FTP client reads from a server. The input is taken
// both as a LIST reply and as lines of the control connection. Listing
// entries must be plain names (never "." or "..", no line breaks) with a
// size the line spells out, come out the same line by line and with CRLF
// line ends, and read back from a listing rebuilt out of them. A reply line
// is only ever the last line of a reply, and the SIZE and MDTM readers give
// a byte count the reply spells out in plain digits or -1, and a real date
// and time of 14 digits or "".
#include "platform/ftp/listing.h"
#include "platform/ftp/replies.h"
#include "platform/textfile.h"

#include <QDate>
#include <QTime>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>

using namespace ftp;

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

bool plainDigits(QStringView s)
{
    if (s.isEmpty())
        return false;
    for (const QChar ch : s) {
        if (ch < u'0' || ch > u'9')
            return false;
    }
    return true;
}

// Whether plain digits spell `n` (leading zeros allowed).
bool spells(QStringView digits, qint64 n)
{
    while (digits.size() > 1 && digits.front() == u'0')
        digits = digits.mid(1);
    return plainDigits(digits) && digits == QString::number(n);
}

// The value of plain digits; -1 when they don't fit a qint64.
qint64 valueOf(QStringView digits)
{
    while (digits.size() > 1 && digits.front() == u'0')
        digits = digits.mid(1);
    static const QString max = QString::number(std::numeric_limits<qint64>::max());
    if (digits.size() > max.size() || (digits.size() == max.size() && digits > QStringView(max)))
        return -1;
    qint64 n = 0;
    for (const QChar ch : digits)
        n = n * 10 + (ch.unicode() - u'0');
    return n;
}

QStringList blankSeparated(const QString& line)
{
    QStringList out;
    QString word;
    for (const QChar ch : line) {
        if (!ch.isSpace()) {
            word += ch;
        } else if (!word.isEmpty()) {
            out << word;
            word.clear();
        }
    }
    if (!word.isEmpty())
        out << word;
    return out;
}

// --- Listings

// Lines, in Unix and in DOS style, that name `e` as it is. A leading blank
// of a name is lost in DOS style, a size unknown can't be told in Unix style
// but by a link, and a link's name ends at its first " -> ".
QStringList linesFor(const Entry& e)
{
    QStringList out;
    const bool dosName = !e.name.front().isSpace();
    if (e.size >= 0) {
        out << (e.isFolder ? QStringLiteral("drwxr-xr-x    2 owner    group %1 Jan 31 12:00 %2")
                           : QStringLiteral("-rw-r--r--    1 owner    group %1 Feb  1  2023 %2"))
                   .arg(e.size)
                   .arg(e.name);
        if (!e.isFolder && dosName)
            out << QStringLiteral("01-31-2024  14:31 %1 %2").arg(e.size).arg(e.name);
    } else if (e.isFolder) {
        if (dosName)
            out << QStringLiteral("01-31-24  02:31PM       <DIR>          ") + e.name;
    } else if ((e.name + QStringLiteral(" -> x")).indexOf(QStringLiteral(" -> ")) == e.name.size()) {
        out << QStringLiteral("lrwxrwxrwx 1 owner group 9 Apr  2 10:00 %1 -> Data.TXT").arg(e.name);
    }
    return out;
}

void checkListing(const QByteArray& bytes)
{
    const QList<Entry> entries = parseListing(bytes);

    // Line by line: at most one entry a line, whatever its line end, named
    // by part of the line and with a size the line spells out; a link's
    // size is never its target's.
    QList<Entry> byLine;
    textfile::forEachLineAnyEnd(QStringView(textfile::decode(bytes)), [&](QStringView view) {
        const QString line = view.toString();
        const QList<Entry> got = parseListing(textfile::utf8Of(line));
        check(got.size() <= 1);
        for (const Entry& e : got) {
            check(!e.name.isEmpty() && line.contains(e.name));
            check(e.size >= -1);
            const QStringList words = blankSeparated(line);
            check(e.size < 0 ||
                  std::any_of(words.cbegin(), words.cend(), [&](const QString& w) { return spells(w, e.size); }));
            check(!line.startsWith(u'l') || e.size == -1);
        }
        byLine += got;
    });
    check(byLine == entries);

    for (const Entry& e : entries) {
        check(!e.name.contains(u'\r') && !e.name.contains(u'\n'));
        check(e.name != QLatin1String(".") && e.name != QLatin1String(".."));
    }

    // Servers end lines with CRLF.
    QByteArray crlf = bytes;
    crlf.replace("\n", "\r\n");
    check(parseListing(crlf) == entries);

    // Each entry reads back from every line that can name it, and a listing
    // of such lines among a total, blank lines and "." and ".." gives back
    // exactly those entries.
    QStringList rebuilt = {QStringLiteral("total 12"),
                           QStringLiteral("drwxr-xr-x    2 owner    group        4096 Jan 31 12:00 ."), QString()};
    QList<Entry> expected;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QStringList lines = linesFor(entries[i]);
        for (const QString& line : lines)
            check(parseListing(textfile::utf8Of(line)) == QList<Entry>{entries[i]});
        if (!lines.isEmpty()) {
            rebuilt << lines[i % lines.size()];
            expected << entries[i];
        }
    }
    rebuilt << QStringLiteral("01-31-24  02:31PM       <DIR>          ..");
    check(parseListing(textfile::utf8Of(rebuilt.join(QStringLiteral("\r\n")))) == expected);
}

// --- Replies on the control connection

// The size a SIZE reply gives, worked out the long way.
qint64 expectedSize(const QString& reply)
{
    if (!reply.startsWith(QLatin1String("213 ")))
        return -1;
    const QString count = reply.mid(4).trimmed();
    return plainDigits(count) ? valueOf(count) : -1;
}

bool realTime(QStringView stamp)
{
    if (stamp.size() != 14 || !plainDigits(stamp))
        return false;
    const auto n = [&](int at, int len) { return stamp.mid(at, len).toInt(); };
    return QDate(n(0, 4), n(4, 2), n(6, 2)).isValid() && QTime(n(8, 2), n(10, 2), n(12, 2)).isValid();
}

// The time an MDTM reply gives, worked out the long way.
QString expectedTime(const QString& reply)
{
    if (!reply.startsWith(QLatin1String("213 ")))
        return QString();
    const QString text = reply.mid(4).trimmed();
    const QStringView stamp = QStringView(text).left(14), rest = QStringView(text).mid(14);
    const bool fraction = rest.isEmpty() || (rest.front() == u'.' && plainDigits(rest.mid(1)));
    return realTime(stamp) && fraction ? stamp.toString() : QString();
}

void checkAnswers(const QString& reply)
{
    const qint64 size = sizeOfReply(reply);
    check(size == expectedSize(reply));
    const QString time = timeOfReply(reply);
    check(time == expectedTime(reply));
    check(time.isEmpty() || realTime(time));
}

// A final reply line: three digits, then nothing or a blank.
bool endsAReply(const QString& line)
{
    return line.size() >= 3 && plainDigits(QStringView(line).left(3)) && (line.size() == 3 || line[3] == u' ');
}

void checkReplies(const QByteArray& bytes)
{
    const QList<QByteArray> lines = bytes.split('\n');
    QStringList middle;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        // As the transfer library hands lines over: with their line end.
        const QByteArray line = i + 1 < lines.size() ? lines[i] + '\n' : lines[i];
        const QString reply = replyLine(line);
        const QString sent = QString::fromLatin1(line);
        if (!reply.isEmpty()) {
            // The line as sent, less blanks at its end.
            check(endsAReply(reply) && reply == reply.trimmed() && sent.startsWith(reply));
            check(replyCode(reply) == QStringView(reply).left(3).toInt());
            check(sent.mid(reply.size()).trimmed().isEmpty());
        }
        check(replyCode(sent) >= 0 && replyCode(sent) <= 999);
        checkAnswers(reply);
        checkAnswers(sent);
        checkAnswers(sent.trimmed());
        middle << QString::fromLatin1(lines[i]).remove(u'\r');
    }

    // The same lines as the middle of a multi-line reply (padded with a
    // blank, as servers do) and its first line: only the last line ends it.
    const int code = 100 + int(qHash(bytes) % 500);
    QByteArray multi = QByteArray::number(code) + "-First line\r\n";
    for (const QString& line : middle)
        multi += ' ' + line.toLatin1() + "\r\n";
    const QByteArray last = QByteArray::number(code) + " Last line";
    multi += last + "\r\n";
    QStringList got;
    for (const QByteArray& line : multi.split('\n')) {
        const QString reply = replyLine(line + '\n');
        if (!reply.isEmpty())
            got << reply;
    }
    check(got == QStringList{QString::fromLatin1(last)});
}

// Sizes and times made from the input read back as they were written, and
// a digit too many is never read as a value.
void checkMadeAnswers(const QByteArray& bytes)
{
    const quint64 h = qHash(bytes, 1) * 0x9E3779B97F4A7C15ULL;
    const qint64 n = qint64((h & quint64(std::numeric_limits<qint64>::max())) >> (h % 63));
    check(sizeOfReply(QStringLiteral("213 %1").arg(n)) == n);
    check(sizeOfReply(QStringLiteral("213 00%1\r\n").arg(n)) == n);
    const qint64 tenfold = n <= std::numeric_limits<qint64>::max() / 10 ? n * 10 : -1;
    check(sizeOfReply(QStringLiteral("213 ") + QString::number(n) + u'0') == tenfold);

    const QString stamp = QStringLiteral("%1%2%3%4%5%6")
                              .arg(1 + (h >> 3) % 9999, 4, 10, QLatin1Char('0'))
                              .arg(1 + (h >> 17) % 12, 2, 10, QLatin1Char('0'))
                              .arg(1 + (h >> 21) % 31, 2, 10, QLatin1Char('0'))
                              .arg((h >> 26) % 25, 2, 10, QLatin1Char('0'))
                              .arg((h >> 31) % 61, 2, 10, QLatin1Char('0'))
                              .arg((h >> 37) % 61, 2, 10, QLatin1Char('0'));
    const QString time = realTime(stamp) ? stamp : QString();
    check(timeOfReply(QStringLiteral("213 ") + stamp) == time);
    check(timeOfReply(QStringLiteral("213 %1.%2").arg(stamp).arg(h % 1000)) == time);
    check(timeOfReply(QStringLiteral("213 %1%2").arg(stamp).arg(h % 10)).isEmpty());
    check(timeOfReply(QStringLiteral("213 ") + stamp.left(13)).isEmpty());
}

} // namespace

int fuzzFtpReplies(const uint8_t* data, size_t size)
{
    if (size > 16 * 1024)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    checkListing(bytes);
    checkReplies(bytes);
    checkMadeAnswers(bytes);
    return 0;
}
