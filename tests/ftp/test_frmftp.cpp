// Fetching the source files and asking for their times, against a real FTP
// server on 127.0.0.1.
#include "core/globals.h"
#include "platform/filestamp.h"
#include "platform/ftp/curlftpclient.h"
#include "platform/paths.h"
#include "platform/statuslog.h"
#include "records/ftp/frmftp.h"
#include "tests/ftp/ftptestserver.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>

#include <utility>

using testsupport::logTexts;

namespace {

QByteArray bigPayload()
{
    QByteArray b;
    for (int i = 0; i < 20000; ++i)
        b += "booking " + QByteArray::number(i) + "\r\n";
    return b;
}

void setServerFileTime(const FtpTestServer& server, const QString& relativePath, const QDateTime& time)
{
    QFile f(server.root() + QLatin1Char('/') + relativePath);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(time, QFileDevice::FileModificationTime));
}

class FetchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gblnStop = false;
        StatusLog::instance().clear();
        gstrDataFolder = data.path();
        gstrFTPUsername = QString::fromLatin1(FtpTestServer::kUser);
        gstrFTPPassword = QString::fromLatin1(FtpTestServer::kPassword);
        gstrFTPServer = QStringLiteral("127.0.0.1:1");
        gstrFTPFilename = QStringLiteral("data.txt");
        gstrFTPBookingFilename = QStringLiteral("bookings.txt");
    }
    void TearDown() override { gblnStop = false; }

    // A fetcher with short time-outs.
    static std::unique_ptr<FrmFTP> makeFrm(int stallMs = 1500)
    {
        return std::make_unique<FrmFTP>(std::make_unique<ftp::CurlFtpClient>(ftp::Timeouts{2000, stallMs}));
    }
    void expectNoPasswordInLog() const
    {
        for (const QString& line : StatusLog::instance().lines())
            EXPECT_FALSE(line.contains(gstrFTPPassword)) << line.toStdString();
    }
    QString local(const QString& name) const { return data.filePath(name); }

    QTemporaryDir data;
};

} // namespace

TEST_F(FetchTest, FetchesWithTheServersSpellingAndSkipsFolders)
{
    FtpTestServer server;
    START_SERVER(server);
    gstrFTPServer = server.host();
    server.putFile(QStringLiteral("BOOKINGS.TXT"), "fresh bookings\r\n");
    server.putFile(QStringLiteral("Data.TXT/inside.txt"), "a folder named like the data file");
    server.putFile(QStringLiteral("Exports/Daily/today.txt"), "deep");
    testsupport::writeAll(local(QStringLiteral("bookings.txt")), "stale copy, other spelling");
    auto frm = makeFrm();

    EXPECT_TRUE(retrieveFTPBookingFile(*frm));
    EXPECT_EQ(logTexts(), QStringList({QStringLiteral("Start retrieve bookings.txt"),
                                       QStringLiteral("Successfully retrieved bookings.txt")}));
    EXPECT_EQ(QDir(data.path()).entryList(QDir::Files), QStringList{QStringLiteral("BOOKINGS.TXT")});
    EXPECT_EQ(testsupport::readAll(paths::resolve(data.path(), QStringLiteral("bookings.txt"))),
              QByteArray("fresh bookings\r\n"));

    // Only a folder carries the data file's name: nothing is fetched.
    StatusLog::instance().clear();
    EXPECT_FALSE(retrieveFTPDataFile(*frm));
    EXPECT_EQ(logTexts(), QStringList({QStringLiteral("Start retrieve data.txt"),
                                       QStringLiteral("Error retrieving data.txt from FTP Server."),
                                       QStringLiteral("!!!Cause: data.txt is a folder on the server.")}));

    // Two folder steps go one below the other.
    EXPECT_TRUE(frm->GetFile(server.host(), gstrFTPUsername, gstrFTPPassword, QStringLiteral("Exports\\Daily"),
                             data.path(), QStringLiteral("TODAY.TXT")));
    EXPECT_EQ(testsupport::readAll(local(QStringLiteral("today.txt"))), QByteArray("deep"));
    EXPECT_EQ(frm->cboRemote(), QStringList({QStringLiteral("Exports/Daily"), QStringLiteral("Exports")}));
    EXPECT_FALSE(frm->iFTP().connected());
    expectNoPasswordInLog();
}

TEST_F(FetchTest, FoldersCountFromTheLoginFolderNotTheServerRoot)
{
    // As on a server that gives each account its own folder without locking
    // it in: the same names at the server's root are decoys.
    FtpTestServer server;
    server.setLoginFolder(QStringLiteral("home/tester"));
    START_SERVER(server);
    gstrFTPServer = server.host();
    const QDateTime loginTime(QDate(2024, 3, 1), QTime(8, 0, 0), Qt::UTC);
    for (const QString& at : {QString(), QStringLiteral("home/tester/")}) {
        const QByteArray whose = at.isEmpty() ? "server root" : "login folder";
        server.putFile(at + QStringLiteral("data.txt"), whose);
        server.putFile(at + QStringLiteral("Exports/Daily/today.txt"), whose);
        setServerFileTime(server, at + QStringLiteral("data.txt"), at.isEmpty() ? loginTime.addDays(-9) : loginTime);
    }
    auto frm = makeFrm();

    EXPECT_TRUE(retrieveFTPDataFile(*frm));
    EXPECT_EQ(testsupport::readAll(local(QStringLiteral("data.txt"))), QByteArray("login folder"));
    for (const char* name : {"data.txt", "/data.txt"})
        EXPECT_EQ(frm->FTPFileTime(server.host(), gstrFTPUsername, gstrFTPPassword, QString::fromLatin1(name)),
                  QStringLiteral("2024/03/01 08:00:00"))
            << name;
    for (const char* folder : {"Exports\\Daily", "\\Exports\\Daily\\"}) {
        QFile::remove(local(QStringLiteral("today.txt")));
        EXPECT_TRUE(frm->GetFile(server.host(), gstrFTPUsername, gstrFTPPassword, QString::fromLatin1(folder),
                                 data.path(), QStringLiteral("today.txt")))
            << folder;
        EXPECT_EQ(testsupport::readAll(local(QStringLiteral("today.txt"))), QByteArray("login folder")) << folder;
    }
}

TEST_F(FetchTest, IncompleteSettingsOrStopFlagContactNobody)
{
    // Any contact with the (closed) port would add its own lines to the log.
    const auto frm = makeFrm();
    const QString settingsBad = QStringLiteral("The FTP Settings is not correct.");

    for (QString* field : {&gstrFTPFilename, &gstrFTPServer, &gstrFTPUsername, &gstrFTPPassword}) {
        SetUp();
        field->clear();
        EXPECT_FALSE(retrieveFTPDataFile(*frm));
        EXPECT_EQ(logTexts(), QStringList{settingsBad});
    }
    SetUp();
    gstrFTPBookingFilename.clear();
    EXPECT_FALSE(retrieveFTPBookingFile(*frm));
    EXPECT_EQ(logTexts(), QStringList{settingsBad});

    StatusLog::instance().clear();
    gblnStop = true;
    EXPECT_FALSE(retrieveFTPDataFile(*frm));
    EXPECT_EQ(logTexts(), QStringList({QStringLiteral("Start retrieve data.txt"), QStringLiteral("Cancel process"),
                                       QStringLiteral("Error retrieving data.txt from FTP Server.")}));
}

TEST_F(FetchTest, WrongPasswordMissingFileAndTheNameAsSpelt)
{
    FtpTestServer server;
    START_SERVER(server);
    gstrFTPServer = server.host();
    testsupport::writeAll(local(QStringLiteral("data.txt")), "old");
    auto frm = makeFrm();

    gstrFTPPassword = QStringLiteral("not-the-Password");
    EXPECT_FALSE(retrieveFTPDataFile(*frm));
    EXPECT_EQ(logTexts(), QStringList({QStringLiteral("Start retrieve data.txt"),
                                       QStringLiteral("Can't login to ftp site. Try again."),
                                       QStringLiteral("Error retrieving data.txt from FTP Server."),
                                       QStringLiteral("!!!Cause: the server refused the login: 530 Authentication "
                                                      "failed.")}));
    expectNoPasswordInLog();

    StatusLog::instance().clear();
    gstrFTPPassword = QString::fromLatin1(FtpTestServer::kPassword);
    EXPECT_FALSE(retrieveFTPDataFile(*frm));
    EXPECT_EQ(logTexts(), QStringList({QStringLiteral("Start retrieve data.txt"),
                                       QStringLiteral("Error retrieving data.txt from FTP Server."),
                                       QStringLiteral("!!!Cause: no file data.txt on the server.")}));
    EXPECT_EQ(testsupport::readAll(local(QStringLiteral("data.txt"))), QByteArray("old"));

    // Whichever the server lists first, each spelling fetches its own file.
    server.putFile(QStringLiteral("data.txt"), "lower");
    server.putFile(QStringLiteral("DATA.TXT"), "upper");
    for (const auto& [name, content] : {std::pair{QStringLiteral("data.txt"), QByteArray("lower")},
                                        std::pair{QStringLiteral("DATA.TXT"), QByteArray("upper")}}) {
        gstrFTPFilename = name;
        EXPECT_TRUE(retrieveFTPDataFile(*frm));
        EXPECT_EQ(QDir(data.path()).entryList(QDir::Files), QStringList{name});
        EXPECT_EQ(testsupport::readAll(local(name)), content);
    }
}

TEST_F(FetchTest, StopFlagOrCancelDuringATransferKeepsTheOldCopy)
{
    const QString name = QStringLiteral("stall.txt");
    testsupport::writeAll(local(name), "old");
    // A stall time-out far beyond the test's bound: only the stop ends it.
    auto frm = makeFrm(30000);
    for (bool byButton : {false, true}) {
        FtpTestServer server; // a stalled server serves nobody else, so one each
        START_SERVER(server);
        SetUp();
        gstrFTPServer = server.host();
        gstrFTPFilename = QStringLiteral("STALL.txt");
        server.putFile(name, bigPayload());
        // A time query or a second fetch asked for meanwhile fails at once
        // and leaves the running fetch alone.
        QString timeMeanwhile = QStringLiteral("unset");
        bool fetchMeanwhile = true;
        QTimer::singleShot(400, [&] {
            timeMeanwhile = frm->FTPFileTime(server.host(), gstrFTPUsername, gstrFTPPassword, name);
            fetchMeanwhile =
                frm->GetFile(server.host(), gstrFTPUsername, gstrFTPPassword, QStringLiteral("\\"), data.path(), name);
            byButton ? frm->CmdCancel_Click() : void(gblnStop = true);
        });
        EXPECT_FALSE(retrieveFTPDataFile(*frm));
        EXPECT_EQ(logTexts(),
                  QStringList({QStringLiteral("Start retrieve STALL.txt"),
                               QStringLiteral("!!!Error: 0 Another FTP operation is still running."),
                               QStringLiteral("Error connecting to ftp site"), QStringLiteral("Cancel process"),
                               QStringLiteral("Error retrieving STALL.txt from FTP Server.")}))
            << byButton;
        EXPECT_EQ(timeMeanwhile, QString());
        EXPECT_FALSE(fetchMeanwhile);
        EXPECT_EQ(testsupport::readAll(local(name)), QByteArray("old"));
    }
}

TEST_F(FetchTest, DyingServerKeepsTheOldCopy)
{
    FtpTestServer server;
    START_SERVER(server);
    gstrFTPServer = server.host();
    gstrFTPFilename = QStringLiteral("die.txt");
    server.putFile(gstrFTPFilename, bigPayload());
    testsupport::writeAll(local(gstrFTPFilename), "old");
    EXPECT_FALSE(retrieveFTPDataFile(*makeFrm(1200)));
    EXPECT_EQ(logTexts(),
              QStringList({QStringLiteral("Start retrieve die.txt"), QStringLiteral("Error connecting to ftp site"),
                           QStringLiteral("Error retrieving die.txt from FTP Server."),
                           QStringLiteral("!!!Cause: the connection broke before the whole file arrived.")}));
    EXPECT_EQ(testsupport::readAll(local(gstrFTPFilename)), QByteArray("old"));
    EXPECT_EQ(QDir(data.path()).entryList(QDir::Files | QDir::Hidden).size(), 1) << "no temporary left";
}

TEST_F(FetchTest, ModifiedTimeOfAFile)
{
    FtpTestServer server;
    START_SERVER(server);
    server.putFile(QStringLiteral("Data.TXT"), "x");
    setServerFileTime(server, QStringLiteral("Data.TXT"), QDateTime(QDate(2024, 2, 29), QTime(23, 5, 9), Qt::UTC));
    auto frm = makeFrm();
    const QString host = server.host();
    EXPECT_EQ(frm->FTPFileTime(host, gstrFTPUsername, gstrFTPPassword, QStringLiteral("Data.TXT")),
              QStringLiteral("2024/02/29 23:05:09"));
    EXPECT_EQ(logTexts().last(), QStringLiteral("@@@ Data.TXT - 2024/02/29 23:05:09"));

    // The time of the file a fetch of the name takes: the name as spelt,
    // else the one in another letter case.
    const QString earlier = QStringLiteral("2024/02/29 23:05:09"), later = QStringLiteral("2024/03/01 06:00:00");
    const std::pair<QString, QString> spellings[] = {{QStringLiteral("data.txt"), earlier},
                                                     {QStringLiteral("DATA.TXT"), earlier}};
    for (const auto& [name, time] : spellings) {
        EXPECT_EQ(frm->FTPFileTime(host, gstrFTPUsername, gstrFTPPassword, name), time) << name.toStdString();
        EXPECT_EQ(logTexts().last(), QStringLiteral("@@@ ") + name + QStringLiteral(" - ") + time);
    }
    server.putFile(QStringLiteral("data.txt"), "y");
    setServerFileTime(server, QStringLiteral("data.txt"), QDateTime(QDate(2024, 3, 1), QTime(6, 0, 0), Qt::UTC));
    EXPECT_EQ(frm->FTPFileTime(host, gstrFTPUsername, gstrFTPPassword, QStringLiteral("data.txt")), later);
    EXPECT_EQ(frm->FTPFileTime(host, gstrFTPUsername, gstrFTPPassword, QStringLiteral("Data.TXT")), earlier);

    // A missing file never looks like a time (so never like a change).
    EXPECT_EQ(frm->FTPFileTime(host, gstrFTPUsername, gstrFTPPassword, QStringLiteral("gone.txt")), QString());
    EXPECT_TRUE(logTexts().last().startsWith(QStringLiteral("!!!Error: "))) << logTexts().last().toStdString();
    expectNoPasswordInLog();

    EXPECT_EQ(FrmFTP::FormatFileTime(QStringLiteral("20240229230509.123")), QStringLiteral("2024/02/29 23:05:09"));
    for (const char* bad : {"", "2024022923050", "2024-02-29 23:05"})
        EXPECT_EQ(FrmFTP::FormatFileTime(QString::fromLatin1(bad)), QString()) << bad;
}

TEST_F(FetchTest, AFileWrittenDuringItsFetchIsNotTaken)
{
    // The exporter adds a line right after the transfer: the copy that came
    // is not the file as it is now, and the old local copy stays.
    FtpTestServer server(QStringLiteral("writing"));
    START_SERVER(server);
    gstrFTPServer = server.host();
    server.putFile(QStringLiteral("data.txt"), "line 1\r\nline 2\r\n");
    setServerFileTime(server, QStringLiteral("data.txt"), QDateTime(QDate(2024, 3, 1), QTime(8, 0, 0), Qt::UTC));
    testsupport::writeAll(local(QStringLiteral("data.txt")), "old");
    auto frm = makeFrm();

    EXPECT_FALSE(retrieveFTPDataFile(*frm));
    EXPECT_EQ(logTexts(), QStringList({QStringLiteral("Start retrieve data.txt"),
                                       QStringLiteral("Error retrieving data.txt from FTP Server."),
                                       QStringLiteral("!!!Cause: data.txt changed on the server while it was "
                                                      "fetched.")}));
    EXPECT_EQ(testsupport::readAll(local(QStringLiteral("data.txt"))), QByteArray("old"));
    EXPECT_EQ(QDir(data.path()).entryList(QDir::Files | QDir::Hidden).size(), 1) << "no temporary left";
    // What the fetch went for, as the change watch counts failures.
    EXPECT_EQ(frm->report(QStringLiteral("data.txt")),
              (FetchReport{FetchReport::Outcome::Failed,
                           ftp::FileState{QStringLiteral("2024/03/01 08:00:00"), qint64(16)},
                           {}}));
    EXPECT_FALSE(frm->iFTP().connected());
}

TEST_F(FetchTest, AFailedFetchSaysWhyAfterItsLines)
{
    // The cause follows the fetch's lines: the server's own reply, or what
    // happened in plain words; never the transfer library's numbers or
    // wording, never the password.
    const QString start = QStringLiteral("Start retrieve data.txt"),
                  failed = QStringLiteral("Error retrieving data.txt from FTP Server."),
                  noLogin = QStringLiteral("Can't login to ftp site. Try again."),
                  noConnection = QStringLiteral("Error connecting to ftp site");
    struct Case {
        const char* what;
        const char* mode; // "": no server at all
        QStringList lines;
    } cases[] = {
        {"the download refused while the exporter holds the file",
         "retrlock",
         {start, noConnection, failed,
          QStringLiteral("!!!Cause: the server replied 550 The process cannot access the file because it is being "
                         "used by another process.")}},
        {"no server listening",
         "",
         {start, noLogin, failed, QStringLiteral("!!!Cause: the server could not be reached.")}},
        {"a server that never answers",
         "silent",
         {start, noLogin, failed, QStringLiteral("!!!Cause: a time-out: the server stopped answering.")}},
        {"a server that takes no more connections",
         "toomany",
         {start, noLogin, failed,
          QStringLiteral("!!!Cause: the server replied 421 Too many connections from the same IP address.")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        FtpTestServer server{QString::fromLatin1(c.mode)};
        if (*c.mode) {
            START_SERVER(server);
            gstrFTPServer = server.host();
        }
        server.putFile(QStringLiteral("data.txt"), "new\r\n");
        server.putFile(QStringLiteral("data.txt.lock"), "");
        testsupport::writeAll(local(QStringLiteral("data.txt")), "old");
        EXPECT_FALSE(retrieveFTPDataFile(*makeFrm()));
        EXPECT_EQ(logTexts(), c.lines);
        EXPECT_EQ(testsupport::readAll(local(QStringLiteral("data.txt"))), QByteArray("old"));
        expectNoPasswordInLog();
    }
}

TEST_F(FetchTest, TheWatchAsksForTheFileTheFetchTakesNotAFolderOfItsName)
{
    // A server that answers MDTM and SIZE for folders too, with a folder
    // data.txt/ and a file DATA.TXT: both the time and the fetch are the
    // file's.
    FtpTestServer server(QStringLiteral("dirtimes"));
    START_SERVER(server);
    gstrFTPServer = server.host();
    server.putFile(QStringLiteral("data.txt/inside.txt"), "a folder named like the data file");
    server.putFile(QStringLiteral("DATA.TXT"), "the data file\r\n");
    setServerFileTime(server, QStringLiteral("DATA.TXT"), QDateTime(QDate(2024, 3, 1), QTime(8, 0, 0), Qt::UTC));
    auto frm = makeFrm();
    const ftp::FileState file{QStringLiteral("2024/03/01 08:00:00"), qint64(15)};
    EXPECT_EQ(frm->FTPFileTimeAndSize(server.host(), gstrFTPUsername, gstrFTPPassword, QStringLiteral("data.txt")),
              file);
    EXPECT_TRUE(retrieveFTPDataFile(*frm));
    EXPECT_EQ(frm->report(QStringLiteral("data.txt")), (FetchReport{FetchReport::Outcome::Took, file, file}));
    EXPECT_EQ(testsupport::readAll(local(QStringLiteral("DATA.TXT"))), QByteArray("the data file\r\n"));

    // Without the file, the folder is no file: no time, and the fetch says why.
    QFile::remove(server.root() + QStringLiteral("/DATA.TXT"));
    StatusLog::instance().clear();
    EXPECT_EQ(frm->FTPFileTime(server.host(), gstrFTPUsername, gstrFTPPassword, QStringLiteral("data.txt")), QString());
    EXPECT_EQ(logTexts(), QStringList{QStringLiteral("!!!Error: 0 data.txt is a folder on the server.")});
    EXPECT_FALSE(retrieveFTPDataFile(*frm));
    EXPECT_EQ(logTexts().last(), QStringLiteral("!!!Cause: data.txt is a folder on the server."));
}

TEST_F(FetchTest, ANameThatNamesNoFileIsNeverAskedFor)
{
    // Files and folders of like names lie on the server; the fetch and the
    // time query of a name that names no file send it nothing at all.
    FtpTestServer server;
    START_SERVER(server);
    gstrFTPServer = server.host();
    server.putFile(QStringLiteral("book.txt"), "a file of the name\r\n");
    server.putFile(QStringLiteral("data.txt/inside.txt"), "a folder of the name");
    auto frm = makeFrm();
    for (const char* name : {"book.txt/", "data.txt\\", "..", " "}) {
        SCOPED_TRACE(name);
        const QString fileName = QString::fromLatin1(name);
        StatusLog::instance().clear();
        EXPECT_FALSE(
            frm->GetFile(server.host(), gstrFTPUsername, gstrFTPPassword, QStringLiteral("\\"), data.path(), fileName));
        EXPECT_EQ(frm->lastCause(), QStringLiteral("\"%1\" names no file").arg(fileName));
        EXPECT_EQ(frm->FTPFileTimeAndSize(server.host(), gstrFTPUsername, gstrFTPPassword, fileName), ftp::FileState());
        EXPECT_EQ(logTexts(), QStringList{QStringLiteral("!!!Error: 0 \"%1\" names no file.").arg(fileName)});
    }
    EXPECT_EQ(server.commands(), QStringList());
    EXPECT_TRUE(QDir(data.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST(FetchRule, TakesOnlyADecidedCopyNeverTheBoardsOwn)
{
    const ftp::FileState board(QStringLiteral("2024/03/01 08:00:00"), 100);
    const ftp::FileState other(QStringLiteral("2024/03/01 08:00:00"), 120);
    struct Case {
        const char* what;
        ftp::FileState found, board;
        std::optional<bool> decided; // the run's answer; nothing: no rule
        FetchChoice choice;
        bool asked; // whether the rule was asked
    } cases[] = {
        {"the board's copy", board, board, false, FetchChoice::Unchanged, false},
        {"another size", other, board, false, FetchChoice::NotSettled, true},
        {"a copy decided on", other, board, true, FetchChoice::Transfer, true},
        {"no rule", other, board, std::nullopt, FetchChoice::Transfer, false},
        {"no board's copy known", board, {}, false, FetchChoice::NotSettled, true},
        // A board's copy without a size tells nothing apart.
        {"a board's copy of unknown size", board, ftp::FileState(board.time), false, FetchChoice::NotSettled, true},
        // A copy the server can't show is taken as it stands.
        {"no time on the server", ftp::FileState(QString(), 100), board, false, FetchChoice::Transfer, false},
        {"no size on the server", ftp::FileState(board.time), board, false, FetchChoice::Transfer, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        bool asked = false;
        const std::function<bool()> decided = [&] {
            asked = true;
            return *c.decided;
        };
        EXPECT_EQ(chooseFetch(c.found, c.board, c.decided ? decided : nullptr), c.choice);
        EXPECT_EQ(asked, c.asked);
    }
}

TEST_F(FetchTest, AFetchTakesOnlyTheCopyItMayTakeAndNeverTheOneTheBoardHolds)
{
    // The board's copy is kept beside the local file; a copy the rule does
    // not let the fetch take is left on the server. Neither is downloaded.
    FtpTestServer server;
    START_SERVER(server);
    gstrFTPServer = server.host();
    const QString name = QStringLiteral("data.txt");
    const auto serve = [&](const QByteArray& bytes, int minute) {
        server.putFile(name, bytes);
        setServerFileTime(server, name, QDateTime(QDate(2024, 3, 1), QTime(8, minute, 0), Qt::UTC));
    };
    const ftp::FileState first(QStringLiteral("2024/03/01 08:00:00"), 5),
        second(QStringLiteral("2024/03/01 08:01:00"), 10);
    const QString unchanged = QStringLiteral("data.txt has not changed on FTP Server since it was retrieved."),
                  isNew =
                      QStringLiteral("data.txt is new on FTP Server: it is retrieved once it has stopped changing.");
    auto frm = makeFrm();
    bool mayTake = true;
    QList<ftp::FileState> asked;
    frm->setMayTake([&](const QString& file, const ftp::FileState& found) {
        EXPECT_EQ(file, name);
        asked << found;
        return mayTake;
    });
    const auto fetch = [&](bool expected, const QString& line) {
        StatusLog::instance().clear();
        asked.clear();
        const int downloads = server.commands().filter(QStringLiteral("RETR")).size();
        EXPECT_EQ(retrieveFTPDataFile(*frm), expected);
        EXPECT_EQ(logTexts(), QStringList({QStringLiteral("Start retrieve data.txt"), line}));
        return server.commands().filter(QStringLiteral("RETR")).size() - downloads;
    };
    const auto report = [&] { return frm->report(name).value_or(FetchReport()); };
    const QString took = QStringLiteral("Successfully retrieved data.txt");

    serve("one\r\n", 0);
    EXPECT_EQ(fetch(true, took), 1);
    EXPECT_EQ(asked, QList({first}));
    EXPECT_EQ(report(), (FetchReport{FetchReport::Outcome::Took, first, first}));

    // Again: the board holds that copy. The rule is not even asked.
    mayTake = false;
    const FileStamp kept = FileStamp::of(local(name));
    EXPECT_EQ(fetch(true, unchanged), 0);
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(report(), (FetchReport{FetchReport::Outcome::Unchanged, first, first}));
    EXPECT_EQ(FileStamp::of(local(name)), kept);

    // A new export the rule does not let it take.
    serve("one\r\ntwo\r\n", 1);
    EXPECT_EQ(fetch(false, isNew), 0);
    EXPECT_EQ(asked, QList({second}));
    EXPECT_EQ(report(), (FetchReport{FetchReport::Outcome::NotSettled, second, first}));
    EXPECT_EQ(testsupport::readAll(local(name)), QByteArray("one\r\n"));
    mayTake = true;
    EXPECT_EQ(fetch(true, took), 1);
    EXPECT_EQ(testsupport::readAll(local(name)), QByteArray("one\r\ntwo\r\n"));

    // The copy is the board's only while its local file is what arrived,
    // and only for the server and account it came from.
    const struct {
        const char* what;
        std::function<void()> change;
        bool keptAfter; // the board's copy again once the server's name is as before
    } others[] = {
        {"a local file changed here", [&] { testsupport::writeAll(local(name), "one\r\ntwo\r\n"); }, false},
        {"another server name",
         [&] { gstrFTPServer.replace(QStringLiteral("127.0.0.1"), QStringLiteral("localhost")); }, true},
    };
    for (const auto& o : others) {
        SCOPED_TRACE(o.what);
        mayTake = false;
        o.change();
        EXPECT_EQ(fetch(false, isNew), 0);
        EXPECT_EQ(report().board, ftp::FileState());
        gstrFTPServer = server.host();
        EXPECT_EQ(fetch(o.keptAfter, o.keptAfter ? unchanged : isNew), 0);
        mayTake = true;
        EXPECT_EQ(fetch(true, o.keptAfter ? unchanged : took), o.keptAfter ? 0 : 1);
    }
    EXPECT_EQ(QDir(data.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({QStringLiteral(".data.txt.orvcopy"), name}));
    expectNoPasswordInLog();
    EXPECT_FALSE(testsupport::readAll(local(QStringLiteral(".data.txt.orvcopy"))).contains(gstrFTPPassword.toLatin1()));
}

TEST_F(FetchTest, TheCopyAFetchTookIsTheBoardsCopyAtTheNextFetch)
{
    // The next fetch of an unchanged export fetches nothing, whatever the
    // file's name and whenever the server stamped it, in the board's time
    // zone too; a fetch whose login fails still tells the copy the board
    // holds.
    FtpTestServer server;
    START_SERVER(server);
    gstrFTPServer = server.host();
    const QString working = std::exchange(gstrWorkingDataFile, local(QStringLiteral("_Orvane.orv")));
    const auto restore = qScopeGuard([&] { gstrWorkingDataFile = working; });
    const QDateTime march(QDate(2024, 3, 1), QTime(8, 0, 0), Qt::UTC);
    const struct {
        const char* what;
        const char* zone;
        QString name;      // as the settings spell it
        QString served;    // on the server
        QDateTime stamp;   // the server's time of it
        QString kept;      // its local copy
        QString data = {}; // when the file is the booking file: the data file's name
    } cases[] = {
        {"a plain name", "UTC", QStringLiteral("data.txt"), QStringLiteral("data.txt"), march,
         QStringLiteral("data.txt")},
        // Only a conversion replaces the working record file.
        {"the working record file's name", "UTC", QStringLiteral("_orvane.ORV"), QStringLiteral("_orvane.ORV"), march,
         QStringLiteral("_Orvane.fetched.orv")},
        // 02:30 that night is no time on a Berlin clock.
        {"stamped in the hour a local clock skips", "Europe/Berlin", QStringLiteral("data.txt"),
         QStringLiteral("data.txt"), QDateTime(QDate(2026, 3, 29), QTime(2, 30, 0), Qt::UTC),
         QStringLiteral("data.txt")},
        {"a name in a folder", "UTC", QStringLiteral("\\Exports/Daily\\data.txt"),
         QStringLiteral("Exports/Daily/data.txt"), march, QStringLiteral("data.txt")},
        {"a booking file kept under a name of its own", "UTC", QStringLiteral("Bookings\\data.txt"),
         QStringLiteral("Bookings/data.txt"), march, QStringLiteral("data.booking.txt"),
         QStringLiteral("Exports\\data.txt")},
    };
    const auto downloads = [&] { return server.commands().filter(QStringLiteral("RETR")).size(); };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const testsupport::LocalZone zone(c.zone);
        for (const QString& f : QDir(data.path()).entryList(QDir::Files | QDir::Hidden))
            QFile::remove(local(f));
        gstrFTPFilename = c.data.isEmpty() ? c.name : c.data;
        gstrFTPBookingFilename = c.data.isEmpty() ? QString() : c.name;
        const auto retrieve = c.data.isEmpty() ? retrieveFTPDataFile : retrieveFTPBookingFile;
        server.putFile(c.served, "one\r\n");
        setServerFileTime(server, c.served, c.stamp);
        const ftp::FileState copy(c.stamp.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")), 5);
        auto frm = makeFrm();
        const int before = downloads();
        EXPECT_TRUE(retrieve(*frm));
        EXPECT_EQ(frm->report(c.name), (FetchReport{FetchReport::Outcome::Took, copy, copy}));
        EXPECT_EQ(testsupport::readAll(local(c.kept)), QByteArray("one\r\n"));

        // A copy the board did not hold would be left on the server now.
        frm->setMayTake([](const QString&, const ftp::FileState&) { return false; });
        EXPECT_TRUE(retrieve(*frm));
        EXPECT_EQ(frm->report(c.name), (FetchReport{FetchReport::Outcome::Unchanged, copy, copy}));
        EXPECT_EQ(downloads() - before, 1);

        gstrFTPPassword = QStringLiteral("not-the-Password");
        EXPECT_FALSE(retrieve(*frm));
        EXPECT_EQ(frm->report(c.name), (FetchReport{FetchReport::Outcome::Failed, {}, copy}));
        gstrFTPPassword = QString::fromLatin1(FtpTestServer::kPassword);
    }
}

namespace {

// The curl client, noting the file behind each staged download.
class NotingClient final : public ftp::FtpClient {
public:
    ftp::Result login(const ftp::Account& a) override { return inner.login(a); }
    bool connected() const override { return inner.connected(); }
    void disconnect() override { inner.disconnect(); }
    void abort() override { inner.abort(); }
    ftp::Result list(const QString& folder, QList<ftp::Entry>& entries) override { return inner.list(folder, entries); }
    ftp::Result download(const QString& remote, const QString& local, qint64 size) override
    {
        const ftp::Result r = inner.download(remote, local, size);
        staged = FileStamp::of(local);
        return r;
    }
    ftp::Result upload(const QString& l, const QString& r) override { return inner.upload(l, r); }
    ftp::Result stage(const QString& l, const QString& r, QString& t) override { return inner.stage(l, r, t); }
    ftp::Result replace(const QString& t, const QString& r, qint64 s, const QString& m) override
    {
        return inner.replace(t, r, s, m);
    }
    ftp::Result modifiedTime(const QString& r, QString& s) override { return inner.modifiedTime(r, s); }
    ftp::Result command(const QString& line, QString* reply) override { return inner.command(line, reply); }

    ftp::CurlFtpClient inner{ftp::Timeouts{2000, 1500}};
    FileStamp staged;
};

} // namespace

TEST_F(FetchTest, TheDownloadItselfTakesTheLocalFilesPlace)
{
    // Renamed into place, not copied over the old file: the local file is
    // the very file the download wrote.
    FtpTestServer server;
    START_SERVER(server);
    gstrFTPServer = server.host();
    server.putFile(QStringLiteral("data.txt"), "new\r\n");
    testsupport::writeAll(local(QStringLiteral("data.txt")), "old");
    const FileStamp old = FileStamp::of(local(QStringLiteral("data.txt")));
    auto client = std::make_unique<NotingClient>();
    NotingClient* noting = client.get();
    FrmFTP frm(std::move(client));
    ASSERT_TRUE(retrieveFTPDataFile(frm));
    const FileStamp now = FileStamp::of(local(QStringLiteral("data.txt")));
    EXPECT_EQ(testsupport::readAll(local(QStringLiteral("data.txt"))), QByteArray("new\r\n"));
    EXPECT_TRUE(noting->staged.exists);
    EXPECT_EQ(now.inode, noting->staged.inode);
    EXPECT_NE(now.inode, old.inode);
}
