// The FTP client against a real server on 127.0.0.1, and the listing reader.
#include "platform/ftp/curlftpclient.h"
#include "platform/ftp/listing.h"
#include "tests/ftp/ftptestserver.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

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
                             "garbage line without a date\n"
                             "\n";
    const QList<Entry> e = parseListing(reply);
    ASSERT_EQ(e.size(), 6);
    EXPECT_EQ(e[0].name, QStringLiteral("Reports 2024"));
    EXPECT_TRUE(e[0].isFolder);
    EXPECT_EQ(e[1].name, QStringLiteral("Data File.TXT"));
    EXPECT_FALSE(e[1].isFolder);
    EXPECT_EQ(e[1].size, 123);
    EXPECT_EQ(e[2].name, QStringLiteral("nogroup.txt"));
    EXPECT_EQ(e[2].size, 77);
    EXPECT_EQ(e[3].name, QStringLiteral("latest"));
    EXPECT_FALSE(e[3].isFolder);
    EXPECT_EQ(e[4].name, QStringLiteral("Old Exports"));
    EXPECT_TRUE(e[4].isFolder);
    EXPECT_EQ(e[5].name, QStringLiteral("BOOKINGS.TXT"));
    EXPECT_EQ(e[5].size, 5120);
}

TEST(FtpListing, PathsAndHosts)
{
    EXPECT_EQ(normalisePath(QStringLiteral("\\")), QStringLiteral("/"));
    EXPECT_EQ(normalisePath(QStringLiteral("//")), QStringLiteral("/"));
    EXPECT_EQ(normalisePath(QStringLiteral("\\Orvane\\Data\\x.ORVT")), QStringLiteral("/Orvane/Data/x.ORVT"));
    EXPECT_EQ(normalisePath(QStringLiteral("a//b/")), QStringLiteral("a/b"));
    EXPECT_EQ(CurlFtpClient::baseUrl(QStringLiteral(" ftp.example.com ")), QStringLiteral("ftp://ftp.example.com"));
    EXPECT_EQ(CurlFtpClient::baseUrl(QStringLiteral("ftp://10.0.0.5:2121/")), QStringLiteral("ftp://10.0.0.5:2121"));
    EXPECT_EQ(CurlFtpClient::baseUrl(QStringLiteral("user@host")), QString());
    EXPECT_EQ(CurlFtpClient::baseUrl(QStringLiteral("host/evil path")), QString());
    EXPECT_EQ(CurlFtpClient::baseUrl(QString()), QString());
}

TEST(FtpClient, SessionListsDownloadsUploadsAndTellsTimes)
{
    FtpTestServer server;
    START_SERVER(server);
    server.putFile(QStringLiteral("Data.TXT"), "line 1\r\nline 2\r\n");
    server.putFile(QStringLiteral("Sub Folder/inner file.txt"), "inner");
    const QDateTime when(QDate(2023, 7, 14), QTime(8, 30, 5), Qt::UTC);
    {
        QFile f(server.root() + QStringLiteral("/Data.TXT"));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
    }
    QTemporaryDir local;
    CurlFtpClient client(Timeouts{5000, 5000});
    QList<Entry> entries;
    EXPECT_EQ(client.list(QStringLiteral("/"), entries).status, Status::NotConnected);

    ASSERT_TRUE(client.login(accountFor(server)).ok());
    EXPECT_TRUE(client.connected());

    ASSERT_TRUE(client.list(QStringLiteral("//"), entries).ok());
    ASSERT_EQ(entries.size(), 2);
    for (const Entry& e : entries)
        EXPECT_EQ(e.isFolder, e.name == QStringLiteral("Sub Folder")) << e.name.toStdString();

    ASSERT_TRUE(client.list(QStringLiteral("\\Sub Folder"), entries).ok());
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].name, QStringLiteral("inner file.txt"));

    const QString target = local.filePath(QStringLiteral("Data.TXT"));
    ASSERT_TRUE(client.download(QStringLiteral("/Data.TXT"), target, 16).ok());
    EXPECT_EQ(testsupport::readAll(target), QByteArray("line 1\r\nline 2\r\n"));
    ASSERT_TRUE(
        client.download(QStringLiteral("Sub Folder/inner file.txt"), local.filePath(QStringLiteral("in.txt"))).ok());
    EXPECT_EQ(testsupport::readAll(local.filePath(QStringLiteral("in.txt"))), QByteArray("inner"));

    QString stamp;
    ASSERT_TRUE(client.modifiedTime(QStringLiteral("Data.TXT"), stamp).ok());
    EXPECT_EQ(stamp, QStringLiteral("20230714083005"));
    EXPECT_EQ(client.modifiedTime(QStringLiteral("none.txt"), stamp).status, Status::NotFound);
    EXPECT_EQ(stamp, QString());

    // Upload side: a folder, a file in it, and a refused command.
    QString reply;
    ASSERT_TRUE(client.command(QStringLiteral("MKD Orvane"), &reply).ok());
    EXPECT_TRUE(reply.startsWith(QStringLiteral("257"))) << reply.toStdString();
    const QString source = local.filePath(QStringLiteral("up.ORVT"));
    testsupport::writeAll(source, bigPayload());
    qint64 lastDone = 0;
    client.setProgress([&](qint64 done, qint64) { lastDone = done; });
    ASSERT_TRUE(client.upload(source, QStringLiteral("\\Orvane\\up.ORVT")).ok());
    EXPECT_EQ(lastDone, bigPayload().size());
    EXPECT_EQ(testsupport::readAll(server.root() + QStringLiteral("/Orvane/up.ORVT")), bigPayload());
    EXPECT_EQ(client.command(QStringLiteral("NOSUCHCOMMAND"), &reply).status, Status::Refused);
    const Result inUse = client.upload(source, QStringLiteral("Orvane/inuse.ORVT"));
    EXPECT_EQ(inUse.status, Status::Refused);
    EXPECT_EQ(inUse.serverCode, 550);
    EXPECT_TRUE(inUse.serverText.startsWith(QStringLiteral("The process cannot access the file")))
        << inUse.serverText.toStdString();
    EXPECT_EQ(client.upload(local.filePath(QStringLiteral("missing")), QStringLiteral("x")).status, Status::LocalError);

    // The session survives the failures above.
    EXPECT_TRUE(client.connected());
    client.disconnect();
    EXPECT_FALSE(client.connected());
}

TEST(FtpClient, RefusedLoginAndMissingFileKeepTheLocalCopy)
{
    FtpTestServer server;
    START_SERVER(server);
    server.putFile(QStringLiteral("a.txt"), "new");
    QTemporaryDir local;
    const QString target = local.filePath(QStringLiteral("a.txt"));
    testsupport::writeAll(target, "old");

    CurlFtpClient client(Timeouts{5000, 5000});
    const Result denied = client.login(accountFor(server, QStringLiteral("wrong-Secret")));
    EXPECT_EQ(denied.status, Status::LoginFailed);
    EXPECT_FALSE(denied.message.contains(QStringLiteral("wrong-Secret")));
    EXPECT_FALSE(client.connected());

    ASSERT_TRUE(client.login(accountFor(server)).ok());
    EXPECT_EQ(client.download(QStringLiteral("/b.txt"), target).status, Status::NotFound);
    EXPECT_EQ(client.download(QStringLiteral("/a.txt"), target, 99).status, Status::Incomplete);
    EXPECT_EQ(testsupport::readAll(target), QByteArray("old"));
}

TEST(FtpClient, NoServerOrSilentServerFailsWithinTheTimeOut)
{
    CurlFtpClient client(Timeouts{1500, 1500});
    {
        // A port nobody listens on: the silent server's port after it ended.
        FtpTestServer gone(QStringLiteral("silent"));
        START_SERVER(gone);
        const QString host = gone.host();
        gone.stop();
        const Result r = client.login({host, QStringLiteral("u"), QStringLiteral("p")});
        EXPECT_EQ(r.status, Status::ConnectFailed);
    }
    FtpTestServer silent(QStringLiteral("silent"));
    START_SERVER(silent);
    QElapsedTimer clock;
    clock.start();
    const Result r = client.login({silent.host(), QStringLiteral("u"), QStringLiteral("p")});
    EXPECT_EQ(r.status, Status::TimedOut);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_FALSE(client.connected());
}

TEST(FtpClient, BrokenTransfersKeepTheOldCopy)
{
    FtpTestServer server;
    START_SERVER(server);
    server.putFile(QStringLiteral("stall.txt"), bigPayload());
    QTemporaryDir local;
    const QString target = local.filePath(QStringLiteral("copy.txt"));
    testsupport::writeAll(target, "old");
    CurlFtpClient client(Timeouts{3000, 1200});

    // A server that stops sending part way.
    ASSERT_TRUE(client.login(accountFor(server)).ok());
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(client.download(QStringLiteral("stall.txt"), target).status, Status::TimedOut);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_FALSE(client.connected());
    EXPECT_EQ(testsupport::readAll(target), QByteArray("old"));

    // A cancel request during the transfer.
    server.stop();
    FtpTestServer second;
    START_SERVER(second);
    second.putFile(QStringLiteral("stall.txt"), bigPayload());
    client.setTimeouts(Timeouts{3000, 20000});
    ASSERT_TRUE(client.login(accountFor(second)).ok());
    bool stop = false;
    QTimer::singleShot(300, [&] { stop = true; });
    client.setCancelCheck([&] { return stop; });
    clock.restart();
    EXPECT_EQ(client.download(QStringLiteral("stall.txt"), target).status, Status::Cancelled);
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(testsupport::readAll(target), QByteArray("old"));
    client.setCancelCheck(nullptr);

    // A server that ends in the middle of the transfer (the one above
    // is still stuck in its stalled transfer).
    FtpTestServer third;
    START_SERVER(third);
    third.putFile(QStringLiteral("die.txt"), bigPayload());
    ASSERT_TRUE(client.login(accountFor(third)).ok());
    const Result r = client.download(QStringLiteral("die.txt"), target);
    EXPECT_TRUE(r.status == Status::Incomplete || r.status == Status::ConnectionReset)
        << int(r.status) << " " << r.message.toStdString();
    EXPECT_FALSE(client.connected());
    EXPECT_EQ(testsupport::readAll(target), QByteArray("old"));

    // A server that keeps sending a byte now and then: too slow for too
    // long fails, though it never stalls.
    FtpTestServer fourth;
    START_SERVER(fourth);
    fourth.putFile(QStringLiteral("trickle.txt"), QByteArray(16 * 1024 + 100, 'x'));
    Timeouts slow{3000, 1200};
    slow.lowSpeedMs = 1000;
    client.setTimeouts(slow);
    ASSERT_TRUE(client.login(accountFor(fourth)).ok());
    clock.restart();
    EXPECT_EQ(client.download(QStringLiteral("trickle.txt"), target).status, Status::TimedOut);
    // The speed is an average over a few seconds, so the burst at the
    // start takes that long to fade.
    EXPECT_LT(clock.elapsed(), 12000);
    EXPECT_EQ(testsupport::readAll(target), QByteArray("old"));
    EXPECT_EQ(Timeouts{}.minBytesPerSecond, 1024);
    EXPECT_EQ(Timeouts{}.lowSpeedMs, 60000);
}
