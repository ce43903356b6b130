#include "platform/ftp/replies.h"

#include <QDate>
#include <QTime>

namespace ftp {
namespace {

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

bool threeDigits(QStringView s)
{
    return s.size() >= 3 && plainDigits(s.left(3));
}

} // namespace

QString replyLine(QByteArrayView line)
{
    // The code comes first: a middle line that starts with digits is padded
    // with a blank to keep it from ending the reply.
    QString text = QString::fromLatin1(line);
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    return threeDigits(text) && (text.size() == 3 || text[3] == u' ') ? text : QString();
}

int replyCode(QStringView reply)
{
    if (!threeDigits(reply))
        return 0;
    return (reply[0].unicode() - u'0') * 100 + (reply[1].unicode() - u'0') * 10 + (reply[2].unicode() - u'0');
}

qint64 sizeOfReply(const QString& reply)
{
    if (!reply.startsWith(QLatin1String("213 ")))
        return -1;
    // Plain digits: a sign is no part of a byte count.
    const QString count = reply.mid(4).trimmed();
    bool number = false;
    const qint64 size = plainDigits(count) ? count.toLongLong(&number) : -1;
    return number ? size : -1;
}

QString timeOfReply(const QString& reply)
{
    if (!reply.startsWith(QLatin1String("213 ")))
        return QString();
    // Fourteen digits, then nothing or a fraction of a second. Old servers
    // that write the year as "19" and the years since 1900 send fifteen.
    const QString text = reply.mid(4).trimmed();
    const QStringView stamp = QStringView(text).left(14), fraction = QStringView(text).mid(14);
    if (stamp.size() < 14 || !plainDigits(stamp) ||
        (!fraction.isEmpty() && (fraction.front() != u'.' || !plainDigits(fraction.mid(1)))))
        return QString();
    const auto number = [stamp](int at, int size) { return stamp.mid(at, size).toInt(); };
    const bool real = QDate(number(0, 4), number(4, 2), number(6, 2)).isValid() &&
                      QTime(number(8, 2), number(10, 2), number(12, 2)).isValid();
    return real ? stamp.toString() : QString();
}

} // namespace ftp
