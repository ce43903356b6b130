#pragma once
// Shared fakes and helpers of the record tests.
#include "platform/services.h"
#include "platform/statuslog.h"
#include "tests/testsupport.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using FakeMessages = testsupport::RecordedMessages;

using FakeFiles = testsupport::ScriptedFiles;

// A record line of the record file: the given lines (the rest empty) and
// the DateTime cell, 21 fields joined by TAB, with CRLF.
inline QString recordText(const QStringList& lines, const QString& dateTime)
{
    QStringList f = lines;
    while (f.size() < 20)
        f << QString();
    f << dateTime;
    return f.join(QLatin1Char('\t')) + QStringLiteral("\r\n");
}
inline QByteArray recordBytes(const QStringList& lines, const QString& dateTime)
{
    return recordText(lines, dateTime).toLatin1();
}

inline QString lastStatusLine()
{
    const QStringList& l = StatusLog::instance().lines();
    return l.isEmpty() ? QString() : l.last();
}
