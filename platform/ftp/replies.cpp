#include "platform/ftp/replies.h"

namespace ftp {
namespace {

bool threeDigits(QStringView s)
{
    if (s.size() < 3)
        return false;
    for (int i = 0; i < 3; ++i) {
        if (s[i] < u'0' || s[i] > u'9')
            return false;
    }
    return true;
}

} // namespace

QString replyLine(QByteArrayView line)
{
    const QString text = QString::fromLatin1(line).trimmed();
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
    bool number = false;
    const qint64 size = reply.mid(4).trimmed().toLongLong(&number);
    return number && size >= 0 ? size : -1;
}

QString timeOfReply(const QString& reply)
{
    return reply.startsWith(QLatin1String("213 ")) ? reply.mid(4).trimmed().left(14) : QString();
}

} // namespace ftp
