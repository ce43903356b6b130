// Editor and Player mode, the views and the status log view.
#include "frmmainfixture.h"

#include "platform/gridview.h"
#include "platform/services.h"
#include "shell/statuslistmodel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QWheelEvent>

#include <algorithm>

namespace {

bool open(QWidget* w)
{
    return w->isEnabled() && frmMain::inputIsWhite(w);
}
bool closed(QWidget* w)
{
    return !w->isEnabled() && !frmMain::inputIsWhite(w);
}

} // namespace

TEST_F(MainWindowTest, PlayerModeOpensTheRunInputsByDataType)
{
    frmMain& w = *window;
    w.InitControls();
    gstrDataType = QStringLiteral("0");
    w.mnuSetStatus_Click(1);
    for (QWidget* box : std::initializer_list<QWidget*>{w.txtFTPServer, w.txtDataFile, w.txtEBMSIDLookupFile,
                                                        w.txtImageFile, w.txtDwellTime, w.cboSortLine})
        EXPECT_TRUE(open(box)) << box->objectName().toStdString();
    // The FTP booking file belongs to EBMS only.
    EXPECT_TRUE(closed(w.txtFTPBookingFilename));
    // The validity boxes open whether or not validation is ticked.
    for (QWidget* box : {w.txtValidStartTime, w.txtValidEndTime, w.txtValidStartDays, w.txtValidEndDays})
        EXPECT_TRUE(open(box));

    gstrDataType = QStringLiteral("2");
    w.mnuSetStatus_Click(1);
    EXPECT_TRUE(open(w.txtFTPBookingFilename));

    // Own records keep the file inputs as they were; the run inputs open.
    gstrDataType = QStringLiteral("3");
    w.mnuSetStatus_Click(0);
    w.mnuSetStatus_Click(1);
    EXPECT_FALSE(w.optRunSettings[0]->isEnabled());
    for (QWidget* box : {w.txtFTPFilename, w.txtDataFile, w.txtEBMSIDLookupFile})
        EXPECT_TRUE(closed(box)) << box->objectName().toStdString();
    EXPECT_FALSE(w.cmdDataFileBrowser->isEnabled());
    // The run inputs open all the same.
    EXPECT_TRUE(open(w.txtDwellTime));
}

TEST_F(MainWindowTest, SwitchingModesBackAndForth)
{
    frmMain& w = *window;
    w.InitControls();
    gstrDataType = QStringLiteral("4");
    int templateViews = 0;
    w.neighbours.unlockTemplateLineControls = [&] { ++templateViews; };
    w.mnuSetStatus_Click(1);
    w.btnProgress_Click();
    w.mnuSetStatus_Click(0);
    EXPECT_TRUE(closed(w.txtDataFile));
    EXPECT_TRUE(w.btnProgress->isHidden());

    w.mnuSetStatus_Click(1);
    EXPECT_TRUE(open(w.txtDataFile));
    // Clicking the item already checked repeats the whole switch.
    w.mnuSetStatus[1]->trigger();
    EXPECT_TRUE(w.mnuSetStatus[1]->isChecked());
    EXPECT_EQ(templateViews, 5);
}

TEST_F(MainWindowTest, ViewButtonsSwitchTheFrames)
{
    frmMain& w = *window;
    w.InitControls();
    QStringList lineControls;
    w.neighbours.lockTemplateLineControls = [&] { lineControls << QStringLiteral("lock"); };
    w.neighbours.unlockTemplateLineControls = [&] { lineControls << QStringLiteral("unlock"); };
    gstrDataType = QStringLiteral("3");
    w.mnuSetStatus_Click(1);

    w.btnRecordDataManager->click();
    EXPECT_FALSE(w.fraRDM->isHidden());

    // Another data type leaves the edit controls as they were.
    gstrDataType = QStringLiteral("0");
    w.mnuRenderDataManager->trigger();
    EXPECT_FALSE(w.fraRDMControls->isHidden());
    w.btnProgress->click();
    EXPECT_FALSE(w.fraProgress->isHidden());
    w.btnRecordDataManager->click();
    EXPECT_TRUE(w.fraRDMControls->isHidden());

    w.mnuTemplateSettings->trigger();
    EXPECT_FALSE(w.fraTemplates->isHidden());
    EXPECT_TRUE(w.fraRDM->isHidden());
    EXPECT_EQ(lineControls, (QStringList{QStringLiteral("unlock"), QStringLiteral("lock"), QStringLiteral("lock"),
                                         QStringLiteral("unlock"), QStringLiteral("lock"), QStringLiteral("unlock")}));
}

TEST_F(MainWindowTest, CommunicationOpensTheAdministrationEachTime)
{
    int shown = 0;
    window->neighbours.showAdministration = [&] { ++shown; };
    window->mnuCommunication->trigger();
    window->mnuCommunication->trigger();
    EXPECT_EQ(shown, 2);
}

TEST_F(MainWindowTest, TheStatusListFollowsTheLog)
{
    testsupport::FixedClock clock;
    frmMain& w = *window;
    w.statusMessage(QStringLiteral("first"));
    w.statusMessage(QString());
    w.statusMessage(QStringLiteral("!!!third"));

    ASSERT_EQ(w.statusModel->rowCount(), 3);
    EXPECT_EQ(w.statusModel->index(0, 0).data().toString(), StatusLog::stamp(clock.now()) + QStringLiteral(" - first"));
    EXPECT_EQ(w.lstStatus->currentIndex().row(), 2);
    // Past the log's limit the list empties with it.
    for (int i = 3; i <= StatusLog::kMaxLines + 1; ++i)
        w.statusMessage(QStringLiteral("line %1").arg(i));
    EXPECT_EQ(w.statusModel->rowCount(), 1);
}

TEST_F(MainWindowTest, TheWheelScrollsThePanelOverControlsWithoutFocus)
{
    start();
    window->resize(500, 300);
    window->show();
    shelltest::pump(50);
    QScrollBar* panel = window->scrollArea->verticalScrollBar();
    ASSERT_GT(panel->maximum(), 0);

    auto wheelOver = [](QWidget* w) {
        const QPointF at(w->width() / 2.0, w->height() / 2.0);
        QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(w, &e);
    };
    QComboBox* list = window->cboResolution;
    list->setEnabled(true);
    const int index = list->currentIndex();
    ASSERT_LT(index + 1, list->count());
    const int before = panel->value();
    wheelOver(list);
    EXPECT_EQ(list->currentIndex(), index);
    EXPECT_GT(panel->value(), before);
    EXPECT_NE(list->focusPolicy(), Qt::WheelFocus);

    // With the keyboard focus the list takes the wheel.
    window->activateWindow();
    list->setFocus();
    if (!list->hasFocus())
        GTEST_SKIP() << "no keyboard focus on this platform";
    const int scrolled = panel->value();
    wheelOver(list);
    EXPECT_NE(list->currentIndex(), index);
    EXPECT_EQ(panel->value(), scrolled);
}

TEST_F(MainWindowTest, RecordsPerPageIsSetByTheProgramOnly)
{
    start();
    QLineEdit* box = window->txtRecordsPerPage;
    const QString shown = box->text();
    box->setEnabled(true);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_5, Qt::NoModifier, QStringLiteral("5"));
    QCoreApplication::sendEvent(box, &press);
    EXPECT_EQ(box->text(), shown);
}

TEST_F(MainWindowTest, TheDataTypeListIsWideEnoughForItsLongestEntry)
{
    start();
    QComboBox* list = window->cboDataFileType;
    int widest = 0;
    for (int i = 0; i < list->count(); ++i)
        widest = std::max(widest, list->fontMetrics().horizontalAdvance(list->itemText(i)));
    window->show();
    shelltest::pump(50);
    QStyleOptionComboBox option;
    option.initFrom(list);
    const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
    EXPECT_GE(field.width(), widest);
}

TEST_F(MainWindowTest, TheWindowOwnsEveryControlItMakes)
{
    auto parentless = [] {
        QSet<QWidget*> out;
        for (QWidget* w : QApplication::allWidgets())
            if (!w->parentWidget())
                out.insert(w);
        return out;
    };
    const QSet<QWidget*> before = parentless();
    auto second = std::make_unique<frmMain>();
    QStringList strays;
    for (QWidget* w : parentless() - before)
        if (w != second.get())
            strays << QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(' ') + w->objectName();
    EXPECT_TRUE(strays.isEmpty()) << strays.join(QStringLiteral(", ")).toStdString();
}
