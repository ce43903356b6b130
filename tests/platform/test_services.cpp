#include "platform/desktopservices.h"
#include "platform/services.h"
#include "platform/statuslog.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

namespace {

// Puts back the harmless defaults after a test installed the real seams.
void restoreDefaultSeams()
{
    services::setMessages(nullptr);
    services::setFiles(nullptr);
    services::setColors(nullptr);
    services::setKeys(nullptr);
    services::setNotificationArea(nullptr);
    services::setBusyHook(nullptr);
}

} // namespace

TEST(StatusLog, LineFormatAndTheFiveThousandLineRule)
{
    const testsupport::FixedClock clock(QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)));
    StatusLog log;
    int cleared = 0;
    QObject::connect(&log, &StatusLog::cleared, [&cleared] { ++cleared; });
    log.statusMessage("Done.");
    const QString stamp = StatusLog::stamp(clock.at);
    EXPECT_EQ(log.lines().front(), stamp + " - Done.");
    EXPECT_TRUE(stamp.contains("07:08:09") || stamp.contains("7:08:09")) << stamp.toStdString();
    // No time-zone name in the stamp.
    EXPECT_FALSE(stamp.contains(QDateTime::currentDateTime().timeZoneAbbreviation())) << stamp.toStdString();

    for (int i = 1; i < StatusLog::kMaxLines; ++i)
        log.statusMessage(QString::number(i));
    EXPECT_EQ(log.count(), 5000);
    log.statusMessage("5001st");
    EXPECT_EQ(log.count(), 5001);
    EXPECT_EQ(cleared, 0);
    // Holding more than 5000 lines: the next message empties the log first.
    log.statusMessage("fresh");
    EXPECT_EQ(cleared, 1);
    EXPECT_EQ(log.lines(), QStringList({stamp + " - fresh"}));
}

TEST(Services, DefaultsAndBusyGuard)
{
    EXPECT_EQ(services::message("x", MsgIcon::Question, MsgButtons::YesNo), MsgAnswer::No);
    EXPECT_EQ(services::message("x", MsgIcon::Question, MsgButtons::OkCancel), MsgAnswer::Cancel);
    QString path = "unchanged";
    EXPECT_FALSE(services::files().chooseOpen("t", "/", "", path));
    EXPECT_EQ(path, "unchanged");
    EXPECT_FALSE(services::keys().escapeDown());
    EXPECT_FALSE(services::notificationArea().available());

    std::vector<bool> calls;
    services::setBusyHook([&calls](bool on) { calls.push_back(on); });
    {
        BusyGuard outer;
        {
            BusyGuard inner;
            EXPECT_TRUE(BusyGuard::active());
        }
        EXPECT_TRUE(BusyGuard::active());
    }
    EXPECT_FALSE(BusyGuard::active());
    EXPECT_EQ(calls, std::vector<bool>({true, false}));
    services::setBusyHook(nullptr);
}

TEST(DesktopServices, FileDialogsShowTheLabelsAndMatchEitherCase)
{
    using desktopservices::convertFilter;
    EXPECT_EQ(convertFilter("Text (*.txt)|*.txt|All (*.*)|*.*"), "Text (*.txt) (*.[tT][xX][tT]);;All (*.*) (*)");
    EXPECT_EQ(convertFilter("Pictures|*.bmp;*.JPG"), "Pictures (*.[bB][mM][pP] *.[jJ][pP][gG])");
    EXPECT_EQ(convertFilter("Qt style (*.png)"), "Qt style (*.png)");

    const struct {
        const char* filter;
        QStringList shown;
    } cases[] = {
        {"All Files|*.TXT;*.NSS|ORV Files|*.ORV", {"All Files", "ORV Files"}},
        {"Orvane Template Files (*.ORVT)|*.ORVT|", {"Orvane Template Files (*.ORVT)"}},
    };
    for (const auto& c : cases) {
        for (bool save : {false, true}) {
            const auto dialog = desktopservices::newFileDialog("Select a file", QDir::tempPath(),
                                                               QString::fromLatin1(c.filter), save, true);
            dialog->setOption(QFileDialog::DontUseNativeDialog);
            const auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            ASSERT_NE(types, nullptr);
            QStringList shown;
            for (int i = 0; i < types->count(); ++i)
                shown << types->itemText(i);
            EXPECT_EQ(shown, c.shown) << c.filter;
        }
    }
}

TEST(DesktopServices, MessageBoxesShowTheirIconOrNone)
{
    const std::pair<MsgIcon, QMessageBox::Icon> cases[] = {{MsgIcon::Information, QMessageBox::Information},
                                                           {MsgIcon::Exclamation, QMessageBox::Warning},
                                                           {MsgIcon::None, QMessageBox::NoIcon}};
    for (const auto& [icon, shown] : cases) {
        const auto box = desktopservices::newMessageBox("Orvane", "Line 3: too few fields", icon, MsgButtons::Ok);
        EXPECT_EQ(box->icon(), shown);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        EXPECT_EQ(box->windowTitle(), "Orvane");
    }
}

TEST(DesktopServices, EscapeIsSeenOncePerPressWithoutRunningTheEventLoop)
{
    desktopservices::install();
    QWidget w;
    EXPECT_FALSE(services::keys().escapeDown());
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&w, &press);
    // A timer that would fire if a poll ran the event loop.
    bool timerRan = false;
    QTimer::singleShot(0, [&timerRan] { timerRan = true; });
    EXPECT_TRUE(services::keys().escapeDown());
    EXPECT_FALSE(services::keys().escapeDown());
    EXPECT_FALSE(services::keys().rightButtonDown());
    EXPECT_FALSE(timerRan);
    QCoreApplication::processEvents();
    restoreDefaultSeams();
}

TEST(DesktopServices, NoNotificationAreaInASessionWithoutOne)
{
    // The tests' offscreen session has no panel: a window hidden on the
    // strength of a wrong answer would have no way back.
    desktopservices::install();
    EXPECT_FALSE(services::notificationArea().available());
    restoreDefaultSeams();
}
