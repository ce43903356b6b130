// 1,000 page cycles of the real run control over real timers with a dwell
// of one tick: each cycle makes a page (a small file written by a stand-in
// page routine), tells the local player, ticks the clock once (command file
// and change watch included) and starts the next page. The timers run at
// 1 ms so the cycles measure the control's own work. Prints the time per
// cycle and the resident memory, open file descriptors and live timers
// after 100 and after 1,000 cycles; the memory must stay within 5 MB.
#include "core/globals.h"
#include "platform/atomicfile.h"
#include "run/control/qtruntimer.h"
#include "run/control/runcontroller.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

class HeadlessWindow final : public RunWindow {
public:
    void LoadSettings(const QString&, const std::function<void()>&) override {}
    void SaveSettings(const QString&) override {}
    void mnuHide_Click() override {}
    void minimise() override {}
    void showWindow() override {}
    void applyMenus(const RunMenus&) override {}
    void applyPanels(const RunPanels&) override {}
    void HideSelectionFrame() override {}
    void selectTemplateSlot(int) override {}
    bool standAlone() const override { return false; }
    bool ftpMode() const override { return false; }
    void showTime(const QString&) override {}
    void yieldEvents(int times) override
    {
        for (int i = 0; i < times; ++i)
            QCoreApplication::processEvents();
    }
    void wait(int) override {}
    bool closing() const override { return false; }
};

long residentKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

int openFds()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int cycles = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 1000;
    QTemporaryDir home;
    initGlobalPaths(home.path(), home.filePath(QStringLiteral("player")));
    for (const QString& f : {gstrDataFolder, gstrMediaFolder, gstrPlayerFolder + QStringLiteral("/Settings")})
        QDir().mkpath(f);
    gstrDwellTime = QStringLiteral("1");
    gstrImageFile = QStringLiteral("Page.png");
    gstrDataFile = home.filePath(QStringLiteral("export.txt"));
    atomicfile::write(gstrDataFile, "a\r\n");

    QObject timers;
    auto makeTimer = [&timers] {
        auto* t = new QTimer(&timers);
        t->setInterval(1);
        return t;
    };
    QtRunTimer start(makeTimer()), load(makeTimer()), clock(makeTimer()), keys(makeTimer());
    HeadlessWindow window;
    RunController run(window, {start, load, clock, keys});
    keys.onTick = [] {}; // no key watch here: it would poll every millisecond

    int pages = 0;
    int target = 100;
    QEventLoop loop;
    const QByteArray image(20000, 'p');
    run.setPageRoutine({[&] {
                            atomicfile::write(gstrMediaFolder + QStringLiteral("/Page.png"), image);
                            if (++pages >= target)
                                loop.quit();
                            return true;
                        },
                        [] {}, nullptr});

    QElapsedTimer elapsed;
    run.mnuRun_Click();
    loop.exec(); // warm-up
    const long rssWarm = residentKb();
    const int fdsWarm = openFds();
    const int timersWarm = int(timers.findChildren<QTimer*>().size());
    elapsed.start();
    target = 100 + cycles;
    loop.exec();
    const double msPerCycle = double(elapsed.elapsed()) / cycles;
    run.mnuStop_Click();
    const long rssEnd = residentKb();
    const int fdsEnd = openFds();
    const int timersEnd = int(timers.findChildren<QTimer*>().size());

    std::printf("run control: %d page cycles, %.2f ms per cycle (timers at 1 ms)\n", cycles, msPerCycle);
    std::printf("resident memory: %ld KB after 100 cycles, %ld KB after %d more (%+ld KB)\n", rssWarm, rssEnd, cycles,
                rssEnd - rssWarm);
    std::printf("file descriptors: %d -> %d; timers: %d -> %d\n", fdsWarm, fdsEnd, timersWarm, timersEnd);
    const bool ok = rssEnd - rssWarm < 5 * 1024 && fdsEnd <= fdsWarm && timersEnd == timersWarm;
    std::printf("%s\n", ok ? "OK" : "FAILED");
    return ok ? 0 : 1;
}
