// The run control with hand-fired timers, a standing clock and a fake page
// routine: starting, paging, the dwell time, Stop, Esc, the command file
// and the change watch.
#include "core/globals.h"
#include "platform/atomicfile.h"
#include "platform/paths.h"
#include "platform/statuslog.h"
#include "records/convert.h"
#include "records/ftp/frmftp.h"
#include "run/control/convertwait.h"
#include "shell/settings/settingsload.h"
#include "tests/ftp/ftptestserver.h"
#include "tests/runcontrol/runfakes.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace runtest;
using namespace testsupport;

namespace {

void setModified(const QString& path, const QDateTime& at)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(at, QFileDevice::FileModificationTime));
}

const RunMenus kStopMenus{true, true, false, true, true, true}, kStartMenus{false, false, true, false, false, false};

class RunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        initGlobalPaths(home.path(), home.filePath(QStringLiteral("player")));
        for (const QString& f : {gstrDataFolder, gstrMediaFolder, gstrPlayerFolder + QStringLiteral("/Settings")})
            QDir().mkpath(f);
        writeAll(gstrSettingsFile, "[SETTINGS]\r\nStatus=1\r\n");
        writeAll(gstrWorkingDataFile, "a\r\n");
        gblnStop = false;
        gstrDwellTime = QStringLiteral("10");
        gstrImageFile = QStringLiteral("Page.png");
        gstrDataFile.clear();
        gstrBookingDataFile.clear();
        StatusLog::instance().clear();
        run.setPageRoutine(pages.routine());
    }
    void TearDown() override
    {
        gblnStop = false;
        gblnRunActive = false;
        for (QString* v :
             {&gstrFTPServer, &gstrFTPUsername, &gstrFTPPassword, &gstrFTPFilename, &gstrFTPBookingFilename})
            v->clear();
    }

    // The data file "data.txt" comes from an FTP server; pages dwell long
    // enough that only the change watch restarts the run.
    void useFtpSource()
    {
        window.ftp = true;
        gstrDwellTime = QStringLiteral("1000");
        gstrFTPServer = QStringLiteral("host");
        gstrFTPUsername = QStringLiteral("user");
        gstrFTPPassword = QStringLiteral("secret");
        gstrFTPFilename = QStringLiteral("data.txt");
        gstrDataFile = gstrDataFolder + QStringLiteral("/data.txt"); // the fetched copy
    }
    // As useFtpSource, with the booking file "book.txt" from the server too.
    void useFtpPair()
    {
        useFtpSource();
        gstrFTPBookingFilename = QStringLiteral("book.txt");
        gstrBookingDataFile = gstrDataFolder + QStringLiteral("/book.txt");
    }
    // useFtpSource (useFtpPair with `pair`) with the server's data file at
    // 9:00 and booking file at 8:00: the run started and its first look
    // taken; false when a timer was not armed. With `sized` the server gives
    // their sizes too, and the board holds their copies from an earlier run.
    bool startFtpRun(FakeFtp& ftp, bool pair = false, bool sized = false)
    {
        if (pair)
            useFtpPair();
        else
            useFtpSource();
        ftp.install(run, window);
        ftp.serverTimes[QStringLiteral("data.txt")] = QStringLiteral("2024/03/07 09:00:00");
        if (pair)
            ftp.serverTimes[QStringLiteral("book.txt")] = QStringLiteral("2024/03/07 08:00:00");
        if (sized) {
            for (const QString& f : ftp.serverTimes.keys()) {
                ftp.serverSizes[f] = 100;
                ftp.board[f] = ftp.copy(f);
            }
        }
        startRun();
        return tick() && nextMinute();
    }
    bool startFtpPairRun(FakeFtp& ftp, bool sized = false) { return startFtpRun(ftp, true, sized); }
    // The FTP settings name `server`, and the run asks and fetches through
    // `frm`, as the program wires them.
    void useTestServer(const FtpTestServer& server, FrmFTP& frm)
    {
        gstrFTPServer = server.host();
        gstrFTPUsername = QString::fromLatin1(FtpTestServer::kUser);
        gstrFTPPassword = QString::fromLatin1(FtpTestServer::kPassword);
        run.setFtpFileState([&frm](const QString& s, const QString& u, const QString& p, const QString& f) {
            return frm.FTPFileTimeAndSize(s, u, p, f);
        });
        run.setFtpFetchReport([&frm](const QString& f) { return frm.report(f); });
        frm.setMayTake([this](const QString& f, const ftp::FileState& found) { return run.mayTakeFtpCopy(f, found); });
    }
    // The minutes from `from` to `to` whose look restarted the run; each
    // restart is carried through. -1 marks a timer that was not armed.
    QList<int> restartsOver(int from, int to)
    {
        QList<int> at;
        for (int m = from; m <= to; ++m) {
            if (!nextMinute())
                return at << -1;
            if (run.state() == RunController::State::Starting) {
                at << m;
                if (!start.fire() || (load.active && !load.fire()))
                    return at << -1;
            }
        }
        return at;
    }
    // Start Program and the start timer, then (unless told not to) the first page.
    void startRun(bool firstPage = true)
    {
        run.mnuRestart_Click();
        ASSERT_TRUE(start.fire());
        ASSERT_TRUE(!firstPage || load.fire());
    }
    // Clock ticks, one second apart, until the next page is due.
    int ticksToNextPage(int most = 30)
    {
        for (int n = 1; n <= most; ++n) {
            if (!tick())
                return -1;
            if (load.active)
                return n;
        }
        return 0;
    }
    bool tick() // a second later
    {
        time.at = time.at.addSecs(1);
        return clock.fire();
    }
    // A minute after the last look: the FTP watch looks, and a new copy it
    // saw is asked for again, ticks later, once it has had time to settle.
    bool nextMinute()
    {
        const QDateTime look =
            lastLook.isValid() && lastLook.addSecs(60) > time.at ? lastLook.addSecs(60) : time.at.addSecs(60);
        time.at = lastLook = look;
        if (!clock.fire())
            return false;
        while (clock.active && run.ftpSettling() && lastLook.secsTo(time.at) < 50)
            if (!tick())
                return false;
        return true;
    }
    // Clock ticks until a restart is armed: how many; 0 when none came.
    int ticksToRestart(int most = 20)
    {
        for (int n = 1; n <= most; ++n) {
            if (!tick())
                return 0;
            if (start.active)
                return n;
        }
        return 0;
    }
    bool allTimersOff() const { return !start.active && !load.active && !clock.active && !keys.active; }

    QTemporaryDir home;
    testsupport::FixedClock time;
    QDateTime lastLook; // of nextMinute
    testsupport::HeldKeys keyState;
    FakeTimer start, load, clock, keys;
    FakeWindow window;
    FakePages pages;
    RunController run{window, {start, load, clock, keys}};
};

} // namespace

TEST_F(RunTest, StartProgramNeedsTheSettingsFileAndTheWorkingRecordFile)
{
    for (auto [settings, working] : {std::pair{false, true}, {true, false}, {true, true}}) {
        SCOPED_TRACE(testing::Message() << settings << working);
        const bool starts = settings && working;
        QFile::remove(gstrSettingsFile);
        QFile::remove(gstrWorkingDataFile);
        if (settings)
            writeAll(gstrSettingsFile, "[SETTINGS]\r\n");
        if (working)
            writeAll(gstrWorkingDataFile, "a\r\n");
        window.calls.clear();
        run.mnuRestart_Click();
        EXPECT_EQ(run.state(), starts ? RunController::State::Starting : RunController::State::Idle);
        EXPECT_EQ(window.calls.contains(QStringLiteral("load ") + gstrSettingsFile), settings);
        EXPECT_EQ(start.active, starts);
        EXPECT_EQ(window.menus, starts ? kStartMenus : kStopMenus);
    }
}

TEST_F(RunTest, AStopDuringTheSettingsLoadIsNotUndoneByTheStart)
{
    // The load of Start Program, and that of pushed settings (command "1"),
    // which are kept all the same.
    const QByteArray pushed = "[SETTINGS]\r\nDwell Time=3\r\n";
    writeAll(home.filePath(QStringLiteral("UpdatedSettings.ini")), pushed);
    window.onSave = [&] { writeAll(gstrSettingsFile, pushed); };
    for (const bool command : {false, true}) {
        SCOPED_TRACE(command ? "pushed settings" : "Start Program");
        window.onLoad = nullptr;
        if (command) {
            startRun();
            writeAll(gstrConfirmFile, "1\r\n");
        }
        window.onLoad = [&] { run.mnuStop_Click(); };
        if (command)
            ASSERT_TRUE(tick());
        else
            run.mnuRestart_Click();
        EXPECT_EQ(run.state(), RunController::State::Idle);
        EXPECT_TRUE(allTimersOff());
        if (command) {
            EXPECT_EQ(readAll(gstrSettingsFile), pushed);
            EXPECT_EQ(readAll(gstrConfirmFile), QByteArray("0\r\n"));
        }
    }
}

TEST_F(RunTest, AStartTickDueDuringTheSettingsLoadWaitsForIt)
{
    // The start timer runs while the settings load; a tick then starts
    // nothing, and the start follows the load only when the record file is
    // still there.
    for (const bool keepRecords : {true, false}) {
        SCOPED_TRACE(keepRecords);
        writeAll(gstrWorkingDataFile, "a\r\n");
        window.calls.clear();
        pages.resets = 0;
        window.onLoad = [&] {
            EXPECT_TRUE(start.fire());
            if (!keepRecords)
                QFile::remove(gstrWorkingDataFile);
        };
        run.mnuRestart_Click();
        EXPECT_FALSE(window.calls.contains(QStringLiteral("hide")));
        EXPECT_EQ(pages.resets, 0);
        EXPECT_EQ(start.active, keepRecords);
        EXPECT_EQ(run.state(), keepRecords ? RunController::State::Starting : RunController::State::Idle);
        if (keepRecords) {
            ASSERT_TRUE(start.fire());
            EXPECT_EQ(pages.resets, 1);
            EXPECT_EQ(run.state(), RunController::State::Rendering);
            run.mnuStop_Click();
        }
    }
}

TEST_F(RunTest, AStartHidesTheWindowAndPagesToTheLocalPlayer)
{
    startRun(false);
    EXPECT_EQ(window.calls.mid(1), QStringList({QStringLiteral("hide"), QStringLiteral("minimise")}));
    EXPECT_EQ(pages.resets, 1);
    EXPECT_EQ(run.state(), RunController::State::Rendering);
    EXPECT_TRUE(keys.active);
    EXPECT_EQ(window.panels, (RunPanels{true, false, false, false}));

    ASSERT_TRUE(load.fire());
    EXPECT_EQ(pages.pagesFrom, QList<int>{1});
    EXPECT_EQ(logTexts(), QStringList({QStringLiteral("Updated VariablesUpdateImage in player Settings.ini"),
                                       QStringLiteral("Done.")}));
    EXPECT_TRUE(
        readAll(gstrPlayerFolder + QStringLiteral("/Settings/Settings.ini")).contains("VariablesUpdateImage=Page.png"));
    EXPECT_EQ(run.state(), RunController::State::Dwelling);
    EXPECT_FALSE(BusyGuard::active());

    // A page whose copy for the player failed is not announced to it.
    pages.playerName.clear();
    StatusLog::instance().clear();
    ASSERT_EQ(ticksToNextPage(), 9);
    ASSERT_TRUE(load.fire());
    EXPECT_EQ(logTexts(), QStringList{QStringLiteral("Done.")});
}

TEST_F(RunTest, StopInEveryStateDisarmsAllAndRunProcessContinuesThePass)
{
    enum Where { Starting, BeforePage, InsidePage, Dwelling, Halted };
    for (Where w : {Starting, BeforePage, InsidePage, Dwelling, Halted}) {
        SCOPED_TRACE(int(w));
        pages = FakePages();
        run.setPageRoutine(pages.routine());
        startRun(); // page 1..3
        ASSERT_EQ(ticksToNextPage(), 9);
        if (w == Starting) {
            run.mnuRestart_Click();
        } else if (w == InsidePage) {
            pages.during = [&] { run.mnuStop_Click(); };
            load.fire();
            pages.during = nullptr;
        } else if (w == Dwelling) {
            ASSERT_TRUE(load.fire());
        } else if (w == Halted) {
            gblnStop = true;
            load.fire();
            EXPECT_EQ(run.state(), RunController::State::Halted);
        }
        window.calls.clear();
        run.mnuStop_Click();
        EXPECT_TRUE(gblnStop && allTimersOff());
        EXPECT_FALSE(gblnRunActive);
        EXPECT_EQ(run.state(), RunController::State::Idle);
        EXPECT_EQ(run.dwellCounter(), 1);
        EXPECT_EQ(window.menus, kStopMenus);
        EXPECT_EQ(window.panels, (RunPanels{false, true, false, false}));
        EXPECT_EQ(window.calls,
                  QStringList({QStringLiteral("hideFrame"), QStringLiteral("slot 0"), QStringLiteral("show")}));

        const int resets = pages.resets;
        const int expectFrom = pages.cursor;
        run.mnuRun_Click();
        EXPECT_FALSE(gblnStop);
        // Run Process runs the board unattended as Start Program does.
        EXPECT_TRUE(gblnRunActive);
        ASSERT_TRUE(load.fire());
        EXPECT_EQ(pages.resets, resets);
        EXPECT_EQ(pages.pagesFrom.last(), expectFrom);
        run.mnuStop_Click();
    }
}

TEST_F(RunTest, TheDwellTimeDecidesTheTickOfTheNextPage)
{
    struct Case {
        const char* dwell;
        int tick;
        bool bad;
    } cases[] = {
        {"10", 9, false}, {"1", 1, false}, {"2", 1, false},  {" 3 ", 2, false}, {"", 9, true},
        {"abc", 9, true}, {"0", 9, true},  {"1.5", 9, true}, {"-2", 9, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dwell);
        StatusLog::instance().clear();
        gstrDwellTime = QString::fromLatin1(c.dwell);
        startRun(false);
        for (int page = 0; page < 2; ++page) {
            ASSERT_TRUE(load.fire());
            EXPECT_EQ(ticksToNextPage(), c.tick);
        }
        EXPECT_EQ(logTexts().filter(QStringLiteral("!!!Dwell Time")).size(), c.bad ? 1 : 0);
        run.mnuStop_Click();
    }
}

TEST_F(RunTest, AFailedPageKeepsTheClockAndIsTriedAgain)
{
    gstrDwellTime = QStringLiteral("2");
    pages.succeed = false;
    startRun();
    EXPECT_EQ(run.state(), RunController::State::Dwelling);
    EXPECT_FALSE(logTexts().contains(QStringLiteral("Done.")));
    EXPECT_FALSE(BusyGuard::active());

    // The command file still reaches the board while its pages fail.
    writeAll(gstrConfirmFile, "2\r\n");
    ASSERT_TRUE(tick());
    EXPECT_EQ(readAll(gstrConfirmFile), QByteArray("0\r\n"));
    EXPECT_EQ(run.state(), RunController::State::Starting);

    ASSERT_TRUE(start.fire());
    pages.succeed = true;
    ASSERT_TRUE(load.fire());
    EXPECT_EQ(logTexts().last(), QStringLiteral("Done."));
}

TEST_F(RunTest, StandAlonePagesGoToTheDisplayWhenThereIsOne)
{
    window.standAloneOn = true;
    startRun(); // no display installed yet
    EXPECT_EQ(logTexts(), QStringList{QStringLiteral("Done.")});

    FakeDisplay display;
    run.setDisplay(&display);
    ASSERT_EQ(ticksToNextPage(), 9);
    ASSERT_TRUE(load.fire());
    EXPECT_EQ(display.calls, QStringList({QStringLiteral("open"), QStringLiteral("page")}));
    EXPECT_FALSE(QFile::exists(gstrPlayerFolder + QStringLiteral("/Settings/Settings.ini")));

    // Handed to the local player, the board takes its display down.
    window.standAloneOn = false;
    ASSERT_EQ(ticksToNextPage(), 9);
    ASSERT_TRUE(load.fire());
    EXPECT_EQ(display.calls.last(), QStringLiteral("close"));
    EXPECT_TRUE(QFile::exists(gstrPlayerFolder + QStringLiteral("/Settings/Settings.ini")));
    run.mnuStop_Click();
}

TEST_F(RunTest, EscOrTheRightButtonStopsTheRunAtTheNextWatch)
{
    for (int which = 0; which < 2; ++which) {
        startRun();
        ASSERT_TRUE(keys.fire());
        (which == 0 ? keyState.escape : keyState.right) = true;
        ASSERT_TRUE(keys.fire());
        EXPECT_EQ(run.state(), RunController::State::Idle);
        EXPECT_TRUE(gblnStop && allTimersOff());
        keyState.escape = keyState.right = false;
    }
}

TEST_F(RunTest, CommandFileValues)
{
    enum Kind { None, NewSettings, Restart };
    const std::pair<Kind, QList<QByteArray>> groups[] = {
        {NewSettings, {"1", "1\r\n", "\"1\"\r\n", "1,2\r\n"}},
        {Restart, {" 2\r\n", "3", "\357\273\2772\n"}}, // after a byte-order mark
        {None, {"4\r\n", "x\r\n", "", "\r\n1\r\n", "0\r\n"}},
    };
    // The display's tick runs during the wait and the settings load, and
    // closes with a Stop when it sees the stop flag.
    window.onWait = window.onLoad = [this] {
        if (gblnStop)
            run.mnuStop_Click();
    };
    for (const auto& [kind, contents] : groups)
        for (const QByteArray& content : contents) {
            SCOPED_TRACE(content.toStdString());
            startRun();
            writeAll(gstrConfirmFile, content);
            window.calls.clear();
            ASSERT_TRUE(tick());
            EXPECT_EQ(readAll(gstrConfirmFile), kind == None ? content : QByteArray("0\r\n"));
            EXPECT_EQ(window.calls.contains(QStringLiteral("wait 1000")), kind != None);
            EXPECT_EQ(window.calls.contains(QStringLiteral("load ") + gstrSettingsFile), kind == Restart);
            EXPECT_EQ(window.calls.contains(QStringLiteral("save ") + gstrSettingsFile), kind == NewSettings);
            EXPECT_EQ(start.active, kind != None);
            EXPECT_EQ(clock.active, kind == None);
            run.mnuStop_Click();
        }
}

TEST_F(RunTest, AMissingCommandFileIsCreatedAndOneThatCannotBeResetIsNotActedOn)
{
    startRun();
    EXPECT_FALSE(run.blnCheckConfirmFile());
    EXPECT_EQ(readAll(gstrConfirmFile), QByteArray("0\r\n"));

    writeAll(gstrConfirmFile, "2\r\n");
    run.setFileWriter([](const QString&, const QByteArray&, QString*) { return false; });
    ASSERT_TRUE(tick());
    EXPECT_EQ(logTexts().last(), QStringLiteral("!!!Error resetting command file."));
    EXPECT_EQ(readAll(gstrConfirmFile), QByteArray("2\r\n"));
    EXPECT_TRUE(!gblnStop && !start.active && clock.active);
}

TEST_F(RunTest, PushedSettingsAreTakenOnlyWhenReadable)
{
    struct Case {
        const char* content; // nullptr: a folder of that name
        const char* why;     // nullptr: adopted
    } cases[] = {
        {"[SETTINGS]\r\nDwell Time=3\r\n", nullptr},
        {"[TEMPLATES]\r\nWidth=768\r\n", "!!!UpdatedSettings.ini holds no [SETTINGS] section"},
        {nullptr, "!!!Can't read UpdatedSettings.ini"},
    };
    const QString updated = home.filePath(QStringLiteral("UpdatedSettings.ini"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content ? c.content : "folder");
        QFile::remove(updated);
        if (c.content)
            writeAll(updated, c.content);
        else
            QDir().mkpath(updated);
        startRun();
        writeAll(gstrConfirmFile, "1\r\n");
        window.calls.clear();
        ASSERT_TRUE(tick());
        EXPECT_EQ(window.calls.contains(QStringLiteral("load ") + updated), !c.why);
        EXPECT_EQ(window.calls.contains(QStringLiteral("save ") + gstrSettingsFile), !c.why);
        EXPECT_EQ(logTexts().filter(QString::fromLatin1(c.why ? c.why : "!!!")).size(), c.why ? 1 : 0);
        run.mnuStop_Click();
    }
}

TEST_F(RunTest, PushedSettingsAreSavedBeforeTheCommandIsResetAndAgainAfterACrashInBetween)
{
    const QString updated = home.filePath(QStringLiteral("UpdatedSettings.ini"));
    const QByteArray pushed = "[SETTINGS]\r\nDwell Time=3\r\n";
    writeAll(updated, pushed);
    QByteArray commandAtSave;
    window.onSave = [&] {
        commandAtSave = readAll(gstrConfirmFile);
        writeAll(gstrSettingsFile, readAll(updated)); // the panel holds what was loaded
    };
    // The reset after the first adoption does not happen, as after a kill.
    bool resetFails = true;
    run.setFileWriter([&](const QString& path, const QByteArray& bytes, QString* error) {
        return !(resetFails && bytes == "0\r\n") && atomicfile::write(path, bytes, error);
    });
    startRun();
    writeAll(gstrConfirmFile, "1\r\n");
    ASSERT_TRUE(tick());
    EXPECT_EQ(commandAtSave, QByteArray("1\r\n"));
    EXPECT_EQ(readAll(gstrSettingsFile), pushed);
    EXPECT_EQ(readAll(gstrConfirmFile), QByteArray("1\r\n"));

    resetFails = false;
    commandAtSave.clear();
    window.calls.clear();
    ASSERT_TRUE(start.fire() && load.fire() && tick());
    EXPECT_TRUE(window.calls.contains(QStringLiteral("load ") + updated));
    EXPECT_EQ(commandAtSave, QByteArray("1\r\n"));
    EXPECT_EQ(readAll(gstrSettingsFile), pushed);
    EXPECT_EQ(readAll(gstrConfirmFile), QByteArray("0\r\n"));
    EXPECT_TRUE(start.active);
}

TEST_F(RunTest, ACommandFileThatIsASymbolicLinkIsNeverFollowed)
{
    QTemporaryDir outside;
    const QString target = outside.filePath(QStringLiteral("elsewhere.txt"));
    for (const bool dangling : {false, true}) {
        SCOPED_TRACE(dangling ? "dangling" : "to a file outside");
        QFile::remove(gstrConfirmFile);
        QFile::remove(target);
        if (!dangling)
            writeAll(target, "2\r\n");
        ASSERT_TRUE(QFile::link(target, gstrConfirmFile));
        StatusLog::instance().clear();
        startRun();
        window.calls.clear();
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(tick());
        EXPECT_FALSE(window.calls.contains(QStringLiteral("wait 1000")));
        EXPECT_TRUE(clock.active);
        EXPECT_EQ(logTexts().filter(QStringLiteral("!!!")),
                  QStringList({QStringLiteral("!!!The command file OrvaneConfirm.txt is a symbolic link; it is not "
                                              "acted on.")}));
        EXPECT_TRUE(QFileInfo(gstrConfirmFile).isSymLink());
        EXPECT_EQ(QFileInfo::exists(target), !dangling);
        EXPECT_EQ(readAll(target), dangling ? QByteArray() : QByteArray("2\r\n"));
        run.mnuStop_Click();
    }
}

TEST_F(RunTest, ALocalSourceChangeRestartsOnceAndAMissingFileNever)
{
    gstrDataFile = home.filePath(QStringLiteral("export.txt"));
    gstrBookingDataFile = home.filePath(QStringLiteral("missing.txt"));
    writeAll(gstrDataFile, "a\r\n");
    setModified(gstrDataFile, QDateTime(QDate(2024, 3, 7), QTime(9, 0, 0)));
    startRun();
    ASSERT_TRUE(tick()); // remembers

    setModified(gstrDataFile, QDateTime(QDate(2024, 3, 7), QTime(9, 30, 0)));
    window.calls.clear();
    // Seen on the first tick, taken once it has stayed so for the settling time.
    EXPECT_EQ(ticksToRestart(), RunController::kSettleSecs + 1);
    EXPECT_TRUE(window.calls.contains(QStringLiteral("load ") + gstrSettingsFile));
    EXPECT_EQ(run.state(), RunController::State::Starting);

    ASSERT_TRUE(start.fire());
    ASSERT_TRUE(load.fire());
    for (int n = 0; n < 3; ++n) {
        ASSERT_TRUE(tick());
        EXPECT_EQ(run.state(), RunController::State::Dwelling);
    }
}

TEST_F(RunTest, ASourceMissingAtTheStartIsTakenUpOnceItArrivesAndSettles)
{
    for (QString* file : {&gstrDataFile, &gstrBookingDataFile}) {
        SCOPED_TRACE(file == &gstrDataFile ? "data file" : "booking file");
        *file = home.filePath(QStringLiteral("late.txt"));
        QFile::remove(*file);
        startRun();
        ASSERT_TRUE(tick());
        writeAll(*file, "a\r\n");
        // Arrived: taken once it has stayed so for the settling time.
        EXPECT_EQ(ticksToRestart(), RunController::kSettleSecs + 1);
        EXPECT_EQ(run.state(), RunController::State::Starting);
        run.mnuStop_Click();
        file->clear();
    }
}

namespace {

// A Micros export line whose first field names the record.
QByteArray exportLine(const QByteArray& name)
{
    return name + "\tRoom\t3\t0800\t1700\t6\t0\t0\t9\r\n";
}

// The first field of each line of the working record file.
QStringList recordNames()
{
    QStringList names;
    for (const QByteArray& line : readAll(gstrWorkingDataFile).split('\n'))
        if (!line.trimmed().isEmpty())
            names << QString::fromLatin1(line.left(line.indexOf('\t')));
    return names;
}

} // namespace

TEST_F(RunTest, AnExportRewrittenInPlaceIsConvertedOnlyOnceItHasSettled)
{
    // The exporter empties the file and writes it again piece by piece,
    // pausing between pieces; the board pages on meanwhile.
    enum Pieces { Lines, Fields };
    struct Case {
        const char* what;
        Pieces pieces;
        int pauseSecs;
        int stallSecs; // one longer pause inside the third line; 0: none
    } cases[] = {
        {"a line a second", Lines, 1, 0},
        {"a field a second", Fields, 1, 0},
        {"a line every 4 seconds", Lines, 4, 0},
        {"a field every 4 seconds", Fields, 4, 0},
        {"a stall longer than the settling time", Fields, 1, RunController::kSettleSecs + 2},
    };
    const QByteArray old = exportLine("A1") + exportLine("A2");
    QByteArray fresh;
    for (const char* name : {"B1", "B2", "B3", "B4", "B5", "B6", "B7"})
        fresh += exportLine(name);
    const QStringList oldNames{QStringLiteral("A1"), QStringLiteral("A2")};
    QStringList freshNames;
    for (int i = 1; i <= 7; ++i)
        freshNames << QStringLiteral("B%1").arg(i);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordedMessages boxes;
        gstrDataType = QStringLiteral("0");
        gstrDwellTime = QStringLiteral("2");
        gstrDataFile = home.filePath(QStringLiteral("export.txt"));
        writeAll(gstrDataFile, old);
        window.onLoad = [] {
            bool ok = false;
            ConvertDataFile(gstrDataFile, ok);
        };
        startRun();
        ASSERT_EQ(recordNames(), oldNames);

        QList<qsizetype> ends{0};
        for (qsizetype i = 0; i < fresh.size(); ++i)
            if (fresh[i] == '\n' || (c.pieces == Fields && fresh[i] == '\t'))
                ends << i + 1;
        const qsizetype stallAt = ends[ends.size() / 3 + 1];
        int restarts = 0, pages = 0;
        // A second of the board: a tick, and the page or restart it asked for.
        const auto second = [&] {
            if (!tick())
                return false;
            if (start.active) {
                ++restarts;
                if (!start.fire())
                    return false;
            }
            if (load.active) {
                ++pages;
                return load.fire();
            }
            return true;
        };
        for (const qsizetype end : ends) {
            writeAll(gstrDataFile, fresh.left(end));
            for (int n = c.stallSecs && end == stallAt ? c.stallSecs : c.pauseSecs; n > 0; --n) {
                ASSERT_TRUE(second());
                const QStringList names = recordNames();
                if (!c.stallSecs) {
                    ASSERT_TRUE(names == oldNames || names == freshNames) << names.join(',').toStdString();
                }
            }
        }
        EXPECT_EQ(restarts, c.stallSecs ? 1 : 0);
        EXPECT_GT(pages, int(ends.size()) * c.pauseSecs / 3);
        for (int n = 0; n <= RunController::kSettleSecs && recordNames() != freshNames; ++n)
            ASSERT_TRUE(second());
        EXPECT_EQ(recordNames(), freshNames);
        // Converted once: the watch is quiet again.
        restarts = 0;
        for (int n = 0; n < 2 * RunController::kSettleSecs; ++n)
            ASSERT_TRUE(second());
        EXPECT_EQ(restarts, 0);
        // The half-written file is refused by the conversion, which says so
        // itself; a file converted as it settles never meets it.
        if (!c.stallSecs) {
            EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join('|').toStdString();
        }
        run.mnuStop_Click();
    }
}

TEST_F(RunTest, ADataFileSpeltInAnotherLetterCaseIsWatchedAsItIsConverted)
{
    // The settings name export.txt; the exporter writes EXPORT.TXT, which
    // the conversion reads.
    gstrDataType = QStringLiteral("0");
    gstrDataFile = home.filePath(QStringLiteral("export.txt"));
    const QString written = home.filePath(QStringLiteral("EXPORT.TXT"));
    writeAll(written, exportLine("A1"));
    window.onLoad = [] {
        bool ok = false;
        ConvertDataFile(gstrDataFile, ok);
    };
    startRun();
    ASSERT_EQ(recordNames(), QStringList{QStringLiteral("A1")});
    ASSERT_TRUE(tick());
    writeAll(written, exportLine("B1"));
    EXPECT_EQ(ticksToRestart(), RunController::kSettleSecs + 1);
    ASSERT_TRUE(start.fire() && load.fire());
    EXPECT_EQ(recordNames(), QStringList{QStringLiteral("B1")});
    // Converted: the watch is quiet again.
    EXPECT_EQ(ticksToRestart(), 0);
    run.mnuStop_Click();
}

TEST_F(RunTest, APairOfExportsRestartsTheRunOnlyOnceBothHaveSettled)
{
    // The booking file is written at once and settles; the data file is
    // still being written a line every 3 seconds. The restart waits for the
    // data file, so its half never reaches the record file; a file that
    // never settles holds the other back only for a while.
    gstrDataType = QStringLiteral("0");
    gstrDwellTime = QStringLiteral("1000");
    gstrDataFile = home.filePath(QStringLiteral("export.txt"));
    gstrBookingDataFile = home.filePath(QStringLiteral("bookings.txt"));
    writeAll(gstrDataFile, exportLine("A1"));
    writeAll(gstrBookingDataFile, "old\r\n");
    window.onLoad = [] {
        bool ok = false;
        ConvertDataFile(gstrDataFile, ok);
    };
    startRun();
    int restarts = 0;
    const auto second = [&] {
        if (!tick())
            return false;
        if (start.active) {
            ++restarts;
            return start.fire() && load.fire();
        }
        return true;
    };
    const QStringList oldNames{QStringLiteral("A1")};
    const QStringList freshNames{QStringLiteral("B1"), QStringLiteral("B2"), QStringLiteral("B3"), QStringLiteral("B4"),
                                 QStringLiteral("B5")};
    writeAll(gstrBookingDataFile, "new\r\n");
    QByteArray fresh;
    for (const QString& name : freshNames) {
        fresh += exportLine(name.toLatin1().constData());
        writeAll(gstrDataFile, fresh);
        for (int n = 0; n < 3; ++n) {
            ASSERT_TRUE(second());
            ASSERT_EQ(recordNames(), oldNames);
        }
    }
    EXPECT_EQ(restarts, 0);
    for (int n = 0; n <= RunController::kSettleSecs && restarts == 0; ++n)
        ASSERT_TRUE(second());
    EXPECT_EQ(restarts, 1);
    EXPECT_EQ(recordNames(), freshNames);

    // A booking file rewritten every 2 seconds for good: the data file's
    // change is taken all the same, once it has waited its longest.
    writeAll(gstrDataFile, exportLine("C1"));
    restarts = 0;
    int waited = 0;
    for (; waited < 2 * RunController::kMaxSettleWaitSecs && restarts == 0; ++waited) {
        if (waited % 2 == 0)
            writeAll(gstrBookingDataFile, QByteArray::number(waited) + "\r\n");
        ASSERT_TRUE(second());
    }
    EXPECT_EQ(restarts, 1);
    EXPECT_GE(waited, RunController::kMaxSettleWaitSecs);
    EXPECT_EQ(recordNames(), QStringList({QStringLiteral("C1")}));
}

TEST_F(RunTest, AnExportNamedAnewIsTakenBeforeItsConversion)
{
    // Pushed settings name another export; its writer finishes it while the
    // load converts it, so the load converts the first lines only.
    gstrDataType = QStringLiteral("0");
    const QString renamed = home.filePath(QStringLiteral("new-export.txt"));
    writeAll(renamed, exportLine("N1"));
    window.onLoad = [&] {
        gstrDataFile = renamed;
        window.nameSources();
        bool ok = false;
        ConvertDataFile(gstrDataFile, ok);
        QFile f(renamed);
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write(exportLine("N2"));
    };
    startRun();
    ASSERT_EQ(recordNames(), QStringList{QStringLiteral("N1")});
    window.onLoad = [] {
        bool ok = false;
        ConvertDataFile(gstrDataFile, ok);
    };
    EXPECT_EQ(ticksToRestart(), RunController::kSettleSecs + 1);
    ASSERT_TRUE(start.fire() && load.fire());
    EXPECT_EQ(recordNames(), QStringList({QStringLiteral("N1"), QStringLiteral("N2")}));
    run.mnuStop_Click();
}

TEST_F(RunTest, TheWorkingRecordFileAsItsOwnSourceIsNoChange)
{
    gstrDataType = QStringLiteral("3");
    gstrDataFile = gstrWorkingDataFile;
    writeAll(gstrWorkingDataFile, exportLine("A1"));
    window.onLoad = [] {
        bool ok = false;
        ConvertDataFile(gstrDataFile, ok);
    };
    startRun();
    for (int n = 0; n < 4; ++n) {
        ASSERT_TRUE(tick());
        EXPECT_EQ(run.state(), RunController::State::Dwelling);
    }
}

TEST_F(RunTest, AChangeWithinTheSameSecondIsSeen)
{
    const QDateTime at(QDate(2024, 3, 7), QTime(9, 0, 0, 100));
    struct Case {
        const char* what;
        std::function<void(const QString&)> change;
    } cases[] = {
        {"same size, later in the same second",
         [&](const QString& f) {
             writeAll(f, "b\r\n");
             setModified(f, at.addMSecs(500));
         }},
        {"same time, another size",
         [&](const QString& f) {
             writeAll(f, "ab\r\n");
             setModified(f, at);
         }},
        {"another file under the name, same size and time",
         [&](const QString& f) {
             const QString other = f + QStringLiteral(".new");
             writeAll(other, "b\r\n");
             setModified(other, at);
             QFile::remove(f);
             QFile::rename(other, f);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gstrDataFile = home.filePath(QStringLiteral("export.txt"));
        writeAll(gstrDataFile, "a\r\n");
        setModified(gstrDataFile, at);
        startRun();
        ASSERT_TRUE(tick());
        c.change(gstrDataFile);
        EXPECT_GT(ticksToRestart(), 0);
        EXPECT_EQ(run.state(), RunController::State::Starting);
        run.mnuStop_Click();
    }
}

TEST_F(RunTest, WhyPushedSettingsWereRefusedOutlivesTheRestartsThatFollow)
{
    writeAll(home.filePath(QStringLiteral("UpdatedSettings.ini")), "[TEMPLATES]\r\nWidth=768\r\n");
    const QString why =
        QStringLiteral("!!!UpdatedSettings.ini holds no [SETTINGS] section; the settings stay as they are.");
    // Each settings load empties the status list, as the window's does.
    window.onLoad = [] { StatusLog::instance().clear(); };
    startRun();
    writeAll(gstrConfirmFile, "1\r\n");
    ASSERT_TRUE(tick());
    ASSERT_TRUE(start.fire() && load.fire());
    EXPECT_TRUE(logTexts().contains(why));

    writeAll(gstrConfirmFile, "2\r\n");
    ASSERT_TRUE(tick());
    EXPECT_EQ(logTexts().filter(QStringLiteral("!!!")), QStringList{why});
    ASSERT_TRUE(start.fire() && load.fire());

    // Said once: the next restart starts with an empty list.
    writeAll(gstrConfirmFile, "2\r\n");
    ASSERT_TRUE(tick());
    EXPECT_TRUE(logTexts().filter(QStringLiteral("!!!")).isEmpty());
    run.mnuStop_Click();
}

TEST_F(RunTest, StartProgramRemovesUploadTemporariesOlderThanAnHour)
{
    const QDateTime now = QDateTime::currentDateTime();
    time.at = now;
    struct File {
        QString path;
        int ageSecs;
        bool removed;
    } files[] = {
        {gstrDataFolder + QStringLiteral("/.T.ORVT.orvtmp.Ab12Cd"), 3700, true},
        {gstrMediaFolder + QStringLiteral("/.bg.mp4.orvtmp.xY98zZ"), 7200, true},
        {home.filePath(QStringLiteral(".UpdatedSettings.ini.orvtmp.QQ11qq")), 86400, true},
        {gstrMediaFolder + QStringLiteral("/.pip.mp4.orvtmp.arrive"), 30, false}, // arriving now
        {gstrMediaFolder + QStringLiteral("/.bg.mp4.orvtmp.toolong1"), 7200, false},
        {gstrDataFolder + QStringLiteral("/T.ORVT.orvtmp.Ab12Cd"), 7200, false}, // not hidden
        {gstrRemoteFolder + QStringLiteral("/.x.orvtmp.Ab12Cd"), 7200, false},   // no upload goes there
        // A board file an upload moved aside and could not put back goes
        // back, at any age.
        {gstrMediaFolder + QStringLiteral("/.bg.png.orvold.Ab12Cd"), 30, true},
    };
    QDir().mkpath(gstrRemoteFolder);
    for (const File& f : files) {
        writeAll(f.path, "part");
        setModified(f.path, now.addSecs(-f.ageSecs));
    }
    run.mnuRestart_Click();
    for (const File& f : files)
        EXPECT_EQ(QFile::exists(f.path), !f.removed) << f.path.toStdString();
    EXPECT_EQ(readAll(gstrMediaFolder + QStringLiteral("/bg.png")), QByteArray("part"));
    run.mnuStop_Click();
}

TEST_F(RunTest, AnFtpRestartKeepsTheServerTimeThatCausedIt)
{
    useFtpSource();
    QString serverTime = QStringLiteral("2024/03/07 09:00:00");
    run.setFtpFileState([&](const QString&, const QString&, const QString&, const QString& file) {
        return RunController::ServerFile(file == QLatin1String("data.txt") ? serverTime : QString());
    });
    startRun();
    ASSERT_TRUE(tick() && nextMinute());                // remembers 09:00
    serverTime = QStringLiteral("2024/03/07 09:01:00"); // being uploaded
    ASSERT_TRUE(nextMinute());
    ASSERT_EQ(run.state(), RunController::State::Starting);
    ASSERT_TRUE(start.fire() && load.fire());
    // The upload finished after the restart had fetched the file.
    serverTime = QStringLiteral("2024/03/07 09:01:30");
    ASSERT_TRUE(nextMinute());
    EXPECT_EQ(run.state(), RunController::State::Starting);
    ASSERT_TRUE(start.fire() && load.fire());
    ASSERT_TRUE(nextMinute());
    EXPECT_EQ(run.state(), RunController::State::Dwelling);
    run.mnuStop_Click();
}

TEST_F(RunTest, AnFtpStartWatchesFromTheServerTimeOfWhatItFetched)
{
    // The upload ended after the start had fetched the file, but before the
    // watch first asked: the finished file is fetched all the same.
    useFtpSource();
    time.at = QDateTime(QDate(2024, 3, 7), QTime(10, 0, 10));
    for (const bool uploadEnded : {true, false}) {
        SCOPED_TRACE(uploadEnded);
        const QString fetched = QStringLiteral("2024/03/07 09:00:00");
        run.setFtpFetchReport([&](const QString& file) {
            const RunController::ServerFile copy(file == gstrFTPFilename ? fetched : QString());
            return std::optional(FetchReport{FetchReport::Outcome::Took, copy, copy});
        });
        run.setFtpFileState([&](const QString&, const QString&, const QString&, const QString&) {
            return RunController::ServerFile(uploadEnded ? QStringLiteral("2024/03/07 09:00:20") : fetched);
        });
        startRun();
        ASSERT_TRUE(tick() && nextMinute());
        EXPECT_EQ(run.state(), uploadEnded ? RunController::State::Starting : RunController::State::Dwelling);
        run.mnuStop_Click();
    }
}

TEST_F(RunTest, AFailedFetchIsFetchedAgainAtTheNextLook)
{
    useFtpSource();
    FakeFtp ftp;
    ftp.install(run, window);
    time.at = QDateTime(QDate(2024, 3, 7), QTime(10, 0, 10));
    const QString data = QStringLiteral("data.txt");
    for (const bool atStart : {true, false}) {
        SCOPED_TRACE(atStart ? "the start's fetch fails" : "the restart's fetch fails");
        ftp.serverTimes[data] = QStringLiteral("2024/03/07 09:00:00");
        ftp.failures = atStart ? 1 : 0;
        startRun();
        ASSERT_TRUE(tick());
        if (!atStart) {
            ASSERT_TRUE(nextMinute());
            ASSERT_EQ(run.state(), RunController::State::Dwelling);
            ftp.serverTimes[data] = QStringLiteral("2024/03/07 09:05:00");
            ftp.failures = 1;
            ASSERT_TRUE(nextMinute());
            ASSERT_EQ(run.state(), RunController::State::Starting);
            ASSERT_TRUE(start.fire());
            ASSERT_EQ(run.state(), RunController::State::Dwelling); // nothing new to page
        }
        ASSERT_FALSE(ftp.onBoard(data));
        ftp.fetches = 0;
        ASSERT_TRUE(nextMinute());
        EXPECT_EQ(run.state(), RunController::State::Starting);
        ASSERT_TRUE(start.fire() && load.fire());
        EXPECT_EQ(ftp.fetches, 1);
        EXPECT_TRUE(ftp.onBoard(data));
        // Fetched: the watch is quiet again.
        ASSERT_TRUE(nextMinute() && nextMinute());
        EXPECT_EQ(run.state(), RunController::State::Dwelling);
        EXPECT_EQ(ftp.fetches, 1);
        run.mnuStop_Click();
    }
}

TEST_F(RunTest, AFetchThatKeepsFailingIsTriedAtGrowingGapsAndANewExportAtOnce)
{
    // A server that gives the file's time but refuses its download for good
    // must not send the pages back to the first one every minute.
    useFtpSource();
    FakeFtp ftp;
    ftp.install(run, window);
    time.at = QDateTime(QDate(2024, 3, 7), QTime(10, 0, 10));
    const QString data = QStringLiteral("data.txt");
    ftp.serverTimes[data] = QStringLiteral("2024/03/07 09:00:00");
    ftp.failures = 1000;
    startRun();
    ASSERT_TRUE(tick());
    // The minutes (after the start) at which the watch fetched again.
    const auto retriesOver = [&](int minutes) {
        QList<int> at;
        for (int m = 1; m <= minutes; ++m) {
            if (!nextMinute())
                return at << -1;
            if (run.state() == RunController::State::Starting) {
                at << m;
                if (!start.fire() || (load.active && !load.fire()))
                    return at << -1;
            }
        }
        return at;
    };
    EXPECT_EQ(retriesOver(130), QList<int>({1, 3, 7, 15, 31, 63, 123}));

    // A new export on the server is fetched at the next look, and its own
    // failures are retried from the shortest gap.
    ftp.serverTimes[data] = QStringLiteral("2024/03/07 12:00:00");
    EXPECT_EQ(retriesOver(3), QList<int>({1, 2}));
    // Once a fetch works, the watch is quiet until the export changes again,
    // and a later failure is retried at the next look once more.
    ftp.failures = 0;
    ftp.serverTimes[data] = QStringLiteral("2024/03/07 12:30:00");
    EXPECT_EQ(retriesOver(3), QList<int>({1}));
    EXPECT_TRUE(ftp.onBoard(data));
    ftp.failures = 1000;
    ftp.serverTimes[data] = QStringLiteral("2024/03/07 13:00:00");
    EXPECT_EQ(retriesOver(4), QList<int>({1, 2, 4}));
}

TEST_F(RunTest, AnFtpExportIsFetchedAtTheFirstLookThatSeesItAndEveryStartWatchesAfresh)
{
    // A failed fetch keeps the server time it was made for: that time waits
    // for its gap, any other time is fetched at the look that sees it. A
    // fetch that fails leaves the pages where they were.
    const QString data = QStringLiteral("data.txt"), other = QStringLiteral("other.txt");
    QDateTime runStart;
    // What happens before the look of a minute.
    using Step = std::function<void(FakeFtp&, int minute)>;
    const auto at = [](int minute, Step step) -> Step {
        return [=](FakeFtp& ftp, int m) {
            if (m == minute)
                step(ftp, m);
        };
    };
    // A new export, written half a minute before the look; its downloads
    // refused or let through.
    const auto newExport = [&](bool refused) -> Step {
        return [&, refused](FakeFtp& ftp, int m) {
            ftp.serverTimes[data] = runStart.addSecs(m * 60 - 30).toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
            ftp.failures = 0;
            ftp.refused = refused;
        };
    };
    // Written until the look of `minute`, and let go only after it.
    const auto writtenUntil = [&](int minute) -> Step {
        return [&, minute](FakeFtp& ftp, int m) {
            if (m <= minute)
                newExport(true)(ftp, m);
            ftp.refused = m <= minute;
        };
    };
    // From now on the settings name the other file; the next fetch fails.
    const auto loadsNameOther = [&](FakeFtp& ftp, int) {
        window.onLoad = [&, fetchAll = window.onLoad] {
            gstrFTPFilename = other;
            fetchAll();
        };
        ftp.failures = 1;
    };
    const auto stopAndStart = [&](FakeFtp& ftp, int) {
        run.mnuStop_Click();
        ftp.failures = 1;
        startRun();
    };
    const auto pushSettingsNamingOther = [&](FakeFtp& ftp, int m) {
        writeAll(gstrConfirmFile, "1\r\n");
        writeAll(home.filePath(QStringLiteral("UpdatedSettings.ini")), "[SETTINGS]\r\n");
        loadsNameOther(ftp, m);
        ASSERT_TRUE(tick());
        ASSERT_TRUE(start.fire() && load.fire());
    };
    // A new export still being written at the look: it grows at the look's
    // ask for its time and at `asks` - 1 more.
    const auto stillWritten = [&](int asks) -> Step {
        return [&, asks](FakeFtp& ftp, int m) {
            newExport(false)(ftp, m);
            ftp.serverSizes[data] = 100;
            ftp.growing[data] = asks;
        };
    };
    // A new export that grows under its fetch, and twice more after it.
    const auto changedWhileFetched = [&](FakeFtp& ftp, int m) {
        if (m == 3) {
            newExport(false)(ftp, m);
            ftp.serverSizes[data] = 100;
            ftp.changedDuringFetch.insert(data);
        } else if (m == 4) {
            ftp.growing[data] = 2;
        }
    };
    // A new export that goes on growing at two more asks for its time.
    const auto writing = [&](FakeFtp& ftp, int m) {
        newExport(false)(ftp, m);
        ftp.growing[data] = 2;
    };
    // A start, or a command to restart, while a new export is written.
    const auto startWhileWritten = [&](FakeFtp& ftp, int m) {
        run.mnuStop_Click();
        writing(ftp, m);
        startRun();
    };
    const auto commandWhileWritten = [&](FakeFtp& ftp, int m) {
        writing(ftp, m);
        writeAll(gstrConfirmFile, "2\r\n");
        ASSERT_TRUE(tick());
        ASSERT_TRUE(start.fire() && load.fire());
    };
    // A start whose export is the board's copy: nothing to fetch or wait for.
    const auto startUnchanged = [&](FakeFtp&, int) {
        run.mnuStop_Click();
        startRun();
        ASSERT_FALSE(run.ftpSettling());
    };
    // A new export that settles, and grows once more between the ask that
    // saw it settled and the restart's fetch.
    const auto rewrittenBeforeTheFetch = [&](FakeFtp& ftp, int m) {
        newExport(false)(ftp, m);
        ftp.beforeFetch = [&ftp](const QString& file) {
            ftp.grow(file);
            ftp.beforeFetch = nullptr;
        };
    };
    // A start (at minute 1) whose fetch reaches no server; the server is
    // back at minute 3, while a new export is still being written.
    const auto startWhileServerDown = [&](FakeFtp& ftp, int m) {
        if (m == 1) {
            run.mnuStop_Click();
            ftp.down = true;
            startRun();
        } else if (m == 3) {
            ftp.down = false;
            stillWritten(2)(ftp, m);
        }
    };
    const QList<int> hourGap{1, 3, 7, 15, 31, 63, 123}, everyLookTo11{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    struct Case {
        const char* name;
        bool fetchesFail; // from the start's on, until a step lets them through
        int minutes;
        Step before;
        QList<int> fetchedAt; // minutes whose look fetched
        int toPageOne;        // starts and fetches that began the pass anew
        bool onBoard;         // the server's export ends on the board
        bool sized = false;   // the server gives the file's size, and the board holds its copy
        int taken = -1;       // copies the board took (-1: not counted)
    } cases[] = {
        {"a new export after failed retries", true, 10, at(8, newExport(false)), {1, 3, 7, 8}, 2, true},
        {"a new export during the hour gap", true, 126, at(124, newExport(false)), hourGap + QList{124}, 2, true},
        {"an export refused while it is written", false, 13, writtenUntil(10), everyLookTo11, 2, true},
        {"a retry of the same time waits for its gap", false, 10, at(1, newExport(true)), {1, 2, 4, 8}, 1, false},
        {"Start Program after a Stop", true, 125, at(124, stopAndStart), hourGap + QList{124}, 3, true},
        {"pushed settings naming another file", true, 125, at(124, pushSettingsNamingOther), hourGap + QList{124}, 3,
         true},
        // The load took another source: the pages begin anew, whatever its fetch did.
        {"a retry whose load names another file", true, 125, at(123, loadsNameOther), hourGap + QList{124}, 3, true},
        // Fetched once it has settled, whole, with one restart.
        {"a new export still being written at the look", false, 5, at(3, stillWritten(2)), {3}, 2, true},
        {"a new export still being written after failed retries",
         true,
         10,
         at(8, stillWritten(2)),
         {1, 3, 7, 8},
         2,
         true},
        // The copy after the change is a new export, not a retry of the failed one.
        {"an export that changed while it was fetched", false, 6, changedWhileFetched, {3, 4}, 2, true},
        // A start takes only the board's copy, or a copy it has seen settle;
        // so does a restart's fetch.
        {"a start whose export is unchanged", false, 3, at(1, startUnchanged), {}, 2, true, true, 0},
        {"a start while the export is written", false, 3, at(1, startWhileWritten), {1}, 3, true, true, 1},
        {"command 2 while the export is written", false, 3, at(1, commandWhileWritten), {1}, 3, true, true, 1},
        // Not taken: it settles anew (here seen by the next look), and the
        // pages go on meanwhile: only the fetch that took it began anew.
        {"an export rewritten between the ask and the fetch",
         false,
         4,
         at(3, rewrittenBeforeTheFetch),
         {4},
         2,
         true,
         true},
        // It found no copy: whatever a later look sees is a new export.
        {"a start whose fetch reached no server", false, 5, startWhileServerDown, {3}, 3, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        useFtpSource();
        FakeFtp ftp;
        ftp.install(run, window);
        ftp.serverTimes[data] = QStringLiteral("2024/03/07 09:00:00");
        ftp.serverTimes[other] = QStringLiteral("2024/03/07 09:30:00");
        if (c.sized) {
            ftp.serverSizes[data] = 100;
            ftp.board[data] = ftp.copy(data);
        }
        ftp.failures = c.fetchesFail ? 1000 : 0;
        runStart = time.at;
        const int resets = pages.resets;
        startRun();
        ASSERT_TRUE(tick());
        QList<int> fetchedAt;
        for (int m = 1; m <= c.minutes; ++m) {
            c.before(ftp, m);
            const int fetches = ftp.fetches;
            ASSERT_TRUE(nextMinute());
            if (ftp.fetches > fetches)
                fetchedAt << m;
            if (run.state() == RunController::State::Starting) {
                ASSERT_TRUE(start.fire() && (!load.active || load.fire()));
            }
            ASSERT_EQ(run.state(), RunController::State::Dwelling) << m;
        }
        EXPECT_EQ(fetchedAt, c.fetchedAt);
        EXPECT_EQ(pages.resets - resets, c.toPageOne);
        EXPECT_EQ(ftp.onBoard(gstrFTPFilename), c.onBoard);
        if (c.taken >= 0) {
            EXPECT_EQ(ftp.taken, c.taken);
        }
        run.mnuStop_Click();
    }
}

TEST_F(RunTest, AFetchThatFailsLeavesThePageOnShowToItsDwell)
{
    useFtpSource();
    gstrDwellTime = QStringLiteral("20");
    FakeFtp ftp;
    ftp.install(run, window);
    const QString data = QStringLiteral("data.txt");
    ftp.serverTimes[data] = QStringLiteral("2024/03/07 09:00:00");
    time.at = QDateTime(QDate(2024, 3, 7), QTime(10, 0, 55));
    startRun(); // the page from record 1
    ftp.serverTimes[data] = QStringLiteral("2024/03/07 10:00:30");
    ftp.refused = true;
    // The fifth tick, at 10:01:00, looks; the export has settled by the
    // tenth.
    for (int n = 0; n < 5 + RunController::kSettleSecs; ++n)
        ASSERT_TRUE(tick());
    ASSERT_EQ(run.state(), RunController::State::Starting);
    ASSERT_TRUE(start.fire());
    // The page would have had nine more ticks; it keeps them.
    EXPECT_EQ(ticksToNextPage(), 9);
    ASSERT_TRUE(load.fire());
    EXPECT_EQ(pages.pagesFrom, QList<int>({1, 4}));
    EXPECT_EQ(pages.resets, 1);
    EXPECT_EQ(ftp.fetches, 2);
    run.mnuStop_Click();
}

TEST_F(RunTest, AFetchThatFailsKeepsTheRunsWarningsInTheStatusList)
{
    // The restart's load empties the status list; the pages going on
    // without a new start must not take the run's warnings with it.
    QTemporaryDir outside;
    struct Case {
        const char* name;
        std::function<void()> setUp;
        QString warning;
    } cases[] = {
        {"a Dwell Time that is no number", [] { gstrDwellTime = QStringLiteral("abc"); },
         QStringLiteral("!!!Dwell Time \"abc\" is not a whole number of seconds; paging every 10 seconds.")},
        {"a command file that is a symbolic link",
         [&] {
             QFile::remove(gstrConfirmFile);
             ASSERT_TRUE(QFile::link(outside.filePath(QStringLiteral("elsewhere.txt")), gstrConfirmFile));
         },
         QStringLiteral("!!!The command file OrvaneConfirm.txt is a symbolic link; it is not acted on.")},
    };
    const QString data = QStringLiteral("data.txt");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        useFtpSource();
        c.setUp();
        FakeFtp ftp;
        ftp.install(run, window);
        window.onLoad = [&, fetchAll = window.onLoad] {
            StatusLog::instance().clear(); // as the window's load does
            fetchAll();
        };
        ftp.serverTimes[data] = QStringLiteral("2024/03/07 09:00:00");
        startRun();
        ASSERT_TRUE(tick() && nextMinute());
        ASSERT_TRUE(logTexts().contains(c.warning));
        ftp.serverTimes[data] = QStringLiteral("2024/03/07 09:05:00");
        ftp.refused = true;
        ASSERT_TRUE(nextMinute());
        ASSERT_TRUE(start.fire());
        ASSERT_EQ(run.state(), RunController::State::Dwelling); // the pages go on
        ASSERT_TRUE(tick());
        EXPECT_TRUE(logTexts().contains(c.warning));
        run.mnuStop_Click();
        QFile::remove(gstrConfirmFile);
    }
}

TEST_F(RunTest, RefusedPushedSettingsLeaveTheFtpWatchAsItWas)
{
    // Refused settings load nothing and fetch nothing: the board's copy is
    // the one it had, so a newer export on the server is still fetched.
    const QString data = QStringLiteral("data.txt");
    writeAll(home.filePath(QStringLiteral("UpdatedSettings.ini")), "[TEMPLATES]\r\nWidth=768\r\n");
    for (const bool failedBefore : {false, true}) {
        SCOPED_TRACE(failedBefore ? "a failed fetch waiting for its retry" : "a new export not looked at yet");
        FakeFtp ftp;
        ASSERT_TRUE(startFtpRun(ftp));
        ASSERT_EQ(run.state(), RunController::State::Dwelling);
        ftp.serverTimes[data] = QStringLiteral("2024/03/07 09:05:00");
        if (failedBefore) {
            ftp.refused = true;
            ASSERT_TRUE(nextMinute());
            ASSERT_TRUE(start.fire() && (!load.active || load.fire()));
            ftp.refused = false;
        }
        writeAll(gstrConfirmFile, "1\r\n");
        ASSERT_TRUE(tick());
        ASSERT_TRUE(start.fire() && load.fire());
        ASSERT_EQ(readAll(gstrConfirmFile), QByteArray("0\r\n"));
        ASSERT_TRUE(nextMinute());
        EXPECT_EQ(run.state(), RunController::State::Starting);
        if (start.fire())
            load.fire();
        EXPECT_TRUE(ftp.onBoard(data));
        run.mnuStop_Click();
    }
}

TEST_F(RunTest, AFailedFetchOfTheCopyTheBoardHasIsNotTriedAgain)
{
    // A new data export restarts the run; that load's fetch of the booking
    // file, whose time has not moved, fails. The board still has that
    // copy: nothing is to be fetched again, however long the server goes
    // on refusing it, while a new booking export is fetched at its look.
    const QString data = QStringLiteral("data.txt"), book = QStringLiteral("book.txt");
    FakeFtp ftp;
    ASSERT_TRUE(startFtpPairRun(ftp));
    ftp.serverTimes[data] = QStringLiteral("2024/03/07 09:05:00");
    ftp.refusedFiles = {book};
    ASSERT_EQ(restartsOver(1, 1), QList<int>({1}));
    const int resets = pages.resets, fetches = ftp.fetches;
    EXPECT_EQ(restartsOver(2, 130), QList<int>());
    EXPECT_EQ(ftp.fetches, fetches);
    EXPECT_EQ(pages.resets, resets);

    ftp.serverTimes[book] = QStringLiteral("2024/03/07 11:30:00");
    ftp.refusedFiles.clear();
    EXPECT_EQ(restartsOver(131, 131), QList<int>({131}));
    EXPECT_TRUE(ftp.onBoard(book));
    run.mnuStop_Click();
}

TEST_F(RunTest, ALookWithoutATimeKeepsTheGapOfARefusedFetch)
{
    // A data export the server refuses for good is at the hour gap when a
    // new booking export restarts the run in a minute whose look got no
    // time for the data file. That load's fetch of the data file fails as
    // before: its gap goes on growing, not back to a minute.
    const QString data = QStringLiteral("data.txt"), book = QStringLiteral("book.txt");
    FakeFtp ftp;
    ASSERT_TRUE(startFtpPairRun(ftp));
    ftp.serverTimes[data] = QStringLiteral("2024/03/07 09:05:00");
    ftp.refusedFiles = {data};
    ASSERT_EQ(restartsOver(1, 99), QList<int>({1, 2, 4, 8, 16, 32, 64}));
    ftp.serverTimes[book] = QStringLiteral("2024/03/07 11:00:00");
    const QString dataTime = ftp.serverTimes.take(data);
    ASSERT_EQ(restartsOver(100, 100), QList<int>({100}));
    EXPECT_TRUE(ftp.onBoard(book));
    ftp.serverTimes[data] = dataTime;
    // That fetch counts as a retry: the next one is an hour after it.
    EXPECT_EQ(restartsOver(101, 165), QList<int>({160}));
    EXPECT_FALSE(ftp.onBoard(data));
    run.mnuStop_Click();
}

TEST_F(RunTest, TheFtpWatchRunsOncePerClockMinuteNeverOnTheFirstTick)
{
    useFtpSource();
    gstrFTPBookingFilename = QStringLiteral("book.txt");
    QStringList asked;
    QString serverTime = QStringLiteral("2024/03/07 09:00:00");
    run.setFtpFileState([&](const QString&, const QString&, const QString&, const QString& file) {
        asked << file;
        return RunController::ServerFile(file == QLatin1String("data.txt") ? serverTime : QString());
    });
    time.at = QDateTime(QDate(2024, 3, 7), QTime(14, 5, 58));
    startRun();
    ASSERT_TRUE(tick()); // 14:05:59, the program's first tick
    EXPECT_TRUE(asked.isEmpty());
    ASSERT_TRUE(tick()); // 14:06:00: remembers
    EXPECT_EQ(asked, QStringList({QStringLiteral("data.txt"), QStringLiteral("book.txt")}));
    EXPECT_EQ(logTexts().last(), QStringLiteral("!!!Error getting book.txt modified time from FTP Server."));

    serverTime = QStringLiteral("2024/03/07 09:01:00");
    ASSERT_TRUE(tick()); // same minute
    EXPECT_EQ(asked.size(), 2);
    time.at = QDateTime(QDate(2024, 3, 7), QTime(14, 7, 0));
    ASSERT_TRUE(clock.fire());
    // The new time is asked again once it has had time to settle, and then
    // the booking file with it.
    EXPECT_EQ(run.state(), RunController::State::Dwelling);
    EXPECT_EQ(asked.size(), 4);
    EXPECT_EQ(ticksToRestart(), RunController::kSettleSecs);
    EXPECT_EQ(asked.mid(4), QStringList({QStringLiteral("data.txt"), QStringLiteral("book.txt")}));
}

TEST_F(RunTest, TheFtpWatchAgainstARealServer)
{
    FtpTestServer server;
    START_SERVER(server);
    server.putFile(QStringLiteral("data.txt"), "a\r\n");
    const QString served = server.root() + QStringLiteral("/data.txt");
    setModified(served, QDateTime(QDate(2024, 2, 29), QTime(23, 5, 9), Qt::UTC));
    FrmFTP frm;
    run.setFtpFileState([&](const QString& s, const QString& u, const QString& p, const QString& f) {
        return frm.FTPFileTimeAndSize(s, u, p, f);
    });
    gstrFTPServer = server.host();
    gstrFTPUsername = QString::fromLatin1(FtpTestServer::kUser);
    gstrFTPPassword = QString::fromLatin1(FtpTestServer::kPassword);
    EXPECT_FALSE(run.blnFTPDataFileChanged(QStringLiteral("data.txt"))); // remembers
    // A fetch asks for the time of what it takes.
    EXPECT_TRUE(frm.GetFile(server.host(), gstrFTPUsername, gstrFTPPassword, QStringLiteral("\\"), home.path(),
                            QStringLiteral("data.txt")));
    EXPECT_EQ(frm.report(QStringLiteral("data.txt")),
              (FetchReport{FetchReport::Outcome::Took, ftp::FileState(QStringLiteral("2024/02/29 23:05:09"), 3),
                           ftp::FileState(QStringLiteral("2024/02/29 23:05:09"), 3)}));
    EXPECT_EQ(frm.report(QStringLiteral("other.txt")), std::nullopt);
    setModified(served, QDateTime(QDate(2024, 3, 1), QTime(6, 0, 0), Qt::UTC));
    EXPECT_FALSE(run.blnFTPDataFileChanged(QStringLiteral("data.txt"))); // changed: settling
    time.at = time.at.addSecs(RunController::kSettleSecs);
    EXPECT_TRUE(run.blnFTPDataFileChanged(QStringLiteral("data.txt"))); // settled

    server.stop();
    EXPECT_FALSE(run.blnFTPDataFileChanged(QStringLiteral("data.txt")));
    // A fetch that fails leaves the file not fetched.
    EXPECT_FALSE(frm.GetFile(server.host(), gstrFTPUsername, gstrFTPPassword, QStringLiteral("\\"), home.path(),
                             QStringLiteral("data.txt")));
    EXPECT_EQ(frm.report(QStringLiteral("data.txt")).value_or(FetchReport()).outcome, FetchReport::Outcome::Failed);
    for (const QString& line : logTexts())
        EXPECT_FALSE(line.contains(gstrFTPPassword));
}

TEST_F(RunTest, APairOfFtpExportsIsFetchedWithOneRestartOnceBothHaveSettled)
{
    // At a look one export is new and whole, or a refused one due again;
    // the other is new and still being written (it grows at each ask for
    // its time, one every kSettleSecs), or its writing begins just after
    // the look, which saw the board's copy, or only at the restart's fetch.
    // The restart waits for it, a minute at most, and takes only what has
    // settled: a file still being written keeps the board's copy until it
    // has settled in turn.
    const QString data = QStringLiteral("data.txt"), book = QStringLiteral("book.txt");
    enum Begins { BeforeLook, AfterLook, AtFetch };
    struct Case {
        const char* what;
        bool dataRefused;     // the data export's fetch failed before: the look retries it
        QString written;      // the export still being written
        int grows;            // asks at which it has grown
        Begins begins;        // when its writing begins
        int restartAfter;     // ticks after the look
        int transfers;        // at that restart
        bool writtenTaken;    // by that restart
        int thenRestartAfter; // ticks to the restart that takes it; 0: none comes
    } cases[] = {
        {"the booking file settles after the data file", false, book, 4, BeforeLook, 4 * RunController::kSettleSecs, 2,
         true, 0},
        {"a booking file that never settles", false, book, 1000, BeforeLook,
         RunController::kSettleSecs + RunController::kMaxSettleWaitSecs, 1, false, 0},
        {"a retry of a refused data export", true, book, 3, BeforeLook, 3 * RunController::kSettleSecs, 2, true, 0},
        {"a booking file written from just after the look", false, book, 3, AfterLook, 4 * RunController::kSettleSecs,
         2, true, 0},
        {"a data file written from just after the look", false, data, 3, AfterLook, 4 * RunController::kSettleSecs, 2,
         true, 0},
        {"a booking file rewritten between the ask and the fetch", false, book, 2, AtFetch, RunController::kSettleSecs,
         1, false, 3 * RunController::kSettleSecs},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeFtp ftp;
        ASSERT_TRUE(startFtpPairRun(ftp, c.begins == AtFetch));
        const QString whole = c.written == data ? book : data;
        ftp.serverTimes[whole] = QStringLiteral("2024/03/07 09:05:00");
        if (c.dataRefused) {
            ftp.refusedFiles = {data};
            ASSERT_EQ(restartsOver(1, 1), QList<int>({1}));
        }
        const auto beginWriting = [&] {
            ftp.serverTimes[c.written] = QStringLiteral("2024/03/07 09:06:00");
            ftp.serverSizes[c.written] = 100;
            ftp.growing[c.written] = c.grows;
        };
        if (c.begins == BeforeLook)
            beginWriting();
        else if (c.begins == AtFetch)
            ftp.beforeFetch = [&](const QString& file) {
                if (file == c.written && ftp.serverTimes[file] != QLatin1String("2024/03/07 09:06:00"))
                    beginWriting();
            };
        time.at = time.at.addSecs(60 - time.at.time().second());
        ASSERT_TRUE(clock.fire()); // the look
        if (c.begins == AfterLook)
            beginWriting();
        const int fetches = ftp.fetches;
        EXPECT_EQ(ticksToRestart(100), c.restartAfter);
        ASSERT_TRUE(start.fire() && (!load.active || load.fire()));
        EXPECT_EQ(ftp.fetches, fetches + c.transfers);
        EXPECT_EQ(ftp.onBoard(whole), !c.dataRefused);
        EXPECT_EQ(ftp.onBoard(c.written), c.writtenTaken);
        if (!c.writtenTaken) {
            EXPECT_EQ(ticksToRestart(100), c.thenRestartAfter);
            if (start.active) {
                ASSERT_TRUE(start.fire() && (!load.active || load.fire()));
            }
            EXPECT_EQ(ftp.onBoard(c.written), c.thenRestartAfter > 0);
            EXPECT_TRUE(ftp.onBoard(whole));
        }
        run.mnuStop_Click();
    }
}

TEST_F(RunTest, AnFtpSettleWaitMeetsAStopAStartOrACommand)
{
    // A look has seen a new export, which it asks for again once it has had
    // time to settle; meanwhile the run is stopped, started, or told to
    // restart.
    const QString data = QStringLiteral("data.txt");
    const auto command = [&](const QByteArray& value) {
        writeAll(gstrConfirmFile, value);
        ASSERT_TRUE(tick());
        ASSERT_TRUE(start.fire() && load.fire());
    };
    struct Case {
        const char* what;
        std::function<void()> meanwhile;
        int restartAfter; // ticks after `meanwhile` to the restart for the export; 0: none comes
    } cases[] = {
        // Nothing is asked while stopped; the first tick after asks.
        {"a Stop, then Run Process",
         [&] {
             run.mnuStop_Click();
             time.at = time.at.addSecs(30);
             run.mnuRun_Click();
             ASSERT_TRUE(load.fire());
         },
         1},
        // A start fetches the export and watches afresh.
        {"a Stop, then Start Program",
         [&] {
             run.mnuStop_Click();
             startRun();
         },
         0},
        {"a command to restart", [&] { command("2\r\n"); }, 0},
        // Nothing loaded, nothing fetched: the wait goes on.
        {"refused pushed settings",
         [&] {
             writeAll(home.filePath(QStringLiteral("UpdatedSettings.ini")), "[TEMPLATES]\r\n");
             command("1\r\n");
         },
         RunController::kSettleSecs - 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeFtp ftp;
        ASSERT_TRUE(startFtpRun(ftp));
        ftp.serverTimes[data] = QStringLiteral("2024/03/07 09:05:00");
        time.at = time.at.addSecs(60 - time.at.time().second());
        ASSERT_TRUE(clock.fire()); // the look
        ASSERT_TRUE(run.ftpSettling());
        const int fetches = ftp.fetches;
        c.meanwhile();
        EXPECT_EQ(ticksToRestart(RunController::kSettleSecs + 2), c.restartAfter);
        if (start.active) {
            ASSERT_TRUE(start.fire() && load.fire());
        }
        EXPECT_EQ(ftp.fetches, fetches + 1);
        EXPECT_TRUE(ftp.onBoard(data));
        EXPECT_EQ(readAll(gstrConfirmFile), QByteArray("0\r\n"));
        run.mnuStop_Click();
    }
}

TEST_F(RunTest, ABoardWithoutRecordsWaitsForItsFtpExportToSettle)
{
    // A board with no records yet starts while its export is being written
    // (it grows at three more asks). It shows nothing and says once that it
    // waits; the clock asks again every kSettleSecs, reads the command file,
    // and restarts the run once the export has settled, whose fetch makes
    // the records; a fetch that fails then keeps it waiting.
    const QString data = QStringLiteral("data.txt");
    const QString waiting = QStringLiteral("Waiting for data.txt to stop changing on FTP Server.");
    enum Meanwhile { Nothing, RewrittenAtTheFetch, RefusedOnce, Command2, Stop };
    struct Case {
        const char* what;
        Meanwhile meanwhile;
        int restartAfter; // ticks (after the start, or the command) to the restart that makes the records
    } cases[] = {
        {"an export being written", Nothing, 4 * RunController::kSettleSecs},
        {"rewritten between the ask and the fetch", RewrittenAtTheFetch, 5 * RunController::kSettleSecs},
        // Fetched again at the next look, at 10:01:00.
        {"a fetch refused once it has settled", RefusedOnce, 50},
        // The command's start watches afresh.
        {"a command to restart while it waits", Command2, 4 * RunController::kSettleSecs},
        {"a Stop while it waits", Stop, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        useFtpSource();
        QFile::remove(gstrWorkingDataFile);
        FakeFtp ftp;
        ftp.install(run, window);
        // The fetch of the data file makes the records.
        window.onLoad = [&, fetchAll = window.onLoad] {
            StatusLog::instance().clear(); // as the window's load does
            fetchAll();
            if (ftp.onBoard(data))
                writeAll(gstrWorkingDataFile, "a\r\n");
        };
        ftp.serverTimes[data] = QStringLiteral("2024/03/07 09:00:00");
        ftp.serverSizes[data] = 100;
        ftp.growing[data] = 3;
        time.at = QDateTime(QDate(2024, 3, 7), QTime(10, 0, 10));
        run.mnuRestart_Click();
        ASSERT_EQ(run.state(), RunController::State::Waiting);
        EXPECT_EQ(logTexts().filter(QStringLiteral("Waiting")), QStringList({waiting}));
        EXPECT_FALSE(start.active || load.active);
        EXPECT_TRUE(clock.active && keys.active);
        const int asks = ftp.asks;
        if (c.meanwhile == RewrittenAtTheFetch)
            ftp.beforeFetch = [&ftp](const QString& file) {
                ftp.grow(file);
                ftp.beforeFetch = nullptr;
            };
        if (c.meanwhile == RefusedOnce)
            ftp.failures = 1;
        if (c.meanwhile == Command2) {
            ASSERT_TRUE(tick() && tick());
            writeAll(gstrConfirmFile, "2\r\n");
            ASSERT_TRUE(tick());
            ASSERT_EQ(run.state(), RunController::State::Waiting);
            ftp.growing[data] = 3;
        }
        if (c.meanwhile == Stop) {
            ASSERT_TRUE(tick());
            run.mnuStop_Click();
            EXPECT_TRUE(allTimersOff());
            EXPECT_EQ(run.state(), RunController::State::Idle);
            continue;
        }
        // Ticks to the restart whose load made the records.
        int restartAfter = 0;
        for (int n = 1; n <= 100 && !restartAfter; ++n) {
            ASSERT_TRUE(tick()) << n;
            if (start.active) {
                ASSERT_TRUE(start.fire());
                restartAfter = n;
            } else {
                ASSERT_EQ(run.state(), RunController::State::Waiting) << n;
            }
        }
        EXPECT_EQ(restartAfter, c.restartAfter);
        EXPECT_TRUE(ftp.onBoard(data));
        ASSERT_TRUE(load.fire());
        EXPECT_EQ(run.state(), RunController::State::Dwelling);
        EXPECT_EQ(pages.pagesFrom.size(), 1);
        pages.pagesFrom.clear();
        // Asked every kSettleSecs until it had settled, and no more.
        if (c.meanwhile == Nothing) {
            EXPECT_EQ(ftp.asks - asks, 4);
        }
        run.mnuStop_Click();
        QFile::remove(gstrConfirmFile);
    }
}

TEST_F(RunTest, TheFtpSettingsAreNotCorrectOnlyWhenAFileLacksOne)
{
    // Without an FTP booking file name there is no booking file: nothing to
    // ask and nothing amiss. A missing server is amiss for each named file.
    const QString notCorrect = QStringLiteral("The FTP Settings is not correct.");
    struct Case {
        const char* what;
        const char* booking;
        const char* server;
        int notCorrectLines;
        QStringList asked;
    } cases[] = {
        {"no booking file", "", "host", 0, {QStringLiteral("data.txt")}},
        {"no booking file and no server", "", "", 1, {}},
        {"a booking file and no server", "book.txt", "", 2, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        useFtpSource();
        gstrFTPBookingFilename = QString::fromLatin1(c.booking);
        gstrFTPServer = QString::fromLatin1(c.server);
        QStringList asked;
        run.setFtpFileState([&](const QString&, const QString&, const QString&, const QString& file) {
            asked << file;
            return RunController::ServerFile(QStringLiteral("2024/03/07 09:00:00"));
        });
        startRun();
        ASSERT_TRUE(tick());
        StatusLog::instance().clear();
        ASSERT_TRUE(nextMinute());
        EXPECT_EQ(logTexts().count(notCorrect), c.notCorrectLines);
        EXPECT_EQ(asked, c.asked);
        run.mnuStop_Click();
    }
}

TEST_F(RunTest, AnExportWrittenOnARealServerIsFetchedOnlyOnceWhole)
{
    // The exporter rewrites an export in place, a line every 3 seconds, and
    // the watch's look at 10:03:00 falls in the middle, or just before it
    // begins. A Unix server serves the file as it stands; a Windows server
    // refuses its download while the exporter holds it (here: while
    // "<name>.lock" lies beside it).
    const QString data = QStringLiteral("data.txt"), book = QStringLiteral("book.txt");
    const QByteArray old = "old 1\r\nold 2\r\n", otherNew = "new a\r\nnew b\r\nnew c\r\n";
    QList<QByteArray> lines;
    for (int i = 1; i <= 7; ++i)
        lines << "new " + QByteArray::number(i) + "\r\n";
    const QByteArray whole = lines.join();
    struct Case {
        const char* what;
        QString written;     // the export written line by line
        bool locks;          // refused while it is written
        bool missingAtStart; // not on the server when the run starts: the start's fetch finds no file
        QString other;       // the other file of a pair, rewritten whole just before the look; "": no pair
        int firstLine;       // seconds after 10:02:50
    } cases[] = {
        {"served while written", data, false, false, {}, 0},
        {"refused while written", data, true, false, {}, 0},
        {"missing when the run started", data, false, true, {}, 0},
        {"the data file written from just after the look", data, false, false, book, 12},
        {"the booking file written from just after the look", book, false, false, data, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FtpTestServer server(QStringLiteral("retrlock"));
        START_SERVER(server);
        if (c.other.isEmpty())
            useFtpSource();
        else
            useFtpPair();
        FrmFTP frm;
        useTestServer(server, frm);
        QList<QByteArray> taken; // the written file's local copy after each load (and the other's)
        window.onLoad = [&] {
            window.nameSources();
            retrieveFTPDataFile(frm);
            if (!c.other.isEmpty())
                retrieveFTPBookingFile(frm);
            QByteArray copies = readAll(gstrDataFolder + QLatin1Char('/') + c.written);
            if (!c.other.isEmpty())
                copies += "|" + readAll(gstrDataFolder + QLatin1Char('/') + c.other);
            taken << copies;
        };
        for (const QString& f : {data, book})
            QFile::remove(gstrDataFolder + QLatin1Char('/') + f);
        if (!c.missingAtStart)
            server.putFile(c.written, old);
        if (!c.other.isEmpty())
            server.putFile(c.other, old);
        // The board took the server's copies before (a fetch outside the
        // run): its start has nothing to fetch.
        gblnStop = false;
        retrieveFTPDataFile(frm);
        if (!c.other.isEmpty())
            retrieveFTPBookingFile(frm);
        time.at = QDateTime(QDate(2024, 3, 7), QTime(10, 0, 10));
        startRun();
        ASSERT_TRUE(tick() && nextMinute()); // remembers
        const QString lock = server.root() + QLatin1Char('/') + c.written + QStringLiteral(".lock");
        time.at = QDateTime(QDate(2024, 3, 7), QTime(10, 2, 50));
        if (c.locks)
            server.putFile(c.written + QStringLiteral(".lock"), "");
        QDateTime lastLine, restartAt;
        for (int second = 0; second < 100; ++second) {
            const int line = second - c.firstLine;
            if (line == 0)
                server.putFile(c.written, "");
            if (line >= 0 && line % 3 == 0 && line / 3 < lines.size()) {
                server.putFile(c.written, lines.mid(0, line / 3 + 1).join());
                if (line / 3 + 1 == lines.size()) {
                    lastLine = time.at;
                    QFile::remove(lock);
                }
            }
            if (second == 5 && !c.other.isEmpty())
                server.putFile(c.other, otherNew);
            ASSERT_TRUE(tick());
            if (start.active) {
                EXPECT_FALSE(restartAt.isValid()) << "a second restart";
                restartAt = time.at;
                ASSERT_TRUE(start.fire() && load.fire());
            }
        }
        const QByteArray before = c.missingAtStart ? QByteArray() : old;
        if (c.other.isEmpty())
            EXPECT_EQ(taken, QList<QByteArray>({before, whole}));
        else
            EXPECT_EQ(taken, QList<QByteArray>({before + "|" + old, whole + "|" + otherNew}));
        ASSERT_TRUE(restartAt.isValid());
        EXPECT_LE(lastLine.secsTo(restartAt), 60);
        run.mnuStop_Click();
    }
}

TEST_F(RunTest, AnExportThatChangesAtEveryDownloadIsNeverTaken)
{
    // The test server's "writing" mode adds a line to a file right after
    // each download of it, as an exporter still writing it. The board has a
    // local copy, but knows of no copy on the server. Its start downloads
    // nothing; each restart downloads only a copy that stayed the same for
    // kSettleSecs, meets the change and takes nothing, so the board keeps
    // its copy and its pages go on.
    FtpTestServer server(QStringLiteral("writing"));
    START_SERVER(server);
    useFtpSource();
    FrmFTP frm;
    useTestServer(server, frm);
    window.onLoad = [&] {
        window.nameSources();
        retrieveFTPDataFile(frm);
    };
    const QString served = server.root() + QStringLiteral("/data.txt");
    const QByteArray exported = "new 1\r\nnew 2\r\n";
    server.putFile(QStringLiteral("data.txt"), exported);
    writeAll(gstrDataFile, "old\r\n");
    const auto downloads = [&] { return server.commands().filter(QStringLiteral("RETR")).size(); };

    time.at = QDateTime(QDate(2024, 3, 7), QTime(10, 0, 10));
    startRun();
    EXPECT_EQ(downloads(), 0);
    EXPECT_EQ(readAll(served), exported);
    int restarts = 0;
    for (int n = 0; n < 180; ++n) {
        ASSERT_TRUE(tick());
        if (start.active) {
            ++restarts;
            ASSERT_TRUE(start.fire());
            ASSERT_EQ(run.state(), RunController::State::Dwelling); // the pages go on
            // Each download added a line: the next one waits for the look
            // that sees that copy, and for it to stay the same.
            ASSERT_EQ(downloads(), restarts);
        }
    }
    EXPECT_GE(restarts, 3);
    EXPECT_EQ(readAll(gstrDataFile), QByteArray("old\r\n"));
    EXPECT_EQ(pages.resets, 1);
    EXPECT_TRUE(logTexts().contains(QStringLiteral("!!!Cause: data.txt changed on the server while it was fetched.")));
    run.mnuStop_Click();
}

TEST_F(RunTest, TheWatchAsksOnlyForTheFilesTheLoadFetches)
{
    // The load fetches by the settings' names, as the program's load does,
    // and the watch asks for the same files: a name with folders in that
    // folder, and nothing for a name that names no file, whose namesake on
    // the server is left to change as it will. A change of a fetched file
    // restarts the run once, and is taken; so once only when the restart's
    // load fetches nothing (settings that name no data source now).
    struct Case {
        const char* what;
        const char* dataName;
        const char* bookName;
        const char* changed;  // on the server, half a minute before a look
        int restarts;         // over the three minutes after
        QByteArray data;      // the local data file then
        bool fetching = true; // the loads after the start fetch
    } cases[] = {
        {"a booking name that names no file", "data.txt", "book.txt/", "book.txt", 0, "old\r\n"},
        {"a data name that names no file", "data.txt\\", "", "data.txt", 0, "local\r\n"},
        {"a data name in a folder", "Exports\\data.txt", "", "Exports/data.txt", 1, "new\r\n"},
        {"a data name after a separator", "/data.txt", "book.txt", "data.txt", 1, "new\r\n"},
        {"a restart whose load fetches nothing", "data.txt", "", "data.txt", 1, "old\r\n", false},
        {"two names that end in one file name", "Exports\\data.txt", "Bookings\\data.txt", "Exports/data.txt", 1,
         "new\r\n"},
        {"two names in two letter cases", "data.txt", "DATA.TXT", "data.txt", 1, "new\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FtpTestServer server;
        START_SERVER(server);
        useFtpSource();
        gstrFTPFilename = QString::fromLatin1(c.dataName);
        gstrFTPBookingFilename = QString::fromLatin1(c.bookName);
        FrmFTP frm;
        useTestServer(server, frm);
        bool fetching = true;
        window.onLoad = [&] {
            window.nameSources();
            if (!fetching) {
                frm.forgetReports(); // as the program's load does first
                return;
            }
            gstrDataFile = settingsload::ftpLocalPath(gstrDataFolder, gstrFTPFilename);
            gstrBookingDataFile = settingsload::ftpLocalPath(gstrDataFolder, gstrFTPBookingFilename);
            if (!gstrDataFile.isEmpty())
                retrieveFTPDataFile(frm);
            if (!gstrBookingDataFile.isEmpty())
                retrieveFTPBookingFile(frm);
        };
        for (const char* f : {"data.txt", "Exports/data.txt", "book.txt"})
            server.putFile(QString::fromLatin1(f), "old\r\n");
        for (const char* f : {"Bookings/data.txt", "DATA.TXT"})
            server.putFile(QString::fromLatin1(f), "bookings\r\n");
        writeAll(gstrDataFolder + QStringLiteral("/data.txt"), "local\r\n");
        // The board took what the load fetches before (a fetch outside the run).
        gblnStop = false;
        window.onLoad();
        time.at = QDateTime(QDate(2024, 3, 7), QTime(10, 0, 10));
        StatusLog::instance().clear();
        startRun();
        ASSERT_TRUE(tick() && nextMinute());
        fetching = c.fetching;
        const QString changed = server.root() + QLatin1Char('/') + QString::fromLatin1(c.changed);
        writeAll(changed, "new\r\n");
        setModified(changed, QDateTime(QDate(2024, 3, 7), QTime(9, 0, 0), Qt::UTC));
        time.at = time.at.addSecs(30);
        int restarts = 0;
        for (int n = 0; n < 180; ++n) {
            ASSERT_TRUE(tick());
            if (start.active) {
                ++restarts;
                ASSERT_TRUE(start.fire() && (!load.active || load.fire()));
            }
        }
        EXPECT_EQ(restarts, c.restarts);
        EXPECT_EQ(readAll(gstrDataFolder + QStringLiteral("/data.txt")), c.data);
        if (c.restarts == 0) {
            EXPECT_TRUE(server.commands().filter(QString::fromLatin1(c.changed)).isEmpty());
        }
        // A name that names no file is nobody's business after the load
        // that said so: no line of the run names it.
        for (const char* name : {c.dataName, c.bookName}) {
            if (*name && paths::namedFile(QString::fromLatin1(name)).isEmpty()) {
                EXPECT_EQ(logTexts().filter(QString::fromLatin1(name)), QStringList());
            }
        }
        run.mnuStop_Click();
    }
}

TEST(ConvertWait, CentresAndIsMadeOnlyWhenShown)
{
    EXPECT_EQ(ConvertWaitWindow::centredTopLeft({0, 0, 1920, 1080}, {314, 120}), QPoint(803, 480));
    EXPECT_EQ(ConvertWaitWindow::centredTopLeft({1920, 0, 1080, 1920}, {314, 120}), QPoint(2303, 900));

    ConvertWaitWindow wait;
    EXPECT_FALSE(wait.loaded());
    wait.show();
    ASSERT_TRUE(wait.loaded());
    wait.close();
    EXPECT_FALSE(wait.loaded());
}
