#include "core/ftpcopies.h"

#include "platform/paths.h"

#include <QStringList>

namespace ftpcopies {

QString remotePath(const QString& ftpName)
{
    const QString name = paths::namedFile(ftpName);
    if (name.isEmpty())
        return QString();
    QString within = ftpName.trimmed();
    within.chop(name.size());
    within.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QStringList parts = within.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    parts << name;
    return parts.join(QLatin1Char('/'));
}

QString bookingCopyName(const QString& dataName, const QString& bookingName)
{
    const QString booking = paths::namedFile(bookingName);
    if (booking.isEmpty() || booking.compare(paths::namedFile(dataName), Qt::CaseInsensitive) != 0 ||
        remotePath(bookingName) == remotePath(dataName))
        return QString();
    const qsizetype dot = booking.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return booking + QStringLiteral(".booking");
    return booking.left(dot) + QStringLiteral(".booking") + booking.mid(dot);
}

} // namespace ftpcopies
