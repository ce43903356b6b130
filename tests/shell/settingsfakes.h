#pragma once
// Stand-ins for the message boxes, dialogs, clock and program launcher the
// settings side of the main window uses, and a fixture that installs them.
#include "tests/testsupport.h"
#include "frmmainfixture.h"

#include "platform/services.h"
#include "platform/statuslog.h"
#include "shell/settings/fenwold.h"

#include <QApplication>
#include <QColor>
#include <QComboBox>
#include <QDir>
#include <QStringList>

#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace shelltest {

// True when a status line ends with `text` (lines start with the time).
inline bool logged(const QString& text)
{
    for (const QString& line : StatusLog::instance().lines())
        if (line.endsWith(text))
            return true;
    return false;
}

inline bool loggedError()
{
    for (const QString& line : StatusLog::instance().lines())
        if (line.contains(QLatin1String("!!!")))
            return true;
    return false;
}

using Messages = testsupport::RecordedMessages;

// Answers every dialog with `answer` (empty: the user cancels) and keeps
// what the dialog was asked to show.
using Files = testsupport::ScriptedFiles;

class Colors final : public ColorChooser {
public:
    Colors() { services::setColors(this); }
    ~Colors() override { services::setColors(nullptr); }
    bool choose(const QColor&, QColor& chosen) override
    {
        if (!answer.isValid())
            return false;
        chosen = answer;
        return true;
    }
    QColor answer; // invalid: the user cancels
};

class FixedClock final : public Clock {
public:
    FixedClock() { services::setClock(this); }
    ~FixedClock() override { services::setClock(nullptr); }
    QDateTime now() const override { return at; }
    QDateTime at{QDate(2024, 3, 7), QTime(14, 5, 9)};
};

class Launcher final : public fenwold::Launcher {
public:
    bool startDetached(const QString& program) override
    {
        started << program;
        return true;
    }
    QStringList started;
};

} // namespace shelltest

// A started main window (Editor mode unless a test switches) with the
// dialogs, messages and clock replaced.
class SettingsWindowTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        start();
        window->fenwoldLauncher = &launcher;
    }

    QString dataFolder() const { return folder("Data"); }
    QString mediaFolder() const { return folder("Media"); }
    QString settingsFile() const { return folder("OrvaneSettings.ini"); }

    void toPlayer(int dataType)
    {
        window->mnuSetStatus_Click(1);
        window->cboDataFileType->setCurrentIndex(dataType);
        gstrDataType = QString::number(dataType);
    }

    shelltest::Messages messages;
    shelltest::Files files;
    shelltest::Colors colors;
    shelltest::FixedClock clock;
    shelltest::Launcher launcher;
};
