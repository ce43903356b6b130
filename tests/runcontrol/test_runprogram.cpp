// The program binary as a board runs it: Player mode from its settings file,
// pages for the local player or its own display, a restart on new data,
// commands, and a clean end on SIGTERM.
#include "tests/boardfolder.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

using boardfolder::record;
using boardfolder::recordsOnlyTemplate;
using testsupport::readAll;
using testsupport::waitFor;
using testsupport::writeAll;

namespace {

// The board's play-list.
const QStringList kPlayList{QStringLiteral("Template with 1 record"), QStringLiteral("Template with 3 records")};

class RunProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        for (const char* f : {"Data", "Media", "player/Media", "player/Settings"})
            QDir().mkpath(path(f));
        writeAll(path("OrvaneSettings.ini"), boardfolder::settings(home.path(), 1, kPlayList));
        writeAll(path("source.orv"), record("Opening Dinner", "Hall A") + record("Board Meeting", "Room 2"));
        for (const char* name : {"Data/Template with 1 record.ORVT", "Data/Template with 3 records.ORVT"})
            writeAll(path(name), recordsOnlyTemplate());
    }
    void TearDown() override
    {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(5000);
        }
    }

    void start()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ORVANE_HOME"), home.path());
        env.insert(QStringLiteral("ORVANE_PLAYER_FOLDER"), path("player"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QStringLiteral(ORV_APP_BINARY), {});
        ASSERT_TRUE(program.waitForStarted(10000));
    }
    // SIGTERM ends the program normally, with no temporary file of an
    // atomic write left anywhere.
    void terminateCleanly()
    {
        program.terminate();
        ASSERT_TRUE(program.waitForFinished(10000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
        const QRegularExpression temporary(QStringLiteral("^\\..+\\.[A-Za-z0-9]{6}$"));
        QDirIterator it(home.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString name = QFileInfo(it.next()).fileName();
            EXPECT_FALSE(temporary.match(name).hasMatch()) << name.toStdString();
        }
    }
    QString path(const char* name) const { return home.filePath(QString::fromLatin1(name)); }
    QByteArray pageHash() const
    {
        return QCryptographicHash::hash(readAll(path("Media/Page.png")), QCryptographicHash::Sha1);
    }
    // The distinct pages shown during `ms` milliseconds.
    QSet<QByteArray> pagesDuring(int ms) const
    {
        QSet<QByteArray> seen;
        waitFor(
            [&] {
                if (QFileInfo::exists(path("Media/Page.png")))
                    seen.insert(pageHash());
                return false;
            },
            ms);
        return seen;
    }

    QTemporaryDir home;
    QProcess program;
};

} // namespace

TEST_F(RunProgram, APlayerBoardPagesRestartsOnNewDataTakesPushedSettingsAndEndsCleanly)
{
    start();

    // Pages for the local player.
    ASSERT_TRUE(waitFor([&] { return QFileInfo::exists(path("player/Media/Page.png")); }, 15000));
    EXPECT_TRUE(QFileInfo::exists(path("Media/Page.png")));
    EXPECT_TRUE(waitFor(
        [&] { return readAll(path("player/Settings/Settings.ini")).contains("VariablesUpdateImage=Page.png"); }, 5000));
    const QSet<QByteArray> before = pagesDuring(2500);
    ASSERT_FALSE(before.isEmpty());

    // A new record in the source restarts the run, and it shows.
    QFile source(path("source.orv"));
    ASSERT_TRUE(source.open(QIODevice::Append));
    source.write(record("Gala Evening", "Ballroom"));
    source.setFileTime(QDateTime::currentDateTime().addSecs(3600), QFileDevice::FileModificationTime);
    source.close();
    ASSERT_TRUE(waitFor([&] { return readAll(path("Data/_Orvane.orv")).contains("Gala Evening"); }, 10000));
    EXPECT_TRUE(waitFor([&] { return !before.contains(pageHash()); }, 10000));

    // Settings pushed with command "1" are taken and saved.
    writeAll(path("UpdatedSettings.ini"), boardfolder::settings(home.path(), 7, kPlayList));
    writeAll(path("OrvaneConfirm.txt"), "1\r\n");
    EXPECT_TRUE(waitFor([&] { return readAll(path("OrvaneSettings.ini")).contains("Dwell Time=7"); }, 10000));
    EXPECT_TRUE(waitFor([&] { return readAll(path("OrvaneConfirm.txt")) == "0\r\n"; }, 5000));

    terminateCleanly();
}

TEST_F(RunProgram, AStandAloneBoardShowsItsPagesAndRestartsOnACommand)
{
    writeAll(path("OrvaneSettings.ini"), boardfolder::settings(home.path(), 1, kPlayList, true));
    start();
    ASSERT_TRUE(waitFor([&] { return QFileInfo::exists(path("Media/Page.png")); }, 15000));

    // The display runs on while a command restarts the run, and pages follow.
    writeAll(path("OrvaneConfirm.txt"), "2\r\n");
    ASSERT_TRUE(waitFor([&] { return readAll(path("OrvaneConfirm.txt")) == "0\r\n"; }, 10000));
    ASSERT_TRUE(QFile::remove(path("Media/Page.png")));
    EXPECT_TRUE(waitFor([&] { return QFileInfo::exists(path("Media/Page.png")); }, 10000));

    terminateCleanly();
}
