// The upload layer against the real FTP test server on 127.0.0.1, and the
// time-left text.
#include "remote/boardftp.h"
#include "tests/ftp/ftptestserver.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

using namespace remote;
using testsupport::readAll;
using testsupport::writeAll;

namespace {

class Display final : public TransferDisplay {
public:
    void started(qint64) override {}
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
    // The file each MDTM line names, as the server resolves it: the CWD lines
    // of the log replayed, every login starting at the account's root "/".
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
            else if (verb == "MDTM")
                targets << QDir::cleanPath(QDir(cwd).filePath(line.section(' ', 2)));
        }
        return targets;
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
    // text; both count as in use, and neither is stored.
    for (const char* name : {"inuse.jpg", "busy.jpg"})
        EXPECT_EQ(ftp.put("127.0.0.1", local("m", "m"), name), TransferStatus::FileInUsed) << name;
    EXPECT_FALSE(QFileInfo::exists(server.root() + "/inuse.jpg"));

    BoardFtp refused = board(server, "wrong");
    EXPECT_FALSE(refused.probe("127.0.0.1"));
    EXPECT_EQ(refused.put("127.0.0.1", local("c", "c"), "c"), TransferStatus::Ready);
}

TEST_F(Upload, DeadStalledAndCancelledTransfersEnd)
{
    const QString payload = local("payload", big());
    // Cancel ends a transfer at once, also while it waits for the board's
    // last reply.
    const struct {
        const char* name;
        int stallMs;
        bool cancel;
        int withinMs;
    } cases[] = {{"stall.jpg", 1500, false, 10000}, {"die.jpg", 1500, false, 10000}, {"stall.jpg", 30000, true, 5000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.cancel ? " cancelled" : ""));
        FtpTestServer server;
        START_SERVER(server);
        BoardFtp ftp = board(server, FtpTestServer::kPassword, {3000, c.stallMs});
        cancel = false;
        if (c.cancel)
            QTimer::singleShot(300, [this] { cancel = true; });
        QElapsedTimer t;
        t.start();
        const TransferStatus status = ftp.put("127.0.0.1", payload, c.name);
        EXPECT_TRUE(c.cancel ? status == TransferStatus::Abort : status != TransferStatus::Completed) << int(status);
        EXPECT_LT(t.elapsed(), c.withinMs);
    }
}
