// The notification-area icon, the hand-over from a second copy and the
// shut-down.
#include "frmmainfixture.h"

#include "run/control/runcontroller.h"
#include "run/display/frmimagerender.h"
#include "shell/displayside.h"
#include "shell/runside.h"
#include "shell/singleinstance.h"

#include <QCheckBox>
#include <QCoreApplication>

using shelltest::pump;
using shelltest::waitFor;

namespace {

// Starts a run on the shown window through the real run adapter, as a
// board's start does: the window hides, and the pages go on until a Stop.
// A stand-alone run shows its pages on the full-screen display.
RunSide* startRun(frmMain& w, bool standAlone = false)
{
    RunSide* side = RunSide::install(w);
    side->setPageRoutine({[standAlone] { return standAlone; }, {}, {}});
    if (standAlone) {
        w.chkRunAsStandAlone->setCheckState(Qt::Checked);
        side->setDisplay(&DisplaySide::install(w)->port());
    }
    w.show();
    side->controller().StartTimer_Timer();
    if (standAlone) {
        EXPECT_TRUE(waitFor([&w] {
            frmImageRender& display = DisplaySide::of(w)->display();
            return display.isOpen() && display.window().isActiveWindow();
        }));
    }
    return side;
}

// Whether the full-screen page is on top with the focus, `w` under it, once
// the window system has dealt with what was asked of it.
bool pageOnTop(frmMain& w)
{
    pump(200);
    return waitFor([&w] { return DisplaySide::of(w)->display().window().isActiveWindow(); }) && !w.isActiveWindow();
}

} // namespace

TEST_F(MainWindowTest, HidingToTheTrayAndBack)
{
    frmMain& w = *window;
    w.show();
    w.setWindowState(Qt::WindowMinimized);
    w.mnuHide_Click();
    w.mnuHide_Click();
    EXPECT_TRUE(w.trayIconPresent());
    EXPECT_FALSE(w.isVisible());

    // A single click or the right button does nothing.
    w.trayIconActivated(QSystemTrayIcon::Trigger);
    w.trayIconActivated(QSystemTrayIcon::Context);
    EXPECT_TRUE(w.trayIconPresent());
    EXPECT_FALSE(w.isVisible());

    // A double click brings it back on the screen: a tray without a task
    // bar could not restore a minimised window.
    w.trayIconActivated(QSystemTrayIcon::DoubleClick);
    EXPECT_FALSE(w.trayIconPresent());
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isMinimized());
    EXPECT_FALSE(w.TrayTimer->isActive());
    EXPECT_TRUE(waitFor([&] { return w.isActiveWindow(); }));
}

TEST_F(MainWindowTest, EscGivesTheRunsWindowBack)
{
    // A run hides the window and minimises it. Without a notification area
    // nothing but the Stop can bring it back: it comes back in front; with
    // one it shows as the run left it, its icon still in the area.
    struct Case {
        bool area;
        bool minimisedAfter;
        bool iconAfter;
    };
    for (const Case& c : {Case{false, false, false}, Case{true, true, true}}) {
        SCOPED_TRACE(c.area ? "with a notification area" : "without a notification area");
        window = std::make_unique<frmMain>();
        frmMain& w = *window;
        testsupport::FakeNotificationArea area(c.area);
        testsupport::HeldKeys keys;
        RunSide* side = startRun(w);
        EXPECT_FALSE(w.isVisible());
        EXPECT_TRUE(w.isMinimized());
        EXPECT_EQ(w.trayIcon->isVisible(), c.area);

        keys.escape = true;
        ASSERT_TRUE(waitFor([&] { return side->controller().state() == RunController::State::Idle; }));
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(w.isMinimized(), c.minimisedAfter);
        EXPECT_EQ(w.trayIconPresent(), c.iconAfter);
        EXPECT_EQ(w.trayIcon->isVisible(), c.iconAfter);
        if (!c.minimisedAfter) {
            EXPECT_TRUE(waitFor([&] { return w.isActiveWindow(); }));
        }
    }
}

TEST_F(MainWindowTest, ATrayThatComesLateOrGoesAway)
{
    // The tray timer's ticks while a run keeps the window hidden, then the
    // run's Stop: an icon in an area that is there keeps the window as the
    // run left it; otherwise the window comes back in front.
    struct Case {
        const char* name;
        bool areaAtStart;
        bool areaLater;
        int ticks;
        bool shownAfterTicks;
        bool iconAfterTicks;
        bool minimisedAfterStop;
        bool standAlone = false;
    };
    const Case cases[] = {
        {"the area comes after the start", false, true, 2, false, true, true},
        {"the area comes just before the Stop", false, true, 0, false, false, false},
        {"the area goes away", true, false, 2, true, false, false},
        {"never an area", false, false, 2, false, false, false},
        {"the area stays", true, true, 2, false, true, true},
        // Where no window manager keeps the page on top, the window would cover it.
        {"the area goes away during a stand-alone run", true, false, 2, true, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window = std::make_unique<frmMain>();
        frmMain& w = *window;
        testsupport::FakeNotificationArea area(c.areaAtStart);
        testsupport::HeldKeys keys;
        RunSide* side = startRun(w, c.standAlone);
        EXPECT_TRUE(w.TrayTimer->isActive());

        area.present = c.areaLater;
        for (int i = 0; i < c.ticks; ++i)
            w.TrayTimer_Timer();
        EXPECT_EQ(w.isVisible(), c.shownAfterTicks);
        EXPECT_EQ(w.trayIcon->isVisible(), c.iconAfterTicks);
        EXPECT_EQ(w.TrayTimer->isActive(), w.trayIconPresent());
        if (c.shownAfterTicks) {
            EXPECT_FALSE(w.isMinimized());
            EXPECT_TRUE(c.standAlone ? pageOnTop(w) : waitFor([&] { return w.isActiveWindow(); }));
        }

        keys.escape = true;
        ASSERT_TRUE(waitFor([&] { return side->controller().state() == RunController::State::Idle; }));
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(w.isMinimized(), c.minimisedAfterStop);
        EXPECT_EQ(w.trayIcon->isVisible(), c.minimisedAfterStop);
        EXPECT_EQ(w.TrayTimer->isActive(), w.trayIconPresent());
    }
}

TEST_F(MainWindowTest, AWindowClosedDuringARunStaysClosed)
{
    frmMain& w = *window;
    testsupport::FakeNotificationArea area(true);
    testsupport::HeldKeys keys;
    RunSide* side = startRun(w);
    ASSERT_TRUE(w.trayIcon->isVisible());

    w.close();
    // The area going away and coming back after the shut-down, then the
    // run's Stop (as the display's closing runs it).
    for (bool present : {false, true}) {
        area.present = present;
        w.TrayTimer_Timer();
    }
    side->controller().mnuStop_Click();
    pump(100);
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.trayIcon->isVisible());
    EXPECT_FALSE(w.TrayTimer->isActive());
}

TEST_F(MainWindowTest, ASecondStartBringsTheWindowBack)
{
    // Hidden in the notification area, and during a stand-alone run, whose
    // page stays on top.
    for (const bool running : {false, true}) {
        SCOPED_TRACE(running ? "during a stand-alone run" : "hidden");
        window = std::make_unique<frmMain>();
        frmMain& w = *window;
        testsupport::FakeNotificationArea area(true);
        testsupport::HeldKeys keys;
        SingleInstance first(dir.path());
        ASSERT_TRUE(first.acquire());
        QObject::connect(&first, &SingleInstance::activationRequested, &w, &frmMain::restoreFromOtherInstance);
        RunSide* side = running ? startRun(w, true) : nullptr;
        if (!running) {
            w.show();
            w.mnuHide_Click();
            w.setWindowState(Qt::WindowMinimized);
        }

        SingleInstance second(dir.path());
        ASSERT_FALSE(second.acquire());
        ASSERT_TRUE(second.activateRunning());
        EXPECT_TRUE(waitFor([&] { return w.isVisible(); }));
        EXPECT_FALSE(w.windowState() & Qt::WindowMinimized);
        EXPECT_FALSE(w.trayIconPresent());
        EXPECT_TRUE(running ? pageOnTop(w) : waitFor([&] { return w.isActiveWindow(); }));
        if (side)
            side->controller().mnuStop_Click();
    }
}

TEST_F(MainWindowTest, ShutDownRunsInOrderAndLeavesNothingRunning)
{
    frmMain& w = *window;
    start();
    QStringList steps;
    bool stopFirst = false;
    bool timersOffFirst = false;
    bool iconGoneFirst = false;
    auto step = [&](const char* name) {
        return [&, name] {
            if (steps.isEmpty()) {
                stopFirst = gblnStop;
                timersOffFirst = !w.StartTimer->isActive() && !w.runClock->isActive() &&
                                 !w.LoadSettingsTimer->isActive() && !w.TrayTimer->isActive();
                iconGoneFirst = !w.trayIconPresent();
            }
            steps << QString::fromLatin1(name);
        };
    };
    w.neighbours.closeConvertWindow = step("convert");
    w.neighbours.closeRenderWindow = step("render");
    w.neighbours.closeAdministration = step("administration");
    w.neighbours.closeDisplayWindow = step("display");
    w.neighbours.cancelFtpTransfer = step("cancel FTP");
    w.neighbours.closeFtpWindow = step("FTP window");
    int ended = 0;
    QObject::connect(&w, &frmMain::programEnded, [&] { ++ended; });

    w.show();
    w.mnuHide_Click();
    w.StartTimer->start();
    w.runClock->start();
    w.LoadSettingsTimer->start();
    w.mnuExit->trigger();

    EXPECT_EQ(steps,
              (QStringList{QStringLiteral("convert"), QStringLiteral("render"), QStringLiteral("administration"),
                           QStringLiteral("display"), QStringLiteral("cancel FTP"), QStringLiteral("FTP window")}));
    EXPECT_TRUE(stopFirst);
    EXPECT_TRUE(timersOffFirst);
    EXPECT_TRUE(iconGoneFirst);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(ended, 1);

    // A second close runs nothing again.
    w.close();
    EXPECT_EQ(steps.size(), 6);
    EXPECT_EQ(ended, 1);
}

TEST_F(MainWindowTest, ClosingRightAfterLoadStartsNoMode)
{
    int restarts = 0;
    window->neighbours.mnuRestart_Click = [&] { ++restarts; };
    writeSettings(QStringLiteral("[SETTINGS]\r\nStatus=1\r\n"));
    window->Form_Load(dir.path(), folder("player"));
    window->close();
    pump(300);
    EXPECT_EQ(restarts, 0);
    EXPECT_FALSE(window->mnuSetStatus[1]->isChecked());
}

TEST_F(MainWindowTest, ClosingDuringALongOperation)
{
    frmMain& w = *window;
    start();
    w.show();
    bool stoppedByClose = false;
    // A long operation that keeps the window alive and polls the stop flag.
    w.neighbours.mnuRestart_Click = [&] {
        gblnStop = false;
        QTimer::singleShot(50, &w, [&] { w.close(); });
        stoppedByClose = waitFor([] { return gblnStop; }, 5000);
        // The window is still there to be used when the operation unwinds.
        w.statusMessage(QStringLiteral("stopped"));
    };
    w.mnuRestart->trigger();
    EXPECT_TRUE(stoppedByClose);
    EXPECT_TRUE(w.isShutDown());
    EXPECT_FALSE(w.isVisible());
}
