// Two real programs: the update run of the administration side sends a board
// a template and settings over FTP, and the board - the program running in
// Player mode in the FTP account's folder - adopts them; then Restart Orvane
// restarts it once.
#include "remote/updaterun.h"
#include "tests/boardfolder.h"
#include "tests/ftp/ftptestserver.h"
#include "tests/remote/fakeview.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

using namespace remote;
using boardfolder::record;
using boardfolder::recordsOnlyTemplate;
using testsupport::readAll;
using testsupport::waitFor;
using testsupport::writeAll;

TEST(BoardUpdate, AdminUpdateIsAdoptedAndRestartRestartsOnce)
{
    FtpTestServer server;
    START_SERVER(server);
    // The board's program folder is the account's folder "Orvane".
    const QString home = server.root() + "/Orvane";
    auto at = [&](const char* name) { return home + '/' + QString::fromLatin1(name); };
    for (const char* f : {"Data", "Media", "player/Media", "player/Settings"})
        QDir().mkpath(at(f));
    writeAll(at("OrvaneSettings.ini"), boardfolder::settings(home, 1, {QStringLiteral("Template with 3 records")}));
    writeAll(at("source.orv"), record("Opening Dinner", "Hall A") + record("Board Meeting", "Room 2"));
    writeAll(at("Data/Template with 3 records.ORVT"), recordsOnlyTemplate());

    QProcess board;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ORVANE_HOME", home);
    env.insert("ORVANE_PLAYER_FOLDER", at("player"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    board.setProcessEnvironment(env);
    board.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    board.start(QStringLiteral(ORV_APP_BINARY), {});
    ASSERT_TRUE(board.waitForStarted(10000));
    auto page = [&] { return QCryptographicHash::hash(readAll(at("Media/Page.png")), QCryptographicHash::Sha1); };
    ASSERT_TRUE(waitFor([&] { return QFileInfo::exists(at("Media/Page.png")); }, 15000));
    QSet<QByteArray> before;
    waitFor(
        [&] {
            before.insert(page());
            return false;
        },
        2500);

    // The administrator's side: a new template and settings with another dwell.
    QTemporaryDir admin;
    RunSetup setup;
    setup.mode = 1;
    setup.slots[3] = admin.filePath("blue.ORVT");
    writeAll(setup.slots[3], recordsOnlyTemplate("&HFF0000"));
    setup.settingsFile = admin.filePath("OrvaneSettings.ini");
    writeAll(setup.settingsFile, boardfolder::settings(home, 2, {QStringLiteral("Template with 3 records")}));
    setup.confirmFile = admin.filePath("Remote/CommConfirm.txt");
    setup.mediaFolder = admin.filePath("Media");
    std::atomic<bool> cancel{false};
    BoardFtp ftp(cancel, server.port(), {FtpTestServer::kUser, FtpTestServer::kPassword});
    FakeView view;
    view.boards = {"127.0.0.1"};
    UpdateRun run(ftp, view, cancel);
    ASSERT_EQ(run.run(setup), RunEnd::Done);
    EXPECT_TRUE(view.icons[0]) << view.lines.join('\n').toStdString();

    EXPECT_TRUE(waitFor([&] { return readAll(at("OrvaneSettings.ini")).contains("Dwell Time=2"); }, 10000));
    EXPECT_TRUE(waitFor([&] { return readAll(at("OrvaneConfirm.txt")) == "0\r\n"; }, 5000));
    EXPECT_TRUE(waitFor([&] { return !before.contains(page()); }, 10000));

    // Restart Orvane: the command is taken once and the board pages on.
    ASSERT_EQ(run.restart("127.0.0.1", setup.confirmFile), TransferStatus::Completed);
    EXPECT_TRUE(waitFor([&] { return readAll(at("OrvaneConfirm.txt")) == "0\r\n"; }, 5000));
    const QDateTime restarted = QDateTime::currentDateTime();
    EXPECT_TRUE(waitFor([&] { return QFileInfo(at("Media/Page.png")).lastModified() > restarted; }, 10000));
    EXPECT_EQ(readAll(at("OrvaneConfirm.txt")), QByteArray("0\r\n"));

    board.terminate();
    ASSERT_TRUE(board.waitForFinished(10000));
    EXPECT_EQ(board.exitCode(), 0);
}
