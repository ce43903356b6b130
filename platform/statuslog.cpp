#include "platform/statuslog.h"

#include "platform/services.h"

#include <QLocale>

StatusLog::StatusLog(QObject* parent)
    : QObject(parent)
{
}

QString StatusLog::stamp(const QDateTime& dt)
{
    const QLocale loc = QLocale::system();
    return loc.toString(dt.date(), QLocale::ShortFormat) + QLatin1Char(' ')
           + loc.toString(dt.time(), QLocale::LongFormat);
}

void StatusLog::statusMessage(const QString& text)
{
    if (lines_.size() > kMaxLines)
        clear();
    const QString line = stamp(services::clock().now()) + QStringLiteral(" - ") + text;
    lines_ << line;
    Q_EMIT lineAdded(line);
}

void StatusLog::clear()
{
    lines_.clear();
    Q_EMIT cleared();
}

StatusLog& StatusLog::instance()
{
    static StatusLog log;
    return log;
}

void statusMessage(const QString& text)
{
    StatusLog::instance().statusMessage(text);
}
