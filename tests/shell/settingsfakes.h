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
    shelltest::Colors colors;
    testsupport::FixedClock clock;
    settingstest::Launcher launcher;
};
