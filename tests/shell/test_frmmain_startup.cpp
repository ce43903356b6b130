// Start-up of the main window: folders, caption, the stored mode and the
// lists and start values of the inputs.
#include "frmmainfixture.h"

#include "core/datagrids.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

using shelltest::entries;

namespace {

QStringList lines(int from, int to)
{
    QStringList out;
    for (int i = from; i <= to; ++i)
        out << QStringLiteral("Line %1").arg(i);
    return out;
}

} // namespace

TEST_F(MainWindowTest, EditorStartWithoutSettingsFile)
{
    int restarts = 0;
    window->neighbours.mnuRestart_Click = [&] { ++restarts; };
    start();

    EXPECT_EQ(window->windowTitle(), QStringLiteral("ZQ Rizura Vivud 1.3.5"));
    EXPECT_TRUE(QFileInfo(folder("MasterTemplateLists")).isDir());
    EXPECT_EQ(gstrWorkingDataFile, folder("Data") + QStringLiteral("/_Orvane.orv"));

    EXPECT_EQ(restarts, 0);
    // The designer starts on the first template slot even without settings.
    EXPECT_EQ(window->cboTemplateSelection->currentIndex(), 0);

    // Editor: side view buttons and Process hidden, Communication shown.
    EXPECT_TRUE(window->btnProgress->isHidden());
    EXPECT_FALSE(window->btnFNW->isHidden());
    EXPECT_FALSE(window->mnuProcess->menuAction()->isVisible());
    EXPECT_TRUE(window->mnuCommunication->isVisible());
    EXPECT_FALSE(window->cboDataFileType->isEnabled());
}

TEST_F(MainWindowTest, TheStartRemovesTemporariesOfKilledWrites)
{
    // Also what a broken upload from the administration side left (its
    // temporaries follow the same pattern) in the folders it sends to.
    const char* const stale[] = {".OrvaneSettings.ini.orvtmp.k1LLed", "Data/._Orvane.orv.orvtmp.Q9x8y7",
                                 "Media/.back.jpg.orvtmp.Up1oad", "player/Media/.page.png.orvtmp.a1B2c3",
                                 "player/Settings/.Settings.ini.orvtmp.Zz9Yy8"};
    for (const char* sub : {"Data", "Media", "player/Media", "player/Settings"})
        QDir().mkpath(folder(sub));
    for (const char* name : stale)
        shelltest::writeText(folder(name), QStringLiteral("part"));
    shelltest::writeText(folder("Data/.keep.me"), QStringLiteral("mine"));
    // A board file an upload moved aside and could not put back: it goes
    // back, never away.
    shelltest::writeText(folder("Media/.bg.png.orvold.Ab12Cd"), QStringLiteral("old picture"));
    start();
    for (const char* name : stale)
        EXPECT_FALSE(QFileInfo::exists(folder(name))) << name;
    EXPECT_TRUE(QFileInfo::exists(folder("Data/.keep.me")));
    EXPECT_FALSE(QFileInfo::exists(folder("Media/.bg.png.orvold.Ab12Cd")));
    EXPECT_EQ(testsupport::readAll(folder("Media/bg.png")), QByteArray("old picture"));
}

TEST_F(MainWindowTest, PlayerStartFromTheStoredMode)
{
    writeSettings(QStringLiteral("[SETTINGS]\r\nStatus= 1\r\n"));
    int restarts = 0;
    bool playerWhenRestarted = false;
    bool minimisedWhenRestarted = false;
    window->neighbours.mnuRestart_Click = [&] {
        ++restarts;
        playerWhenRestarted = window->mnuSetStatus[1]->isChecked();
        minimisedWhenRestarted = window->windowState() & Qt::WindowMinimized;
    };
    start();

    EXPECT_EQ(restarts, 1);
    EXPECT_TRUE(playerWhenRestarted);
    EXPECT_TRUE(minimisedWhenRestarted);
    EXPECT_FALSE(window->btnTemplate->isHidden());
    EXPECT_TRUE(window->mnuProcess->menuAction()->isVisible());
    EXPECT_TRUE(window->cboDataFileType->isEnabled());
}

TEST_F(MainWindowTest, TheStartUpTickWaitsForTheLoad)
{
    // The start-up timer runs from the window's creation: however long the
    // window waits for its Load, no mode starts before the Load.
    writeSettings(QStringLiteral("[SETTINGS]\r\nStatus=1\r\n"));
    int restarts = 0;
    window->neighbours.mnuRestart_Click = [&] { ++restarts; };
    shelltest::pump(300);
    EXPECT_EQ(restarts, 0);
    EXPECT_FALSE(window->mnuSetStatus[0]->isChecked());
    EXPECT_FALSE(window->mnuSetStatus[1]->isChecked());
    EXPECT_EQ(window->cboTemplateSelection->currentIndex(), -1);

    start();
    EXPECT_EQ(restarts, 1);
}

TEST_F(MainWindowTest, InitialisationFillsTheListsAndRunsTheHandlersInOrder)
{
    QStringList handlers;
    window->handlerObserver = [&](const QString& name) { handlers << name; };
    window->neighbours.DisableLineRows = [&] { handlers << QStringLiteral("(DisableLineRows ran)"); };
    window->InitControls();

    EXPECT_EQ(handlers, (QStringList{QStringLiteral("cboDataFileType_Click"), QStringLiteral("optRunSettings_Click(0)"),
                                     QStringLiteral("cboSortSelection_Click"), QStringLiteral("optLayout_Click(0)"),
                                     QStringLiteral("cboResolution_Click"), QStringLiteral("cboRotation_Click"),
                                     QStringLiteral("vsRecordsPerPage_Change"), QStringLiteral("txtDwellTime_Change"),
                                     QStringLiteral("optBackgroundType_Click(0)"), QStringLiteral("DisableLineRows"),
                                     QStringLiteral("(DisableLineRows ran)"), QStringLiteral("initURGridColumns")}));

    frmMain& w = *window;
    EXPECT_EQ(entries(w.cboDataFileType),
              (QStringList{QStringLiteral("Micros/Opera/Tamrisk"), QStringLiteral("Delphi"), QStringLiteral("EBMS"),
                           QStringLiteral("Rizura Vivud"), QStringLiteral("Basic Text")}));
    EXPECT_EQ(w.cboDataFileType->currentText(), QStringLiteral("Rizura Vivud"));

    // Font lists: "30" shown; the name shows "Arial" even
    // where no such font is installed.
    EXPECT_EQ(w.CmbFontSize->currentText(), QStringLiteral("30"));
    EXPECT_EQ(w.CmbFontName->currentText(), QStringLiteral("Arial"));

    // Template slots: seven, none selected (so no template is loaded yet).
    EXPECT_EQ(w.cboTemplateSelection->currentIndex(), -1);
    EXPECT_EQ(entries(w.cboRecordLines), lines(1, 12));
    EXPECT_EQ(entries(w.cboAssignedField), lines(1, 17));
    EXPECT_EQ(entries(w.cboSortGroup), QStringList{QStringLiteral("None")} + lines(1, 17));
    EXPECT_EQ(entries(w.cboSortLine), lines(1, 17));

    // The play-list: one column "Template", no rows.
    ASSERT_EQ(dataGrids().igTemplates.ColCount(), 1);
    EXPECT_EQ(dataGrids().igTemplates.Column(1).key, QStringLiteral("Template"));

    // Values set again to the same value run no handler.
    handlers.clear();
    window->cboDataFileType->setCurrentIndex(3);
    window->txtDwellTime->setText(QStringLiteral("10"));
    window->optLayout[0]->setChecked(true);
    window->vsRecordsPerPage->setValue(6);
    EXPECT_TRUE(handlers.isEmpty()) << handlers.join(QLatin1Char(',')).toStdString();

    window->cboDataFileType->setCurrentIndex(2);
    window->optLayout[1]->setChecked(true);
    EXPECT_EQ(handlers, (QStringList{QStringLiteral("cboDataFileType_Click"), QStringLiteral("optLayout_Click(1)"),
                                     QStringLiteral("cboResolution_Click"), QStringLiteral("cboRotation_Click")}));
}

namespace {

// The captions of a menu's entries ("-" for a separator, "(hidden)" added to
// those created invisible), mnemonics left out.
QStringList menuLayout(const QList<QAction*>& actions)
{
    QStringList out;
    for (const QAction* a : actions) {
        QString caption = a->isSeparator() ? QStringLiteral("-") : QString(a->text()).remove(QLatin1Char('&'));
        if (!a->isVisible())
            caption += QStringLiteral(" (hidden)");
        out << caption;
    }
    return out;
}

} // namespace

TEST_F(MainWindowTest, MenusAsCreated)
{
    frmMain& w = *window;
    EXPECT_EQ(menuLayout(w.menuBar()->actions()),
              (QStringList{QStringLiteral("File"), QStringLiteral("Status"), QStringLiteral("Editor (hidden)"),
                           QStringLiteral("Process"), QStringLiteral("Communication"), QStringLiteral("Fenwold"),
                           QStringLiteral("Hide To Systray (hidden)")}));
    EXPECT_EQ(menuLayout(w.mnuFile->actions()),
              (QStringList{QStringLiteral("Save Template (hidden)"), QStringLiteral("- (hidden)"),
                           QStringLiteral("Save Settings"), QStringLiteral("-"), QStringLiteral("Exit")}));
}
