#pragma once
// Shared fakes and helpers of the record tests.
#include "platform/services.h"
#include "platform/statuslog.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

struct Shown {
    QString text;
    MsgIcon icon;
};

class FakeMessages final : public MessageSink {
public:
    FakeMessages() { services::setMessages(this); }
    ~FakeMessages() override { services::setMessages(nullptr); }
    MsgAnswer show(const QString&, const QString& text, MsgIcon icon, MsgButtons) override
    {
        shown.push_back({text, icon});
        return MsgAnswer::Ok;
    }
    QStringList texts() const
    {
        QStringList out;
        for (const Shown& s : shown)
            out << s.text;
        return out;
    }
    std::vector<Shown> shown;
};

class FakeFiles final : public FileChooser {
public:
    FakeFiles() { services::setFiles(this); }
    ~FakeFiles() override { services::setFiles(nullptr); }
    bool chooseOpen(const QString& title, const QString& folder, const QString& filter, QString& path) override
    {
        ++opened;
        lastTitle = title;
        lastFolder = folder;
        lastFilter = filter;
        if (answer.isEmpty())
            return false;
        path = answer;
        return true;
    }
    bool chooseSave(const QString&, const QString&, const QString&, const QString&, bool, QString&) override
    {
        return false;
    }
    QString answer; // empty: the user cancels
    int opened = 0;
    QString lastTitle, lastFolder, lastFilter;
};

// A record line of the record file: the given lines (the rest empty) and
// the DateTime cell, 21 fields joined by TAB, with CRLF.
inline QByteArray recordBytes(const QStringList& lines, const QString& dateTime)
{
    QStringList f = lines;
    while (f.size() < 20)
        f << QString();
    f << dateTime;
    return (f.join(QLatin1Char('\t')) + QStringLiteral("\r\n")).toLatin1();
}

inline QString lastStatusLine()
{
    const QStringList& l = StatusLog::instance().lines();
    return l.isEmpty() ? QString() : l.last();
}
