#include "platform/statuslog.h"

#include "platform/services.h"

#include <QLocale>

StatusLog::StatusLog(QObject* parent)
    : QObject(parent)
{
}

namespace {

// The locale's long time format without its time-zone part ("t"), so a line
// reads "10:15:30" and not "10:15:30 Central European Standard Time".
QString timeFormatWithoutZone(const QLocale& loc)
{
    const QString fmt = loc.timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    for (const QChar ch : fmt) {
        if (ch == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && ch == QLatin1Char('t'))
            continue;
        out += ch;
    }
    return out.trimmed();
}

} // namespace

QString StatusLog::stamp(const QDateTime& dt)
{
    const QLocale loc = QLocale::system();
    return loc.toString(dt.date(), QLocale::ShortFormat) + QLatin1Char(' ')
           + loc.toString(dt.time(), timeFormatWithoutZone(loc));
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
