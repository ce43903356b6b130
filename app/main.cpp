// ZQOrvane: one running copy per program folder; the main window runs the
// program and closing it ends the program.
#include "platform/desktopservices.h"
#include "platform/paths.h"
#include "run/pages/pagecycle.h"
#include "shell/dataside.h"
#include "shell/displayside.h"
#include "shell/frmmain.h"
#include "shell/remoteside.h"
#include "shell/runside.h"
#include "shell/singleinstance.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onTerminateSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(signalPipe[0], &c, 1);
}

// SIGTERM, SIGINT and SIGHUP close the main window, which runs the normal
// shut-down (as when the session ends).
void closeOnTerminateSignals(frmMain& window)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char c;
        [[maybe_unused]] const auto n = ::read(signalPipe[1], &c, 1);
        window.close();
    });
    struct sigaction action = {};
    action.sa_handler = onTerminateSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(sig, &action, nullptr);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZQOrvane"));
    // The window may hide to the notification area while dialogs come and
    // go; the program ends only through the main window's shut-down.
    QApplication::setQuitOnLastWindowClosed(false);
    desktopservices::install();

    const QString programFolder = paths::programFolder();
    const QString playerFolder = paths::playerFolder();

    SingleInstance instance(programFolder);
    // The main window's start-up timer runs from its creation: the check for
    // a running copy and the rest of the building happen during its wait. A
    // window that is never loaded starts no mode.
    frmMain window;
    if (!instance.acquire()) {
        // Nothing else of this start shows: a board's log or a terminal is
        // where anyone looks.
        const bool asked = instance.activateRunning();
        std::fprintf(stderr, "ZQOrvane: another copy runs in %s; %s\n", qPrintable(instance.folder()),
                     asked ? "it was asked to show its window" : "it could not be reached");
        return asked ? 0 : 1;
    }
    // The panels and the line rows are in place before the controls are set up.
    DataSide::install(window);
    DisplaySide::install(window);
    RunSide::install(window);
    // Stand-alone boards show each page full screen, over the background and
    // PiP of the template the run drew it with.
    RunSide::of(window)->setDisplay(&DisplaySide::of(window)->port());
    DisplaySide::of(window)->setPageMedia([] {
        const auto& t = pages::programPageCycle().loadedTemplate();
        return t ? pageMediaOf(*t) : PageMedia{};
    });
    RemoteSide::install(window);
    QObject::connect(&instance, &SingleInstance::activationRequested, &window, &frmMain::restoreFromOtherInstance);
    QObject::connect(&window, &frmMain::programEnded, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    closeOnTerminateSignals(window);

    window.Form_Load(programFolder, playerFolder);
    window.show();
    return app.exec();
}
