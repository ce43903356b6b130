// The program binary, started headless in a temporary program folder.
#include "shell/singleinstance.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace {

using testsupport::waitFor;

class ProgramRun : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(home.isValid()); }
    void TearDown() override
    {
        for (QProcess* p : {&first, &second})
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
    }

    // Starts the program in the program folder `below` the temporary one.
    void launch(QProcess& p, const QString& below = QString())
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ORVANE_HOME"), below.isEmpty() ? home.path() : home.filePath(below));
        env.insert(QStringLiteral("ORVANE_PLAYER_FOLDER"), home.filePath(QStringLiteral("player")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        // A second start's word on standard error is read by the test.
        p.setProcessChannelMode(&p == &second ? QProcess::SeparateChannels : QProcess::ForwardedErrorChannel);
        p.start(QStringLiteral(ORV_APP_BINARY), {});
        ASSERT_TRUE(p.waitForStarted(10000));
    }

    // `name` in the program folder `below` the temporary one.
    QString at(const char* name, const QString& below = QString()) const
    {
        return home.filePath((below.isEmpty() ? QString() : below + QLatin1Char('/')) + QString::fromLatin1(name));
    }
    bool folderMade(const char* name, const QString& below = QString()) const
    {
        return QFileInfo(at(name, below)).isDir();
    }

    QTemporaryDir home;
    QProcess first;
    QProcess second;
};

} // namespace

TEST_F(ProgramRun, StartsMakesItsFoldersRunsOnPastASecondStartAndEndsCleanlyOnTerminate)
{
    // A program folder that is there, and a new board's that is not yet.
    for (const QString& below : {QString(), QStringLiteral("board/Orvane")}) {
        SCOPED_TRACE(below.toStdString());
        launch(first, below);
        EXPECT_TRUE(waitFor([&] { return folderMade("MasterTemplateLists", below); }, 10000));
        // Let the start-up run, then ask it to end as the session would.
        EXPECT_FALSE(first.waitForFinished(1500));
        for (const char* f : {"Data", "Media", "Remote", "Templates", "MasterTemplateLists"})
            EXPECT_TRUE(folderMade(f, below)) << f;
        launch(second, below);
        ASSERT_TRUE(second.waitForFinished(10000));
        EXPECT_EQ(second.exitCode(), 0);
        const QString said = QString::fromLocal8Bit(second.readAllStandardError());
        EXPECT_TRUE(said.contains(QFileInfo(home.filePath(below)).canonicalFilePath() +
                                  QStringLiteral("; it was asked to show its window")))
            << said.toStdString();
        EXPECT_EQ(first.state(), QProcess::Running);
        first.terminate();
        ASSERT_TRUE(first.waitForFinished(10000));
        EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(first.exitCode(), 0);
        EXPECT_FALSE(QFileInfo::exists(at("ZQOrvane.lock", below)));
    }
}

TEST_F(ProgramRun, ASecondStartMakesNoFolderAndAsksForTheWindow)
{
    SingleInstance running(home.path());
    ASSERT_TRUE(running.acquire());
    int requests = 0;
    QObject::connect(&running, &SingleInstance::activationRequested, [&] { ++requests; });

    launch(second);
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(waitFor([&] { return requests == 1; }, 5000));
    EXPECT_FALSE(folderMade("Data"));
    EXPECT_FALSE(folderMade("Media"));
}
