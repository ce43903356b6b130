#pragma once
// The settings side of the main window with its message boxes, dialogs,
// clock and program launcher replaced.
#include "frmmainfixture.h"
#include "tests/settings/settingstestutil.h"
#include "tests/testsupport.h"

#include "platform/services.h"
#include "platform/statuslog.h"

#include <QColor>
#include <QComboBox>

#include <ostream>

QT_BEGIN_NAMESPACE
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

    testsupport::RecordedMessages messages;
    testsupport::ScriptedFiles files;
    testsupport::ChosenColors colors;
    testsupport::FixedClock clock;
    settingstest::Launcher launcher;
};
