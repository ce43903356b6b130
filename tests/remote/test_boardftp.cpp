// The upload layer and the update run against the real FTP test server on
// 127.0.0.1, and the time-left text.
#include "platform/atomicfile.h"
#include "remote/boardftp.h"
#include "remote/updaterun.h"
#include "tests/ftp/ftptestserver.h"
#include "tests/remote/fakeview.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

#include <sys/stat.h>

using namespace remote;
using testsupport::readAll;
using testsupport::writeAll;

namespace {

class Display final : public TransferDisplay {
public:
    void started(qint64 length) override
    {
        if (onStart)
            onStart(length);
    }
    std::function<void(qint64)> onStart;
    void progress(qint64 bytes, int, const QString&) override { last = bytes; }
    void cleared() override { ++clears; }
    qint64 last = 0;
    int clears = 0;
};

class Upload : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    // The upload layer for the test server, with short time-outs.
    BoardFtp board(const FtpTestServer& server, const QString& password = FtpTestServer::kPassword,
                   ftp::Timeouts timeouts = {3000, 1500})
    {
        BoardFtp ftp(cancel, server.port(), {FtpTestServer::kUser, password}, timeouts);
        ftp.setDisplay(&display);
        return ftp;
    }
    QString local(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        writeAll(path, bytes);
        return path;
    }
    static QByteArray big() { return QByteArray(400 * 1024, 'x'); }
    // A board holding an old template for three records and its old
    // background, and an update of both: the new background's bytes are
    // `picture`.
    RunSetup templateAndBackground(FtpTestServer& server, const QByteArray& picture)
    {
        server.putFile("Orvane/Data/Template with 3 records.ORVT", "old template");
        server.putFile("Orvane/Media/back.jpg", "old picture");
        RunSetup setup;
        setup.slots[3] = local("three.ORVT", "[BACKGROUND]\r\nImage File=back.jpg\r\n");
        setup.confirmFile = dir.filePath("Remote/CommConfirm.txt");
        setup.mediaFolder = dir.filePath("Media");
        QDir().mkpath(setup.mediaFolder);
        writeAll(setup.mediaFolder + "/back.jpg", picture);
        return setup;
    }
    // The file each MDTM line that sets a time names, as the server resolves
    // it: the CWD lines of the log replayed, every login starting at the
    // account's root "/".
    static QStringList mdtmTargets(const QStringList& commands)
    {
        QString cwd = "/";
        QStringList targets;
        for (const QString& line : commands) {
            const QString verb = line.section(' ', 0, 0).toUpper();
            if (verb == "USER")
                cwd = "/";
            else if (verb == "CWD")
                cwd = QDir::cleanPath(QDir(cwd).filePath(line.section(' ', 1)));
            else if (verb == "MDTM" && QRegularExpression("^\\d{14}$").match(line.section(' ', 1, 1)).hasMatch())
                targets << QDir::cleanPath(QDir(cwd).filePath(line.section(' ', 2)));
        }
        return targets;
    }

    // Sets the cancel flag once the server has been asked for its first
    // rename; `poll` keeps watching while it lives.
    void cancelAtTheFirstRename(const FtpTestServer& server, QTimer& poll)
    {
        cancel = false;
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [this, &server] {
            if (!server.commands().filter(QRegularExpression("^RNTO ")).isEmpty())
                cancel = true;
        });
        poll.start();
    }

    // The upload temporaries left below the server's root.
    static QStringList temporaries(const FtpTestServer& server)
    {
        QStringList found;
        QDirIterator it(server.root(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            if (it.next().contains(".orvtmp."))
                found << it.filePath();
        return found;
    }

    QTemporaryDir dir;
    std::atomic<bool> cancel{false};
    Display display;
};

} // namespace

TEST(TimeLeft, Formats)
{
    const struct {
        qint64 seconds;
        const char* text;
    } cases[] = {{3725, "01:02:05"}, {59, "00:00:59"}, {0, "00:00:00"}, {-61, "00:01:01"}, {360000, "100:00:00"}};
    for (const auto& c : cases)
        EXPECT_EQ(FormatTimeLeft(c.seconds), QString(c.text)) << c.seconds;
    TransferMeter meter(4000);
    EXPECT_TRUE(meter.timeLeft().isEmpty());
    meter.update(1000, 1000); // 1 kB/s measured, averaged with 0: 0.5 kB/s
    EXPECT_EQ(meter.percent(), 25);
    EXPECT_EQ(meter.timeLeft(), QString("00:00:06"));
}

TEST_F(Upload, SendsTheFileThenTheMdtmLine)
{
    FtpTestServer server;
    START_SERVER(server);
    server.putFile("Orvane/Data/.keep", "");
    BoardFtp ftp = board(server);
    const QString path = local("t.ORVT", big());
    EXPECT_TRUE(ftp.probe("127.0.0.1"));
    ASSERT_EQ(ftp.put("127.0.0.1", path, "Orvane/Data/Template with 2 records.ORVT"), TransferStatus::Completed);
    EXPECT_EQ(readAll(server.root() + "/Orvane/Data/Template with 2 records.ORVT"), big());
    const QString stamp = QFileInfo(path).lastModified().toString("yyyyMMddHHmmss");
    EXPECT_TRUE(server.commands().contains("MDTM " + stamp + " Orvane/Data/Template with 2 records.ORVT"));
    // The upload changed into the file's folder; the MDTM line still means
    // the uploaded file.
    EXPECT_EQ(mdtmTargets(server.commands()).join('|').toStdString(), "/Orvane/Data/Template with 2 records.ORVT")
        << server.commands().join('|').toStdString();
    EXPECT_EQ(display.last, big().size());
    EXPECT_EQ(display.clears, 1);
    EXPECT_TRUE(server.commands().filter(FtpTestServer::kPassword).isEmpty());
    // It went to a temporary name in the same folder, renamed over the real one.
    const QStringList renames = server.commands().filter(QRegularExpression("^RN(FR|TO) "));
    ASSERT_EQ(renames.size(), 2);
    EXPECT_TRUE(QRegularExpression("^RNFR Orvane/Data/\\.Template with 2 records\\.ORVT\\.orvtmp\\.[A-Za-z0-9]{6}$")
                    .match(renames[0])
                    .hasMatch())
        << renames[0].toStdString();
    EXPECT_EQ(renames[1], QString("RNTO Orvane/Data/Template with 2 records.ORVT"));
    EXPECT_TRUE(temporaries(server).isEmpty());
}

TEST_F(Upload, FailuresAreNotCompleted)
{
    FtpTestServer server;
    START_SERVER(server);
    BoardFtp ftp = board(server);
    const struct {
        const char* what;
        QString local;
        QString address;
    } cases[] = {
        {"empty file", local("empty.ini", ""), "127.0.0.1"},
        {"missing file", dir.filePath("none"), "127.0.0.1"},
        {"unusable address", local("a", "a"), "127.0.0.1/x"},
        {"missing remote folder", local("b", "b"), "127.0.0.1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ftp.put(c.address, c.local, QString("Missing/") + c.what), TransferStatus::Ready) << c.what;
    EXPECT_FALSE(QFileInfo::exists(server.root() + "/Missing"));
    EXPECT_TRUE(server.commands().filter("empty").isEmpty());

    // A file open on the board: reply 450, or 550 with the sharing-violation
    // text; both count as in use, and the board keeps its file.
    for (const char* name : {"inuse.jpg", "busy.jpg"}) {
        server.putFile(name, "old");
        EXPECT_EQ(ftp.put("127.0.0.1", local("m", "m"), name), TransferStatus::FileInUsed) << name;
        EXPECT_EQ(readAll(server.root() + '/' + name), QByteArray("old"));
    }
    EXPECT_TRUE(temporaries(server).isEmpty());

    BoardFtp refused = board(server, "wrong");
    EXPECT_FALSE(refused.probe("127.0.0.1"));
    EXPECT_EQ(refused.put("127.0.0.1", local("c", "c"), "c"), TransferStatus::Ready);
}

TEST_F(Upload, BrokenUploadsKeepTheBoardsFile)
{
    const QString payload = local("payload", big());
    // A cut data connection, a stall, a cancel while the board stalls (it
    // ends at once, and the temporary is deleted on a short new session),
    // and a server that does not rename over an existing file (and one that
    // drops the connection right after it moved the old file aside: the
    // rename still follows; and one that then will not rename the new file
    // in, nor the old one back: it waits under its aside name, which the
    // board's start-up puts back).
    const struct {
        const char* mode;
        int stallMs;
        bool cancel;
        bool completed;
        bool aside;
        int withinMs;
    } cases[] = {
        {"cut", 1500, false, false, false, 10000},          {"stall", 1500, false, false, false, 10000},
        {"stall", 30000, true, false, false, 5000},         {"norename", 1500, false, true, false, 10000},
        {"norename-drop", 1500, false, true, false, 10000}, {"norename-lost", 1500, false, false, true, 10000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + (c.cancel ? " cancelled" : ""));
        FtpTestServer server(c.mode);
        START_SERVER(server);
        server.putFile("Orvane/Media/back.jpg", "old");
        BoardFtp ftp = board(server, FtpTestServer::kPassword, {3000, c.stallMs});
        cancel = false;
        if (c.cancel)
            QTimer::singleShot(300, [this] { cancel = true; });
        QElapsedTimer t;
        t.start();
        const TransferStatus status = ftp.put("127.0.0.1", payload, "Orvane/Media/back.jpg");
        EXPECT_LT(t.elapsed(), c.withinMs);
        if (c.completed)
            EXPECT_EQ(status, TransferStatus::Completed);
        else
            EXPECT_EQ(status == TransferStatus::Abort, c.cancel) << int(status);
        EXPECT_TRUE(temporaries(server).isEmpty()) << temporaries(server).join(' ').toStdString();
        const QString media = server.root() + "/Orvane/Media";
        const QStringList asides = QDir(media).entryList({".back.jpg.orvold.*"}, QDir::Files | QDir::Hidden);
        ASSERT_EQ(asides.size(), c.aside ? 1 : 0);
        EXPECT_EQ(QFileInfo::exists(media + "/back.jpg"), !c.aside);
        if (c.aside) {
            EXPECT_TRUE(ftp.lastCause().contains(asides[0])) << ftp.lastCause().toStdString();
        }
        EXPECT_EQ(atomicfile::removeStaleTemporaries(media), c.aside ? 1 : 0);
        EXPECT_EQ(readAll(media + "/back.jpg"), c.completed ? big() : QByteArray("old"));
    }
}

TEST_F(Upload, CancelStopsTheRenamesOnlyBeforeTheFirst)
{
    // A board that stopped answering after its files were staged: the
    // renames' login waits for it, but a cancel still ends that at once,
    // for nothing on the board has changed yet.
    FtpTestServer server("silent");
    START_SERVER(server);
    BoardFtp ftp = board(server, FtpTestServer::kPassword, {30000, 30000});
    QTimer::singleShot(300, [this] { cancel = true; });
    QElapsedTimer t;
    t.start();
    const QList<TransferStatus> results =
        ftp.replace("127.0.0.1", {{"Orvane/Media/.back.jpg.orvtmp.abc123", "Orvane/Media/back.jpg"}});
    EXPECT_LT(t.elapsed(), 5000);
    EXPECT_EQ(results, QList<TransferStatus>({TransferStatus::Abort}));
}

TEST_F(Upload, CausesNameWhatWentWrong)
{
    // A board that answers a missing folder as vsftpd does.
    FtpTestServer server("vsftpd-cwd");
    START_SERVER(server);
    server.putFile("Orvane/Data/.keep", "");
    const QString pipe = dir.filePath("pipe.jpg");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    BoardFtp ftp = board(server);
    BoardFtp refused = board(server, "wrong");
    const struct {
        BoardFtp* ftp;
        QString local;
        QString remote;
        const char* cause; // a regular expression
    } cases[] = {
        {&ftp, local("a.jpg", "a"), "Missing/a.jpg", "^the board replied 55\\d \\S"},
        {&ftp, local("c.jpg", "c"), "Orvane/Media/c.jpg",
         "^the board replied 550 Failed to change directory: it has no folder \"Orvane/Media\", or does not let the "
         "account into it$"},
        {&refused, local("b.jpg", "b"), "b.jpg", "^the board refused the login: 530 \\S"},
        {&ftp, pipe, "pipe.jpg", "^pipe.jpg is not a regular file \\(a device or a named pipe\\)$"},
        {&ftp, "/dev/zero", "zero.jpg", "^zero is not a regular file"},
        {&ftp, dir.filePath("gone.jpg"), "gone.jpg", "^the local file gone.jpg is missing$"},
        {&ftp, local("empty.jpg", ""), "empty.jpg", "^the local file empty.jpg is empty$"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.local.toStdString());
        EXPECT_EQ(c.ftp->put("127.0.0.1", c.local, c.remote), TransferStatus::Ready);
        EXPECT_TRUE(QRegularExpression(c.cause).match(c.ftp->lastCause()).hasMatch())
            << c.ftp->lastCause().toStdString();
        EXPECT_FALSE(c.ftp->lastCause().contains(FtpTestServer::kPassword));
    }
    EXPECT_TRUE(temporaries(server).isEmpty());
}

TEST_F(Upload, CausesGiveTheBoardsReplyAndLostOnlyForALostConnection)
{
    // What the board said, also after it took the whole file; the bytes
    // only where no reply came, counted as sent.
    const QString small = local("small.jpg", QByteArray(18988, 's'));
    const QString large = local("large.jpg", big());
    const struct {
        const char* mode;
        QString local;
        const char* cause; // a regular expression
    } cases[] = {
        {"full", small, "^the board replied 451 Failure writing to local file$"},
        // The same reply after the board closed the data connection part way.
        {"full-close", large, "^the board replied 451 Failure writing to local file$"},
        {"denystor", small, "^the board replied 550 Permission denied$"},
        {"drop426", small, "^the board replied 426 Connection closed; transfer aborted$"},
        {"busy-media", small,
         "^the board replied 450 The process cannot access the file because it is being used by another process$"},
        {"norename-any", small, "^the board replied 550 Rename refused$"},
        // Whether the client meets the closed connection while it still
        // sends, or hears the board's count first, is up to the timing.
        {"cut", large,
         "^(the board holds 65536 of the 409600 bytes sent|the connection was lost after \\d+ of 409600 bytes "
         "sent)$"},
        {"stall", large, "^a time-out: the board stopped answering after \\d+ of 409600 bytes sent$"},
        {"die", large, "^the connection was lost after \\d+ of 409600 bytes sent$"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        FtpTestServer server(c.mode);
        START_SERVER(server);
        server.putFile("Orvane/Media/back.jpg", "old");
        BoardFtp ftp = board(server);
        EXPECT_NE(ftp.put("127.0.0.1", c.local, "Orvane/Media/back.jpg"), TransferStatus::Completed);
        EXPECT_TRUE(QRegularExpression(c.cause).match(ftp.lastCause()).hasMatch()) << ftp.lastCause().toStdString();
        EXPECT_EQ(readAll(server.root() + "/Orvane/Media/back.jpg"), QByteArray("old"));
    }
}

TEST_F(Upload, BoardUpdateLandsWholeOrNotAtAll)
{
    // A template and a background larger than what a cut or stalled upload
    // lets through.
    QByteArray tpl = "[BACKGROUND]\r\nImage File=back.jpg\r\n";
    while (tpl.size() < 200 * 1024)
        tpl += ";" + QByteArray(98, 'p') + "\r\n";
    // The background is large enough that a board which closes the data
    // connection part way meets the client still sending.
    const QByteArray picture = "new picture" + QByteArray(16 * 1024 * 1024, 'n');
    RunSetup setup;
    setup.mode = 1;
    setup.slots[3] = local("three.ORVT", tpl);
    setup.settingsFile = local("OrvaneSettings.ini", "[SETTINGS]\r\nDwell Time=5\r\n");
    setup.confirmFile = dir.filePath("Remote/CommConfirm.txt");
    setup.mediaFolder = dir.filePath("Media");
    QDir().mkpath(setup.mediaFolder);
    writeAll(setup.mediaFolder + "/back.jpg", picture);
    const QString tplError = "!!!Error sending template file.";
    const QString mediaError = "!!!Error sending template background media file.";
    const QString settingsError = "!!!Error sending Orvane settings file.";
    // A cut data connection, met while sending or heard from the board's count.
    const QString lost = "!!!Cause: (the board holds 65536 of the \\d+ bytes sent|the connection was lost after \\d+ "
                         "of \\d+ bytes sent)\\.";
    const QString timeOut = "!!!Cause: a time-out: the board stopped answering after \\d+ of \\d+ bytes sent\\.";
    const QString full = "!!!Cause: the board replied 451 Failure writing to local file\\.";
    // The same reply, from a board that closed the data connection first.
    const QString fullClosed = full;
    const QString notSent = "!!!Orvane confirm file not sent: not every file arrived\\.\\|"
                            "!!!No file was replaced: the board keeps its old files\\.";
    const QString noneReplaced = "!!!No file was replaced, and no command was sent: the board keeps its old files\\.";
    const struct {
        const char* mode;
        bool media, templates, settings; // replaced on the board
        bool aside;                      // the old background waits moved aside
        QString report;                  // the "!!!" lines joined by "|", a regular expression
        bool oldCopiesLeft = false;      // each old copy waits aside beside its new file
        bool confirmBlocked = false;     // a folder stands in the place of the local confirm file
    } cases[] = {
        {"serve", true, true, true, false, ""},
        {"norename", true, true, true, false, ""},
        {"cut", false, false, false, false,
         tplError + "\\|" + lost + "\\|" + mediaError + "\\|" + lost + "\\|" + notSent},
        {"stall", false, false, false, false,
         tplError + "\\|" + timeOut + "\\|" + mediaError + "\\|" + timeOut + "\\|" + notSent},
        {"cut-media", false, false, false, false, mediaError + "\\|" + lost + "\\|" + notSent},
        // A whole upload that the board then refuses is a failed one.
        {"full", false, false, false, false,
         tplError + "\\|" + full + "\\|" + mediaError + "\\|" + full + "\\|" + settingsError + "\\|" + full + "\\|" +
             notSent},
        // A refused upload into Media, whatever the words: a temporary name
        // is never in use on the board.
        {"busy-media", false, false, false, false,
         mediaError +
             "\\|!!!Cause: the board replied 450 The process cannot access the file because it is being "
             "used by another process\\.\\|" +
             notSent},
        // The renames fail at the templates: the media already went.
        {"lockdata", true, false, false, false,
         tplError + "\\|!!!Cause: the board replied 550 Renaming is not allowed in this folder\\.\\|"
                    "!!!Only part of the update reached the board, and no command was sent\\. Replaced: "
                    "Media/back\\.jpg\\. Not replaced: Data/Template with 3 records\\.ORVT, UpdatedSettings\\.ini\\."},
        // A board that refuses every rename, and ones that refuse the rename
        // of the new file after the old one went aside: the old one goes
        // back, or waits under its aside name for the board's start-up.
        {"norename-any", false, false, false, false,
         mediaError + "\\|!!!Cause: the board replied 550 Rename refused\\.\\|" + noneReplaced},
        {"norename-back", false, false, false, false,
         mediaError + "\\|!!!Cause: the board replied 553 Renaming failed\\.\\|" + noneReplaced},
        // A connection that breaks once a file was renamed into place,
        // before the board's answer came: the file went, and the update
        // goes on.
        {"lostrename", true, true, true, false, ""},
        {"norename,lostrename", true, true, true, false, ""},
        // The same on boards without SIZE: the temporary's RNFR and the
        // folder's listing tell.
        {"nosize,lostrename", true, true, true, false, ""},
        {"nosize,norename,lostrename", true, true, true, false, ""},
        // A connection lost at a step whose answer is not needed: the next
        // rename logs in again. An old copy whose deletion was lost waits
        // for the board's start-up, which deletes it.
        {"drop-mdtm", true, true, true, false, ""},
        {"norename,drop-mdtm", true, true, true, false, ""},
        {"norename,drop-dele", true, true, true, false, "", true},
        // A full disk that closes the data connection and then says so.
        {"full-close", false, false, false, false,
         tplError + "\\|" + fullClosed + "\\|" + mediaError + "\\|" + fullClosed + "\\|" + notSent},
        // No goodbye is answered; the update does not wait on it.
        {"noquit", true, true, true, false, ""},
        // Every file went into place, and then the board refused the
        // command: the lines say what it already holds.
        {"denyconfirm", true, true, true, false,
         "!!!Error sending Orvane confirm file\\.\\|!!!Cause: the board replied 550 Permission denied\\.\\|"
         "!!!Already in place on the board, but the board was not told to take them: Media/back\\.jpg, "
         "Data/Template with 3 records\\.ORVT, UpdatedSettings\\.ini\\. It shows the new templates and media from "
         "its next pass through its pages, but takes the new settings only with the command: send Admin Update "
         "again\\."},
        // A local confirm file that can't be written is found before the
        // renames: the board keeps all its old files.
        {"serve", false, false, false, false,
         "!!!Error sending Orvane confirm file\\.\\|!!!Cause: the local confirm file could not be written: "
         "\"[^\"]*/Remote/CommConfirm\\.txt\" is a folder\\.\\|!!!No file was replaced: the board keeps its old "
         "files\\.",
         false, true},
        {"norename-lost", false, false, false, true,
         mediaError + "\\|!!!Cause: the board replied 553 Renaming failed\\.\\|"
                      "!!!Media/back\\.jpg: the board's old copy was moved aside to make room and could not be moved "
                      "back; it waits there as Media/\\.back\\.jpg\\.orvold\\.[A-Za-z0-9]{6} until the program "
                      "starts on the board\\.\\|"
                      "!!!No file was replaced, and no command was sent\\."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        FtpTestServer server(c.mode);
        START_SERVER(server);
        const QString board = server.root() + "/Orvane/";
        server.putFile("Orvane/Data/Template with 3 records.ORVT", "old template");
        server.putFile("Orvane/Media/back.jpg", "old picture");
        server.putFile("Orvane/UpdatedSettings.ini", "old settings");
        QFile::remove(setup.confirmFile);
        QDir(setup.confirmFile).removeRecursively();
        if (c.confirmBlocked) {
            ASSERT_TRUE(QDir().mkpath(setup.confirmFile));
        }
        BoardFtp ftp(cancel, server.port(), {FtpTestServer::kUser, FtpTestServer::kPassword}, {3000, 1500});
        FakeView view;
        view.boards = {"127.0.0.1"};
        UpdateRun run(ftp, view, cancel);
        ASSERT_EQ(run.run(setup), RunEnd::Done);
        const bool delivered = c.report.isEmpty();
        EXPECT_EQ(QFileInfo::exists(board + "OrvaneConfirm.txt"), delivered);
        EXPECT_EQ(view.icons[0], delivered);
        const QString report = view.lines.filter("!!!").join('|');
        EXPECT_TRUE(QRegularExpression("^" + c.report + "$").match(report).hasMatch()) << report.toStdString();
        EXPECT_TRUE(view.lines.filter(FtpTestServer::kPassword).isEmpty());
        EXPECT_TRUE(temporaries(server).isEmpty()) << temporaries(server).join(' ').toStdString();
        // The board holds each file, old or new, under its real name, or
        // the old one aside until its start-up puts it back.
        EXPECT_EQ(QFileInfo::exists(board + "Media/back.jpg"), !c.aside);
        EXPECT_EQ(atomicfile::removeStaleTemporaries(board + "Media"), c.aside || c.oldCopiesLeft ? 1 : 0);
        EXPECT_EQ(atomicfile::removeStaleTemporaries(board + "Data"), c.oldCopiesLeft ? 1 : 0);
        // The command file, once sent, is the only file the board holds in
        // its folder besides the settings.
        EXPECT_EQ(readAll(board + "OrvaneConfirm.txt"), delivered ? QByteArray("1\r\n") : QByteArray());
        EXPECT_EQ(readAll(board + "Data/Template with 3 records.ORVT"), c.templates ? tpl : QByteArray("old template"));
        EXPECT_EQ(readAll(board + "Media/back.jpg"), c.media ? picture : QByteArray("old picture"));
        EXPECT_EQ(readAll(board + "UpdatedSettings.ini"),
                  c.settings ? readAll(setup.settingsFile) : QByteArray("old settings"));
    }
}

TEST_F(Upload, CancelLeavesNoTemporaryOnTheBoard)
{
    // The template arrives whole and waits for its rename; the background
    // stalls, and the cancel comes. The clean-up's short session deletes
    // both; when it gives up (the board drops its login), one line names the
    // board whose temporaries are left.
    const struct {
        const char* mode;
        int deleted;
        QStringList lines; // the "!!!" lines
    } cases[] = {
        {"stall", 2, {}},
        {"stall,drop@USER:4",
         0,
         {"!!!The temporary files of this update were left on 127.0.0.1 (the connection broke before the board "
          "answered the login); the board deletes them when its program starts."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        FtpTestServer server(c.mode);
        START_SERVER(server);
        const RunSetup setup = templateAndBackground(server, big());
        BoardFtp ftp = board(server, FtpTestServer::kPassword, {3000, 30000});
        cancel = false;
        display.onStart = [this](qint64 length) {
            if (length == big().size())
                QTimer::singleShot(300, [this] { cancel = true; });
        };
        FakeView view;
        view.boards = {"127.0.0.1"};
        UpdateRun run(ftp, view, cancel);
        QElapsedTimer t;
        t.start();
        EXPECT_EQ(run.run(setup), RunEnd::Cancelled);
        EXPECT_LT(t.elapsed(), 10000);
        EXPECT_EQ(readAll(server.root() + "/Orvane/Data/Template with 3 records.ORVT"), QByteArray("old template"));
        EXPECT_EQ(readAll(server.root() + "/Orvane/Media/back.jpg"), QByteArray("old picture"));
        EXPECT_FALSE(QFileInfo::exists(server.root() + "/Orvane/OrvaneConfirm.txt"));
        EXPECT_EQ(view.lines.filter("!!!"), c.lines);
        // Both were on the board: the staged template and the broken background.
        EXPECT_EQ(server.commands().filter(QRegularExpression("^DELE Orvane/(Data|Media)/\\..*\\.orvtmp\\.")).size(),
                  c.deleted)
            << server.commands().join('|').toStdString();
        EXPECT_EQ(temporaries(server).size(), 2 - c.deleted) << temporaries(server).join(' ').toStdString();
    }
}

TEST_F(Upload, CancelDuringTheRenamesFinishesTheBoardWithoutWaitingForItsGoodbye)
{
    // Slow renames, so the cancel comes while they run; a board that never
    // answers the goodbye of a session that renamed. The board gets the
    // rest of its renames, then its command when all went, with its lines
    // and icon; the run ends there, and no goodbye holds it (the stall
    // time-out is long).
    const struct {
        const char* mode;
        bool sent;
        const char* last; // the last line but the closing rules
    } cases[] = {
        {"slowrename,noquit-renamed", true, "Finished Orvane sending confirm file."},
        {"slowrename,noquit-renamed,lockdata", false,
         "!!!Only part of the update reached the board, and no command was sent. Replaced: Media/back.jpg. Not "
         "replaced: Data/Template with 3 records.ORVT."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        FtpTestServer server(c.mode);
        START_SERVER(server);
        const RunSetup setup = templateAndBackground(server, "new picture");
        BoardFtp ftp = board(server, FtpTestServer::kPassword, {3000, 30000});
        QTimer poll;
        cancelAtTheFirstRename(server, poll);
        FakeView view;
        view.boards = {"127.0.0.1", "127.0.0.1"}; // a second board, never reached
        UpdateRun run(ftp, view, cancel);
        QElapsedTimer t;
        t.start();
        EXPECT_EQ(run.run(setup), RunEnd::Cancelled);
        EXPECT_LT(t.elapsed(), 15000);
        ASSERT_TRUE(cancel);
        const QString board = server.root() + "/Orvane/";
        EXPECT_EQ(readAll(board + "Media/back.jpg"), QByteArray("new picture"));
        EXPECT_EQ(readAll(board + "Data/Template with 3 records.ORVT"),
                  c.sent ? readAll(setup.slots[3]) : QByteArray("old template"));
        EXPECT_EQ(readAll(board + "OrvaneConfirm.txt"), c.sent ? QByteArray("2\r\n") : QByteArray());
        EXPECT_EQ(view.icons, (std::map<int, bool>{{0, c.sent}}));
        ASSERT_GE(view.lines.size(), 2);
        EXPECT_EQ(view.lines.mid(view.lines.size() - 2), QStringList({c.last, "Finished sending process."}));
        EXPECT_EQ(view.lines.filter("Starting sending process.").size(), 1);
        EXPECT_TRUE(temporaries(server).isEmpty()) << temporaries(server).join(' ').toStdString();
    }
}

TEST_F(Upload, ABoardThatNeverAnswersTheGoodbyeHoldsNoRun)
{
    // Every session's goodbye goes unanswered; each costs at most the
    // connect time-out, never the (long) stall time-out.
    FtpTestServer server("noquit");
    START_SERVER(server);
    const RunSetup setup = templateAndBackground(server, "new picture");
    BoardFtp ftp = board(server, FtpTestServer::kPassword, {1000, 60000});
    FakeView view;
    view.boards = {"127.0.0.1"};
    UpdateRun run(ftp, view, cancel);
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(run.run(setup), RunEnd::Done);
    EXPECT_LT(t.elapsed(), 30000);
    EXPECT_TRUE(view.lines.filter("!!!").isEmpty()) << view.lines.join('|').toStdString();
    EXPECT_EQ(view.icons, (std::map<int, bool>{{0, true}}));
    const QString board = server.root() + "/Orvane/";
    EXPECT_EQ(readAll(board + "Media/back.jpg"), QByteArray("new picture"));
    EXPECT_EQ(readAll(board + "Data/Template with 3 records.ORVT"), readAll(setup.slots[3]));
    EXPECT_EQ(readAll(board + "OrvaneConfirm.txt"), QByteArray("2\r\n"));
}

TEST_F(Upload, ProbeRestartAndRenameCausesAreTheBoardsInPlainWords)
{
    // What the administrator reads after "*** Could not connect", after a
    // failed restart, and after a rename whose answer was lost: the board's
    // reply whenever it gave one, and never the transfer library's words.
    FtpTestServer gone;
    START_SERVER(gone);
    const int closedPort = gone.port();
    gone.stop();
    const struct {
        const char* mode;
        const char* password;
        int port; // 0: the server's
        const char* address;
        const char* step;  // "probe", "restart" or "rename"
        const char* cause; // a regular expression
        bool unknown = false;
    } cases[] = {
        {"badlogin", FtpTestServer::kPassword, 0, "127.0.0.1", "probe",
         "^the board refused the login: 530 Login incorrect$"},
        // A board that takes no more connections says so when it greets.
        {"toomany", FtpTestServer::kPassword, 0, "127.0.0.1", "probe",
         "^the board replied 421 Too many connections from the same IP address$"},
        {"serve", "wrong", 0, "127.0.0.1", "probe", "^the board refused the login: 530 \\S.*[^.]$"},
        {"serve", FtpTestServer::kPassword, closedPort, "127.0.0.1", "probe",
         "^the board could not be reached: the server did not accept a connection$"},
        {"silent", FtpTestServer::kPassword, 0, "127.0.0.1", "probe", "^a time-out: the board stopped answering$"},
        {"serve", FtpTestServer::kPassword, 0, "127.0.0.1/x", "probe", "^not a usable board address$"},
        {"denystor", FtpTestServer::kPassword, 0, "127.0.0.1", "restart", "^the board replied 550 Permission denied$"},
        {"badlogin", FtpTestServer::kPassword, 0, "127.0.0.1", "restart",
         "^the board refused the login: 530 Login incorrect$"},
        // The board renamed the file and went away before it answered.
        {"lostrename-die", FtpTestServer::kPassword, 0, "127.0.0.1", "rename",
         "^the connection broke before the board answered the rename of back\\.jpg, and the board could not be "
         "asked again whether the new file took its place$",
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " " + c.step);
        FtpTestServer server(c.mode);
        START_SERVER(server);
        server.putFile("Orvane/Media/back.jpg", "old picture");
        BoardFtp ftp(cancel, c.port ? c.port : server.port(), {FtpTestServer::kUser, c.password}, {1000, 1500});
        const QString step = c.step;
        FakeView view;
        UpdateRun run(ftp, view, cancel);
        // The lines the administrator reads: the failure, then its cause.
        const auto expectLines = [&](const QString& failure) {
            const QStringList lines = view.lines.filter(QRegularExpression("^(\\*\\*\\*|!!!)"));
            ASSERT_EQ(lines.size(), 2) << view.lines.join('|').toStdString();
            EXPECT_EQ(lines[0], failure);
            EXPECT_EQ(lines[1], "!!!Cause: " + ftp.lastCause() + ".");
        };
        if (step == "probe") {
            EXPECT_FALSE(ftp.probe(c.address));
            RunSetup setup;
            view.boards = {c.address};
            EXPECT_EQ(run.run(setup), RunEnd::Done);
            EXPECT_EQ(view.icons, (std::map<int, bool>{{0, false}}));
            expectLines(QString("*** Could not connect to %1.").arg(c.address));
        } else if (step == "restart") {
            EXPECT_NE(run.restart(c.address, dir.filePath("Remote/Restart.txt")), TransferStatus::Completed);
            EXPECT_FALSE(QFileInfo::exists(server.root() + "/Orvane/OrvaneConfirm.txt"));
            expectLines(QString("!!!Could not restart the Orvane at %1.").arg(c.address));
        } else {
            QString temporary;
            ASSERT_EQ(ftp.stage(c.address, local("back.jpg", "new picture"), "Orvane/Media/back.jpg", temporary),
                      TransferStatus::Completed);
            const QList<TransferStatus> results = ftp.replace(c.address, {{temporary, "Orvane/Media/back.jpg"}});
            EXPECT_EQ(results, QList<TransferStatus>({TransferStatus::ConnectionReset}));
            // The board holds the new file; the run can't know it, and says so.
            EXPECT_EQ(readAll(server.root() + "/Orvane/Media/back.jpg"), QByteArray("new picture"));
        }
        EXPECT_EQ(ftp.renameOutcomeUnknown(), c.unknown);
        EXPECT_TRUE(QRegularExpression(c.cause).match(ftp.lastCause()).hasMatch()) << ftp.lastCause().toStdString();
        EXPECT_FALSE(ftp.lastCause().contains(FtpTestServer::kPassword));
    }
}

TEST_F(Upload, ARenameTheBoardCanNotBeAskedAboutIsNamedAsUnknown)
{
    // The board renames the background into place and goes away before it
    // answers, or turns the asking session away: nothing can tell the run
    // what it holds, and the closing lines say neither "replaced" nor "not
    // replaced" of that file. A board that will not rename over a file had
    // the old one moved aside; it can't go back over the new one.
    const QString unknown = "!!!Media/back.jpg: the board's answer to its rename was lost, and asking it afterwards "
                            "could not tell whether it holds the new or the old copy.";
    const QString noCommand = "!!!No command was sent: it is not known whether every file is in place. Outcome not "
                              "known: Media/back.jpg. Not replaced: Data/Template with 3 records.ORVT.";
    // A board that went away keeps the template's temporary.
    const QString left = "\\|!!!The temporary files of this update were left on 127\\.0\\.0\\.1 \\(the board could "
                         "not be reached[^)]*\\); the board deletes them when its program starts\\.";
    const struct {
        const char* mode;
        QString cause;
        QString lines; // after the cause, joined by "|", a regular expression
        bool aside;
    } cases[] = {
        {"lostrename-die",
         "the connection broke before the board answered the rename of back.jpg, and the board could not be asked "
         "again whether the new file took its place",
         QRegularExpression::escape(unknown + "|" + noCommand) + left, false},
        {"norename,lostrename-busy",
         "the connection broke before the board answered the rename of back.jpg, and the board could not be asked "
         "again whether the new file took its place",
         QRegularExpression::escape(unknown) +
             " Its old copy was moved aside as Media/\\.back\\.jpg\\.orvold\\.[A-Za-z0-9]{6}; if the new one is "
             "not under the real name, the program puts the old one back when it starts on the board\\.\\|" +
             QRegularExpression::escape(noCommand),
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        FtpTestServer server(c.mode);
        START_SERVER(server);
        const RunSetup setup = templateAndBackground(server, "new picture");
        BoardFtp ftp = board(server, FtpTestServer::kPassword, {1000, 1500});
        FakeView view;
        view.boards = {"127.0.0.1"};
        UpdateRun run(ftp, view, cancel);
        EXPECT_EQ(run.run(setup), RunEnd::Done);
        EXPECT_EQ(view.icons, (std::map<int, bool>{{0, false}}));
        const QStringList lines = view.lines.filter("!!!");
        ASSERT_GE(lines.size(), 4) << lines.join('|').toStdString();
        EXPECT_EQ(lines.mid(0, 2),
                  QStringList({"!!!Error sending template background media file.", "!!!Cause: " + c.cause + "."}));
        EXPECT_TRUE(QRegularExpression("^" + c.lines + "$").match(lines.mid(2).join('|')).hasMatch())
            << lines.mid(2).join('|').toStdString();
        const QString board = server.root() + "/Orvane/";
        EXPECT_EQ(readAll(board + "Media/back.jpg"), QByteArray("new picture"));
        EXPECT_EQ(readAll(board + "Data/Template with 3 records.ORVT"), QByteArray("old template"));
        EXPECT_FALSE(QFileInfo::exists(board + "OrvaneConfirm.txt"));
        // A board still there has the template's temporary deleted, and its
        // start-up deletes the old background, for the new one is in place.
        if (c.aside) {
            EXPECT_TRUE(temporaries(server).isEmpty()) << temporaries(server).join(' ').toStdString();
        }
        EXPECT_EQ(atomicfile::removeStaleTemporaries(board + "Media"), c.aside ? 1 : 0);
        EXPECT_EQ(readAll(board + "Media/back.jpg"), QByteArray("new picture"));
    }
}

TEST_F(Upload, ACancelDuringTheRestartsRenameSaysWhetherTheBoardGotTheCommand)
{
    // The cancel comes while the board renames the command file into place
    // (slowly): it cuts the connection before the answer, and the board is
    // asked on a short session whether the file went. One board takes it,
    // and restarts; the other refuses every rename.
    const struct {
        const char* mode;
        TransferStatus status;
    } cases[] = {{"slowrename", TransferStatus::Completed}, {"slowrename,norename-any", TransferStatus::Abort}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        FtpTestServer server(c.mode);
        START_SERVER(server);
        server.putFile("Orvane/.keep", "");
        BoardFtp ftp = board(server, FtpTestServer::kPassword, {3000, 30000});
        QTimer poll;
        cancelAtTheFirstRename(server, poll);
        FakeView view;
        view.boards = {"127.0.0.1"};
        UpdateRun run(ftp, view, cancel);
        QElapsedTimer t;
        t.start();
        EXPECT_EQ(run.restart("127.0.0.1", dir.filePath("Remote/Restart.txt")), c.status);
        EXPECT_LT(t.elapsed(), 10000);
        ASSERT_TRUE(cancel);
        const bool sent = c.status == TransferStatus::Completed;
        EXPECT_EQ(readAll(server.root() + "/Orvane/OrvaneConfirm.txt"), sent ? QByteArray("2\r\n") : QByteArray());
        EXPECT_EQ(view.lines.filter("!!!").isEmpty(), sent) << view.lines.join('|').toStdString();
        EXPECT_TRUE(temporaries(server).isEmpty()) << temporaries(server).join(' ').toStdString();
    }
}

TEST_F(Upload, AnUpdateWhoseBoardDropsTheConnectionAtAnyStepKeepsEveryFileOldOrNewAndSaysWhich)
{
    // A whole update (probe; the stage of a template, its background and the
    // settings: login, STOR, SIZE; their renames: login, RNFR, RNTO, on a
    // board that will not rename over a file also the old file aside and its
    // DELE, and MDTM; the command; the goodbyes) with the board dropping the
    // connection once, at the Nth line of one command. Whatever the step,
    // each real name holds its old or its new file, and the lines say which.
    // The stage's checks ask SIZE and MDTM of each temporary (MDTM 1 to 3),
    // each rename is followed by its MDTM line (4 to 6), then the command's.
    const QStringList steps = {
        "PASS:1", "PASS:2", "PASS:3", "PASS:4", "PASS:5", "PASS:6", "PASS:7", "STOR:1", "STOR:3", "STOR:4", "SIZE:1",
        "SIZE:3", "SIZE:4", "RNFR:1", "RNFR:2", "RNFR:3", "RNFR:4", "RNTO:1", "RNTO:2", "RNTO:3", "RNTO:4", "RNTO:5",
        "MDTM:1", "MDTM:4", "MDTM:6", "MDTM:8", "DELE:1", "DELE:2", "QUIT:1", "QUIT:2", "QUIT:5", "QUIT:6",
        // Once at every kind of step.
        "PASS:2+STOR:1+SIZE:1+RNFR:1+RNTO:1+MDTM:1+DELE:1+QUIT:1", "PASS:5+RNFR:1+RNTO:2+MDTM:5+DELE:1+QUIT:3",
        "PASS:6+RNFR:2+RNTO:3+MDTM:4+DELE:1+QUIT:4", "PASS:7+RNTO:4+MDTM:4+DELE:2+QUIT:5"};
    // A drop at the RNFR or the RNTO of a rename the board never carried
    // out, for every rename of the update (4 on a board that renames over
    // a file; 10 on one that will not: each of the three files it holds
    // takes three, the new command file one): the rename goes again on a
    // new session, and the update lands whole.
    const auto renameDrops = [](int renames) {
        QStringList drops;
        for (int n = 1; n <= renames; ++n)
            drops << QString("RNFR:%1").arg(n) << QString("RNTO:%1").arg(n);
        return drops;
    };
    const QString names[] = {"Media/back.jpg", "Data/Template with 3 records.ORVT", "UpdatedSettings.ini"};
    const QByteArray olds[] = {"old picture", "old template", "old settings"};
    QByteArray news[3];
    for (const QString base : {"serve", "norename", "nosize"}) {
        const QStringList landing = base == "serve"      ? renameDrops(4)
                                    : base == "norename" ? renameDrops(10)
                                                         : QStringList();
        QStringList all = steps + landing;
        all.removeDuplicates();
        for (const QString& step : std::as_const(all)) {
            const QString mode = base + ",drop@" + QString(step).replace("+", ",drop@");
            SCOPED_TRACE(mode.toStdString());
            FtpTestServer server(mode);
            START_SERVER(server);
            RunSetup setup = templateAndBackground(server, "the new picture");
            setup.mode = 1;
            setup.settingsFile = local("OrvaneSettings.ini", "[SETTINGS]\r\nDwell Time=5\r\n");
            server.putFile("Orvane/UpdatedSettings.ini", olds[2]);
            news[0] = "the new picture";
            news[1] = readAll(setup.slots[3]);
            news[2] = readAll(setup.settingsFile);
            BoardFtp ftp(cancel, server.port(), {FtpTestServer::kUser, FtpTestServer::kPassword}, {3000, 1500});
            FakeView view;
            view.boards = {"127.0.0.1"};
            UpdateRun run(ftp, view, cancel);
            ASSERT_EQ(run.run(setup), RunEnd::Done);
            const QString report = view.lines.filter("!!!").join('|');
            SCOPED_TRACE(report.toStdString());
            const QString board = server.root() + "/Orvane/";
            QHash<QString, QByteArray> now;
            for (int i = 0; i < 3; ++i) {
                now[names[i]] = QFileInfo::exists(board + names[i]) ? readAll(board + names[i]) : "(none)";
                EXPECT_TRUE(now[names[i]] == olds[i] || now[names[i]] == news[i]) << names[i].toStdString();
            }
            // What the lines name as replaced holds its new file, what they
            // name as not replaced its old one.
            const auto named = [&report](const QString& label) {
                const QRegularExpressionMatch m = QRegularExpression(label + ": ([^|]*?)\\.(\\||$| )").match(report);
                return m.hasMatch() ? m.captured(1).split(", ") : QStringList();
            };
            const auto holds = [&](const QString& name, bool fresh) {
                for (int i = 0; i < 3; ++i)
                    if (names[i] == name)
                        return now[name] == (fresh ? news[i] : olds[i]);
                ADD_FAILURE() << "a line names " << name.toStdString();
                return false;
            };
            for (const QString& name : named("Replaced") + named("take them"))
                EXPECT_TRUE(holds(name, true)) << name.toStdString();
            for (const QString& name : named("Not replaced"))
                EXPECT_TRUE(holds(name, false)) << name.toStdString();
            // A board that will not rename over a file refuses the first try
            // of every rename; that refusal is never the cause of a failure.
            EXPECT_FALSE(report.contains("already exists"));
            const bool delivered = QFileInfo::exists(board + "OrvaneConfirm.txt");
            EXPECT_EQ(view.icons[0], delivered);
            if (landing.contains(step)) {
                EXPECT_TRUE(delivered);
                EXPECT_EQ(readAll(board + "OrvaneConfirm.txt"), QByteArray("1\r\n"));
                // The drop came, and the rename went again after it.
                const QStringList sent = server.commands().filter(QRegularExpression("^" + step.section(':', 0, 0)));
                EXPECT_GT(sent.size(), step.section(':', 1).toInt());
            }
            if (delivered || report.isEmpty()) {
                EXPECT_TRUE(report.isEmpty());
                for (const QString& name : names)
                    EXPECT_TRUE(holds(name, true)) << name.toStdString();
            }
            if (report.contains("No file was replaced") || !view.lines.filter("*** Could not connect").isEmpty()) {
                for (const QString& name : names)
                    EXPECT_TRUE(holds(name, false)) << name.toStdString();
            }
        }
    }
}

TEST_F(Upload, ARenameLostWithABoardThatStartsAgainIsNotDoneForAnOldFileOfTheSameSizeOrForNone)
{
    // The board's program starts again as a rename goes out (the connection
    // drops unanswered, and the start-up clears the temporaries): the
    // temporary is gone, and the real name holds the old file, of the new
    // one's size, or no file at all where the board never had one (SIZE
    // says so, or the folder's listing). It was not replaced.
    const QStringList backLost = {"!!!Error sending template background media file.",
                                  "!!!Cause: the connection broke before the board answered the rename of back.jpg.",
                                  "!!!No file was replaced, and no command was sent: the board keeps its old files."};
    const QStringList templateLost = {
        "!!!Error sending template file.",
        "!!!Cause: the connection broke before the board answered the rename of Template with 3 records.ORVT.",
        "!!!Only part of the update reached the board, and no command was sent. Replaced: Media/back.jpg. Not "
        "replaced: Data/Template with 3 records.ORVT."};
    const struct {
        const char* mode;
        bool boardHadFiles;
        QByteArray back; // what the board holds as back.jpg
        QStringList lines;
    } cases[] = {
        {"restart@RNTO:1", true, "old picture", backLost},
        {"nosize,restart@RNTO:1", true, "old picture", backLost},
        {"restart@RNTO:1", false, "(none)", backLost},
        {"nosize,restart@RNTO:1", false, "(none)", backLost},
        {"restart@RNTO:2", false, "new picture", templateLost},
        {"nosize,restart@RNTO:2", false, "new picture", templateLost},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + (c.boardHadFiles ? "" : ", new files"));
        FtpTestServer server(c.mode);
        START_SERVER(server);
        const RunSetup setup = templateAndBackground(server, "new picture");
        const QString folder = server.root() + "/Orvane/";
        if (c.boardHadFiles) {
            // The board's file came with an earlier update.
            QFile old(folder + "Media/back.jpg");
            ASSERT_TRUE(old.open(QIODevice::ReadWrite));
            ASSERT_TRUE(
                old.setFileTime(QDateTime::currentDateTimeUtc().addDays(-3), QFileDevice::FileModificationTime));
            old.close();
        } else {
            // Its folders are there, the files not.
            ASSERT_TRUE(QFile::remove(folder + "Media/back.jpg"));
            ASSERT_TRUE(QFile::remove(folder + "Data/Template with 3 records.ORVT"));
        }
        BoardFtp ftp = board(server);
        FakeView view;
        view.boards = {"127.0.0.1"};
        UpdateRun run(ftp, view, cancel);
        EXPECT_EQ(run.run(setup), RunEnd::Done);
        EXPECT_EQ(view.icons, (std::map<int, bool>{{0, false}}));
        const QString back = folder + "Media/back.jpg";
        EXPECT_EQ(QFileInfo::exists(back) ? readAll(back) : QByteArray("(none)"), c.back);
        EXPECT_EQ(readAll(folder + "Data/Template with 3 records.ORVT"),
                  c.boardHadFiles ? QByteArray("old template") : QByteArray());
        EXPECT_FALSE(QFileInfo::exists(folder + "OrvaneConfirm.txt"));
        const QStringList lines = view.lines.filter("!!!");
        EXPECT_EQ(lines, c.lines) << lines.join('|').toStdString();
    }
}

TEST_F(Upload, ALoginLostBeforeARenameIsTheCauseNotTheRename)
{
    // The board drops the session at the first file's time stamp, and the
    // login again before the second rename: that rename was never asked.
    FtpTestServer server("drop@MDTM:3,drop@PASS:4");
    START_SERVER(server);
    server.putFile("Orvane/Media/back.jpg", "old picture");
    server.putFile("Orvane/Media/pip.png", "old pip");
    BoardFtp ftp = board(server);
    QList<StagedFile> staged;
    for (const QString name : {"back.jpg", "pip.png"}) {
        QString temporary;
        ASSERT_EQ(ftp.stage("127.0.0.1", local(name, "new " + name.toUtf8()), "Orvane/Media/" + name, temporary),
                  TransferStatus::Completed);
        staged.append({temporary, "Orvane/Media/" + name});
    }
    EXPECT_EQ(ftp.replace("127.0.0.1", staged),
              QList<TransferStatus>({TransferStatus::Completed, TransferStatus::ConnectionReset}));
    EXPECT_EQ(ftp.lastCause(), QString("the connection broke before the board answered the login"));
    EXPECT_FALSE(ftp.renameOutcomeUnknown());
    EXPECT_EQ(readAll(server.root() + "/Orvane/Media/back.jpg"), QByteArray("new back.jpg"));
    EXPECT_EQ(readAll(server.root() + "/Orvane/Media/pip.png"), QByteArray("old pip"));
}
