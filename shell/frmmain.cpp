// The main window's life: creation, start-up, activation, the status log,
// the notification-area icon and the shut-down.
#include "shell/frmmain.h"

#include "core/globals.h"
#include "platform/services.h"
#include "platform/statuslog.h"
#include "platform/wheelguard.h"
#include "records/ftp/frmftp.h"
#include "shell/startup.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFont>
#include <QGuiApplication>
#include <QIcon>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include <initializer_list>

namespace {

// The program's icon: drawn, so the program carries no image files.
QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(0x1f, 0x4e, 0x9a));
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(QRectF(0, 0, size, size), size / 6.0, size / 6.0);
        QFont f;
        f.setBold(true);
        f.setPixelSize(size * 3 / 4);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QStringLiteral("Z"));
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

// The one-shot waits of the start-up and of each page are precise: a coarse
// timer may tick up to a twentieth of its interval late, and a board's start
// waits through three of them before its first page.
QTimer* makeTimer(QObject* parent, int intervalMs, bool singleShot, Qt::TimerType type = Qt::CoarseTimer)
{
    auto* t = new QTimer(parent);
    t->setInterval(intervalMs);
    t->setSingleShot(singleShot);
    t->setTimerType(type);
    return t;
}

} // namespace

frmMain::frmMain(QWidget* parent)
    : QMainWindow(parent)
{
    // The start-up timer's tenth of a second runs while the window is built;
    // its tick waits for the Load all the same (see StartupTimer_Timer).
    StartupTimer = makeTimer(this, 100, true, Qt::PreciseTimer);
    connect(StartupTimer, &QTimer::timeout, this, &frmMain::StartupTimer_Timer);
    StartupTimer->start();
    StartTimer = makeTimer(this, 100, false, Qt::PreciseTimer);
    LoadSettingsTimer = makeTimer(this, 10, false, Qt::PreciseTimer);
    runClock = makeTimer(this, 1000, false);
    TrayTimer = makeTimer(this, 1000, false);
    connect(TrayTimer, &QTimer::timeout, this, &frmMain::TrayTimer_Timer);

    setWindowIcon(programIcon());

    trayIcon = new QSystemTrayIcon(windowIcon(), this);
    trayIcon->setToolTip(QStringLiteral("ZQ Orvane"));
    connect(trayIcon, &QSystemTrayIcon::activated, this, &frmMain::trayIconActivated);

    buildMenus();
    buildSurface();
    connectHandlers();

    // The FTP worker of the settings loads; the shut-down cancels its
    // transfer and unloads it.
    frmFTP = std::make_unique<FrmFTP>();
    neighbours.cancelFtpTransfer = [this] { frmFTP->CmdCancel_Click(); };
    neighbours.closeFtpWindow = [this] { frmFTP->Form_Unload(); };

    // Without a template designer the slot selection only selects.
    neighbours.selectTemplateSlot = [this](int index) {
        cboTemplateSelection->setCurrentIndex(index);
        neighbours.cboTemplateSelection_Click();
    };

    // Process > Stop, for code that has no window at hand.
    shellhooks::stopCommand = [this] { neighbours.mnuStop_Click(); };
}

frmMain::~frmMain()
{
    shellhooks::stopCommand = nullptr;
    // The window's own key filters go first, then its helpers (the sides
    // hosted by other parts of the program, timers, the tray icon): their
    // event filters and destructors may still reach the window's controls,
    // which are all there until the widgets go below.
    for (QObject* o : std::initializer_list<QObject*>{txtDwellTime, cboRotation, cboSortGroup, cboSortLine,
                                                      cboSortSelection, cboTemplateSelection})
        if (o)
            o->removeEventFilter(this);
    QList<QPointer<QObject>> helpers;
    for (QObject* child : children())
        if (!child->isWidgetType() && !qobject_cast<QLayout*>(child) && !qobject_cast<QAction*>(child))
            helpers << child;
    for (const QPointer<QObject>& helper : helpers)
        delete helper.data();
}

void frmMain::Form_Load(const QString& programFolder, const QString& playerFolder)
{
    setWindowTitle(startup::mainCaption());
    placeWindow();
    initGlobalPaths(programFolder, playerFolder);
    startup::createProgramFolders();
    startup::removeStaleTemporaries();
    InitControls();
    // Every list and spinner of the window and its panels (all hosted by
    // now) takes the wheel only with the keyboard focus.
    wheelguard::wheelOnlyWithFocus(this);
    // The timer has been running since the window was created. When its
    // tenth of a second ran out before the Load was done, the tick was put
    // off: the timer starts again now, as if armed here.
    loaded_ = true;
    if (!StartupTimer->isActive())
        StartupTimer->start();
}

void frmMain::placeWindow()
{
    const int menuHeight = menuBar()->sizeHint().height();
    const int outerWidth = startup::kDesignClientWidth;
    const int outerHeight = startup::kDesignClientHeight + menuHeight;
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize(outerWidth, outerHeight);
    const startup::WindowRect r =
        startup::placeMainWindow(screenSize.width(), screenSize.height(), outerWidth, outerHeight);
    resize(r.width, qMax(r.height, menuHeight + 1));
    move(r.left, r.top);
}

void frmMain::Form_Activate()
{
    neighbours.ShowFontSample();
}

void frmMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !shutDown_)
        Form_Activate();
}

void frmMain::StartupTimer_Timer()
{
    StartupTimer->stop();
    if (shutDown_ || !loaded_)
        return;
    const QString mode = GetStatusSetting();
    if (mode == QLatin1String("1")) {
        mnuSetStatus_Click(1);
        setWindowState(windowState() | Qt::WindowMinimized);
        neighbours.mnuRestart_Click();
    } else {
        LoadDefaultSettings(gstrSettingsFile);
        // Without a settings file nothing selected a slot: the designer
        // still starts on the first one, so that the first slot change
        // stores a template that was loaded or built, never an empty one.
        if (cboTemplateSelection->currentIndex() < 0)
            neighbours.selectTemplateSlot(0);
        mnuSetStatus_Click(0);
    }
    // Whatever the start left out, hand-kept records are never hidden (a
    // later save would write the empty grid over them).
    loadOwnRecordsWhenEmpty();
}

void frmMain::restoreFromOtherInstance()
{
    if (shutDown_)
        return;
    bringBack();
}

void frmMain::showAfterRun()
{
    if (shutDown_)
        return;
    if (iconInArea())
        show();
    else
        bringBack();
}

void frmMain::bringBack()
{
    removeTrayIcon();
    // During a stand-alone run the full-screen page stays above the window,
    // with the focus: keys typed then never go to a window out of sight.
    const bool underPage = neighbours.displayWindowOpen();
    setWindowState((windowState() & ~Qt::WindowMinimized) | (underPage ? Qt::WindowNoState : Qt::WindowActive));
    show();
    if (underPage) {
        neighbours.raiseDisplayWindow();
        return;
    }
    raise();
    activateWindow();
}

// ---- Status log ----

void frmMain::statusMessage(const QString& text)
{
    StatusLog::instance().statusMessage(text);
}

// ---- Notification-area icon ----

// A panel may start after the program or end before it, and tells nobody:
// while the window is hidden in the notification area, the tray timer asks
// the area again each second.

void frmMain::mnuHide_Click()
{
    trayIconPresent_ = true;
    if (services::notificationArea().available())
        trayIcon->show();
    if (!TrayTimer->isActive())
        TrayTimer->start();
    hide();
}

void frmMain::TrayTimer_Timer()
{
    if (shutDown_ || !trayIconPresent_ || iconInArea())
        return;
    if (trayIcon->isVisible())
        bringBack(); // the area went away with the icon in it
    else if (services::notificationArea().available())
        trayIcon->show();
}

void frmMain::trayIconActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason != QSystemTrayIcon::DoubleClick || shutDown_)
        return;
    bringBack();
}

void frmMain::removeTrayIcon()
{
    trayIconPresent_ = false;
    trayIcon->hide();
    TrayTimer->stop();
}

bool frmMain::iconInArea() const
{
    return trayIconPresent_ && trayIcon->isVisible() && services::notificationArea().available();
}

// ---- Shut-down ----

void frmMain::mnuExit_Click()
{
    close();
}

void frmMain::ShutdownProgram()
{
    if (shutDown_)
        return;
    shutDown_ = true;
    gblnStop = true;
    removeTrayIcon();
    StartTimer->stop();
    runClock->stop();
    LoadSettingsTimer->stop();
    // A close within the first tenth of a second must not start a mode.
    StartupTimer->stop();
    neighbours.closeConvertWindow();
    neighbours.closeRenderWindow();
    neighbours.closeAdministration();
    neighbours.closeDisplayWindow();
    neighbours.cancelFtpTransfer();
    neighbours.closeFtpWindow();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    ShutdownProgram();
    event->accept();
    QMainWindow::closeEvent(event);
    if (!ended_) {
        ended_ = true;
        Q_EMIT programEnded();
    }
}
