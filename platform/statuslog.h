#pragma once
// The program's running log: each line is the date and time, " - " and the
// message. When the log holds more than 5000 lines the next message first
// empties it. Views listen to the signals.
#include <QObject>
#include <QStringList>

class StatusLog : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxLines = 5000;

    explicit StatusLog(QObject* parent = nullptr);

    void statusMessage(const QString& text);
    void clear();
    const QStringList& lines() const { return lines_; }
    int count() const { return int(lines_.size()); }

    // The date and time part of a line (short date, a blank, long time without
    // the time zone).
    static QString stamp(const QDateTime& dt);

    // The log the whole program writes to.
    static StatusLog& instance();

Q_SIGNALS:
    void lineAdded(const QString& line);
    void cleared();

private:
    QStringList lines_;
};

// Shorthand for StatusLog::instance().statusMessage(text).
void statusMessage(const QString& text);
