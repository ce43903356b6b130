// The FTP client against a real server on 127.0.0.1, and the listing reader.
#include "platform/atomicfile.h"
#include "platform/ftp/curlftpclient.h"
#include "platform/ftp/listing.h"
#include "tests/ftp/ftptestserver.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <sys/stat.h>

using namespace ftp;

namespace {

Account accountFor(const FtpTestServer& server, const QString& password = QString::fromLatin1(FtpTestServer::kPassword))
{
    return {server.host(), QString::fromLatin1(FtpTestServer::kUser), password};
}

QByteArray bigPayload()
{
    QByteArray b;
    for (int i = 0; i < 20000; ++i)
        b += QByteArray::number(i) + "\r\n";
    return b; // > 100 KiB, so a misbehaving file stops part way
}

} // namespace

TEST(FtpListing, ReadsUnixAndDosLines)
{
    const QByteArray reply = "total 12\r\n"
                             "drwxr-xr-x   2 owner    group        4096 Jan 31 12:00 Reports 2024\r\n"
                             "-rw-r--r--   1 owner    group         123 Feb  1  2023 Data File.TXT\r\n"
                             "-rw-r--r--   1 owner      77 Mar 10 09:15 nogroup.txt\r\n"
                             "lrwxrwxrwx   1 owner    group           9 Apr  2 10:00 latest -> Data.TXT\r\n"
                             "drwxr-xr-x   2 owner    group        4096 Jan 31 12:00 .\r\n"
                             "drwxr-xr-x   2 owner    group        4096 Jan 31 12:00 ..\r\n"
                             "01-31-24  02:31PM       <DIR>          Old Exports\r\n"
                             "01-31-2024  14:31             5120 BOOKINGS.TXT\r\n"
                             "01-31-2024  14:31  99999999999999999999 HUGE.BIN\r\n"
                             "-rw-r--r--   1 owner    group           7 Jan 31  2024 lone.cr\r"
                             "garbage line without a date\n"
                             "\n";
    QStringList entries;
    for (const Entry& e : parseListing(reply))
        entries << e.name + (e.isFolder ? QString("/") : " " + QString::number(e.size));
    EXPECT_EQ(entries, QStringList({"Reports 2024/", "Data File.TXT 123", "nogroup.txt 77", "latest -1", "Old Exports/",
                                    "BOOKINGS.TXT 5120", "HUGE.BIN -1", "lone.cr 7"}));
}

TEST(FtpListing, PathsAndHosts)
{
    EXPECT_EQ(normalisePath("//"), "/");
    EXPECT_EQ(normalisePath("\\Orvane\\Data\\x.ORVT"), "/Orvane/Data/x.ORVT");
    EXPECT_EQ(normalisePath("a//b/"), "a/b");
    EXPECT_EQ(CurlFtpClient::baseUrl(" ftp.example.com "), "ftp://ftp.example.com");
    EXPECT_EQ(CurlFtpClient::baseUrl("ftp://10.0.0.5:2121/"), "ftp://10.0.0.5:2121");
    for (const char* bad : {"user@host", "host/evil path", ""})
        EXPECT_EQ(CurlFtpClient::baseUrl(bad), QString()) << bad;
}

TEST(FtpClient, SessionListsDownloadsUploadsAndTellsTimes)
{
    FtpTestServer server;
    START_SERVER(server);
    server.putFile("Data.TXT", "line 1\r\nline 2\r\n");
    server.putFile("Sub Folder/inner file.txt", "inner");
    const QDateTime when(QDate(2023, 7, 14), QTime(8, 30, 5), Qt::UTC);
    {
        QFile f(server.root() + "/Data.TXT");
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
    }
    QTemporaryDir local;
    CurlFtpClient client(Timeouts{5000, 5000});
    QList<Entry> entries;
    EXPECT_EQ(client.list("/", entries).status, Status::NotConnected);
    const Result denied = client.login(accountFor(server, "wrong-Secret"));
    EXPECT_EQ(denied.status, Status::LoginFailed);
    EXPECT_FALSE(denied.message.contains("wrong-Secret"));
    EXPECT_FALSE(client.connected());

    ASSERT_TRUE(client.login(accountFor(server)).ok());
    ASSERT_TRUE(client.list("//", entries).ok());
    ASSERT_EQ(entries.size(), 2);
    for (const Entry& e : entries)
        EXPECT_EQ(e.isFolder, e.name == "Sub Folder") << e.name.toStdString();

    ASSERT_TRUE(client.list("\\Sub Folder", entries).ok());
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].name, "inner file.txt");

    const QString target = local.filePath("Data.TXT");
    ASSERT_TRUE(client.download("/Data.TXT", target, 16).ok());
    EXPECT_EQ(testsupport::readAll(target), QByteArray("line 1\r\nline 2\r\n"));
    ASSERT_TRUE(client.download("Sub Folder/inner file.txt", local.filePath("in.txt")).ok());
    EXPECT_EQ(testsupport::readAll(local.filePath("in.txt")), QByteArray("inner"));

    QString stamp;
    ASSERT_TRUE(client.modifiedTime("Data.TXT", stamp).ok());
    EXPECT_EQ(stamp, "20230714083005");
    EXPECT_EQ(client.modifiedTime("none.txt", stamp).status, Status::NotFound);

    // Upload side (the board tests send real files): a folder and a refused
    // command.
    QString reply;
    ASSERT_TRUE(client.command("MKD Orvane", &reply).ok());
    EXPECT_TRUE(reply.startsWith("257")) << reply.toStdString();
    EXPECT_EQ(client.command("NOSUCHCOMMAND", &reply).status, Status::Refused);
    EXPECT_EQ(client.upload(local.filePath("missing"), "x").status, Status::LocalError);
    // Only regular files are read: a device never ends, a pipe waits for a writer.
    const QString pipe = local.filePath("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    for (const QString& special : {QString("/dev/zero"), pipe, local.path()}) {
        QString temporary;
        EXPECT_EQ(client.stage(special, "special.bin", temporary).status, Status::LocalError) << special.toStdString();
        EXPECT_TRUE(temporary.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(server.root() + "/special.bin"));

    // The session survives the failures above; a missing or short file
    // keeps the local copy.
    EXPECT_EQ(client.download("/b.txt", target).status, Status::NotFound);
    EXPECT_EQ(client.download("/Data.TXT", target, 99).status, Status::Incomplete);
    EXPECT_EQ(testsupport::readAll(target), QByteArray("line 1\r\nline 2\r\n"));
}

TEST(FtpClient, NoServerOrSilentServerFailsWithinTheTimeOut)
{
    CurlFtpClient client(Timeouts{1500, 1500});
    {
        // A port nobody listens on: the silent server's port after it ended.
        FtpTestServer gone("silent");
        START_SERVER(gone);
        const QString host = gone.host();
        gone.stop();
        EXPECT_EQ(client.login({host, "u", "p"}).status, Status::ConnectFailed);
    }
    FtpTestServer silent("silent");
    START_SERVER(silent);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(client.login({silent.host(), "u", "p"}).status, Status::TimedOut);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_FALSE(client.connected());

    // A goodbye the server never answers waits for the stall time-out at
    // most, and a cancel request ends that wait at once.
    FtpTestServer mute("noquit");
    START_SERVER(mute);
    for (const bool cancel : {false, true}) {
        client.setTimeouts({1500, cancel ? 30000 : 1500});
        ASSERT_TRUE(client.login(accountFor(mute)).ok());
        bool stop = false;
        if (cancel)
            QTimer::singleShot(300, [&] { stop = true; });
        client.setCancelCheck([&] { return stop; });
        clock.restart();
        client.disconnect();
        EXPECT_LT(clock.elapsed(), 5000) << cancel;
        EXPECT_FALSE(client.connected());
        client.setCancelCheck(nullptr);
    }
}

TEST(FtpClient, BrokenTransfersKeepTheOldCopy)
{
    QTemporaryDir local;
    const QString target = local.filePath("copy.txt");
    testsupport::writeAll(target, "old");
    CurlFtpClient client;
    // A server that stops sending part way, a cancel request during the
    // transfer, a server that ends in the middle of it, and one that keeps
    // sending a byte now and then: too slow for too long fails, though it
    // never stalls (the speed is an average over a few seconds, so the burst
    // at the start takes that long to fade).
    const struct {
        const char* file;
        int stallMs;
        int lowSpeedMs;
        bool cancel;
        Status status;
        int withinMs;
    } cases[] = {{"stall.txt", 1200, 60000, false, Status::TimedOut, 5000},
                 {"stall.txt", 20000, 60000, true, Status::Cancelled, 3000},
                 {"die.txt", 1200, 60000, false, Status::ConnectionReset, 10000},
                 {"trickle.txt", 1200, 1000, false, Status::TimedOut, 12000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + (c.cancel ? " cancelled" : ""));
        FtpTestServer server;
        START_SERVER(server);
        server.putFile(QString::fromLatin1(c.file), bigPayload());
        Timeouts timeouts{3000, c.stallMs};
        timeouts.lowSpeedMs = c.lowSpeedMs;
        client.setTimeouts(timeouts);
        ASSERT_TRUE(client.login(accountFor(server)).ok());
        bool stop = false;
        if (c.cancel)
            QTimer::singleShot(300, [&] { stop = true; });
        client.setCancelCheck([&] { return stop; });
        QElapsedTimer clock;
        clock.start();
        const Result r = client.download(QString::fromLatin1(c.file), target);
        // A server that ends part way may also be seen as an incomplete file.
        EXPECT_TRUE(r.status == c.status || (c.status == Status::ConnectionReset && r.status == Status::Incomplete))
            << int(r.status) << " " << r.message.toStdString();
        EXPECT_LT(clock.elapsed(), c.withinMs);
        EXPECT_TRUE(c.cancel || !client.connected());
        EXPECT_EQ(testsupport::readAll(target), QByteArray("old"));
    }
}

TEST(FtpClient, UploadsNeverDeleteTheOnlyCopy)
{
    // Servers that will not rename over a file, each failing at another
    // step of moving the old file aside, renaming the new one in and moving
    // the old one back; one that refuses every rename; and connections lost
    // right after the rename.
    const struct {
        const char* mode;
        bool replaced;
        const char* real;  // the real name holds this afterwards ("" none)
        const char* aside; // a file moved aside holds this ("" none)
        bool unknown = false;
    } cases[] = {
        {"norename", true, "new picture", ""},
        {"norename-drop", true, "new picture", ""}, // the session broke after the move aside
        {"norename-back", false, "old", ""},        // the old one went aside and back
        {"norename-lost", false, "", "old"},        // it could not go back
        {"norename-any", false, "old", ""},
        // The session broke once the new file was in place, before the
        // answer came: the upload went through, asked by SIZE, or without
        // SIZE by RNFR of the temporary and the folder's listing.
        {"lostrename", true, "new picture", ""},
        {"norename,lostrename", true, "new picture", ""},
        {"nosize,lostrename", true, "new picture", ""},
        {"nosize,norename,lostrename", true, "new picture", ""},
        // The old copy's deletion lost its answer: the new file is in
        // place, the old one waits aside for the board's start-up.
        {"norename,drop-dele", true, "new picture", ""},
        // The board is gone before it answered: the rename can't be told.
        {"lostrename-die", false, "new picture", "", true},
        // The board turns the asking session away, and takes the next: the
        // temporary's rename, tried again, finds it gone, which says nothing
        // of whether the first took the real name.
        {"lostrename-busy", false, "new picture", "", true},
        {"norename,lostrename-busy", false, "new picture", "old", true},
    };
    QTemporaryDir local;
    testsupport::writeAll(local.filePath("new.jpg"), "new picture");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        FtpTestServer server(QString::fromLatin1(c.mode));
        START_SERVER(server);
        server.putFile("Media/board.jpg", "old");
        CurlFtpClient client({3000, 1500});
        ASSERT_TRUE(client.login(accountFor(server)).ok());
        const Result r = client.upload(local.filePath("new.jpg"), "Media/board.jpg");
        EXPECT_EQ(r.ok(), c.replaced) << r.message.toStdString();
        EXPECT_EQ(r.outcomeUnknown, c.unknown);
        const QString media = server.root() + "/Media";
        EXPECT_EQ(QFile::exists(media + "/board.jpg"), *c.real != 0);
        if (*c.real) {
            EXPECT_EQ(testsupport::readAll(media + "/board.jpg"), QByteArray(c.real));
        }
        // An old copy whose deletion lost its answer is left over beside
        // the new file, for the board's start-up to delete.
        const bool leftOver = QString(c.mode).contains("drop-dele");
        const QStringList asides = QDir(media).entryList({".board.jpg.orvold.*"}, QDir::Files | QDir::Hidden);
        ASSERT_EQ(asides.size(), *c.aside || leftOver ? 1 : 0) << asides.join(' ').toStdString();
        EXPECT_EQ(r.movedAside, *c.aside ? "Media/" + asides[0] : QString());
        if (leftOver) {
            EXPECT_EQ(testsupport::readAll(media + '/' + asides[0]), QByteArray("old"));
        }
        // No temporary is left, and the board's start-up puts the old file
        // back where the real name is missing.
        EXPECT_TRUE(QDir(media).entryList({".*.orvtmp.*"}, QDir::Files | QDir::Hidden).isEmpty());
        EXPECT_EQ(atomicfile::removeStaleTemporaries(media), *c.aside || leftOver ? 1 : 0);
        EXPECT_EQ(testsupport::readAll(media + "/board.jpg"), QByteArray(*c.real ? c.real : c.aside));
    }
}

TEST(FtpClient, ARenameGoesOnAfterALostAnswerNobodyNeeded)
{
    // The session breaks at a step whose answer is not needed: the time
    // stamp of the file just renamed, or the deletion of its old copy moved
    // aside. The next file's rename logs in again.
    const struct {
        const char* mode;
        int asides; // old copies left for the board's start-up
    } cases[] = {{"drop-mdtm", 0}, {"norename,drop-mdtm", 0}, {"norename,drop-dele", 2}};
    QTemporaryDir local;
    testsupport::writeAll(local.filePath("a.jpg"), "new a");
    testsupport::writeAll(local.filePath("b.jpg"), "new b");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        FtpTestServer server(QString::fromLatin1(c.mode));
        START_SERVER(server);
        server.putFile("Media/a.jpg", "old a");
        server.putFile("Media/b.jpg", "old b");
        CurlFtpClient client({3000, 1500});
        ASSERT_TRUE(client.login(accountFor(server)).ok());
        QString tempA, tempB;
        ASSERT_TRUE(client.stage(local.filePath("a.jpg"), "Media/a.jpg", tempA).ok());
        ASSERT_TRUE(client.stage(local.filePath("b.jpg"), "Media/b.jpg", tempB).ok());
        EXPECT_TRUE(client.replace(tempA, "Media/a.jpg", 5).ok());
        client.command("MDTM 20240101120000 Media/a.jpg");
        const Result r = client.replace(tempB, "Media/b.jpg", 5);
        EXPECT_TRUE(r.ok()) << r.message.toStdString();
        const QString media = server.root() + "/Media";
        EXPECT_EQ(testsupport::readAll(media + "/a.jpg"), QByteArray("new a"));
        EXPECT_EQ(testsupport::readAll(media + "/b.jpg"), QByteArray("new b"));
        EXPECT_EQ(atomicfile::removeStaleTemporaries(media), c.asides);
        EXPECT_TRUE(QDir(media).entryList(QDir::Files | QDir::Hidden).size() == 2);
    }
}

TEST(FtpClient, AnUploadBrokenOffGivesTheReplyThatFollowsIt)
{
    // A full disk as some servers meet it: the data connection closed part
    // way, the reason a little later on the control connection; also when
    // the server had dropped the session while it was idle, so the upload
    // went on a new connection. A server that ends altogether has no reply
    // to give, and none is waited for.
    const struct {
        const char* mode;
        Status status;
        long code;
        const char* text;
    } cases[] = {{"full-close", Status::Incomplete, 451, "Failure writing to local file."},
                 {"full-close,hangup@NOOP:1", Status::Incomplete, 451, "Failure writing to local file."},
                 {"die", Status::ConnectionReset, 0, ""}};
    QTemporaryDir local;
    testsupport::writeAll(local.filePath("big.jpg"), QByteArray(25 * 1024 * 1024, 'b'));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        FtpTestServer server(QString::fromLatin1(c.mode));
        START_SERVER(server);
        server.putFile("Media/big.jpg", "old");
        CurlFtpClient client({3000, 1500});
        ASSERT_TRUE(client.login(accountFor(server)).ok());
        // The session idles a moment after a command (a dropped one is found
        // dead by then).
        EXPECT_TRUE(client.command("NOOP").ok());
        QThread::msleep(200);
        QElapsedTimer clock;
        clock.start();
        const Result r = client.upload(local.filePath("big.jpg"), "Media/big.jpg");
        EXPECT_LT(clock.elapsed(), 5000);
        EXPECT_EQ(r.status, c.status) << r.message.toStdString();
        if (c.code) {
            EXPECT_EQ(r.serverCode, c.code);
            EXPECT_EQ(r.serverText, QString(c.text));
        }
        EXPECT_GT(r.bytesDone, 0);
        EXPECT_LT(r.bytesDone, r.bytesTotal);
        EXPECT_EQ(testsupport::readAll(server.root() + "/Media/big.jpg"), QByteArray("old"));
    }
}

TEST(FtpClient, AGoodbyeWithoutAnAnswerWaitsNoLongerThanTheConnectTimeOut)
{
    FtpTestServer server("noquit");
    START_SERVER(server);
    CurlFtpClient client({1000, 30000});
    ASSERT_TRUE(client.login(accountFor(server)).ok());
    QElapsedTimer clock;
    clock.start();
    client.disconnect();
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_FALSE(client.connected());
}
