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

    void launch(QProcess& p)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ORVANE_HOME"), home.path());
        env.insert(QStringLiteral("ORVANE_PLAYER_FOLDER"), home.filePath(QStringLiteral("player")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(QStringLiteral(ORV_APP_BINARY), {});
        ASSERT_TRUE(p.waitForStarted(10000));
    }

    bool folderMade(const char* name) const { return QFileInfo(home.filePath(QString::fromLatin1(name))).isDir(); }

    QTemporaryDir home;
    QProcess first;
    QProcess second;
};

} // namespace

TEST_F(ProgramRun, StartsMakesItsFoldersRunsOnPastASecondStartAndEndsCleanlyOnTerminate)
{
    launch(first);
    EXPECT_TRUE(waitFor([&] { return folderMade("MasterTemplateLists"); }, 10000));
    // Let the start-up run, then ask it to end as the session would.
    EXPECT_FALSE(first.waitForFinished(1500));
    for (const char* f : {"Data", "Media", "Remote", "Templates", "MasterTemplateLists"})
        EXPECT_TRUE(folderMade(f)) << f;
    launch(second);
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    first.terminate();
    ASSERT_TRUE(first.waitForFinished(10000));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_FALSE(QFileInfo::exists(home.filePath(QStringLiteral("ZQOrvane.lock"))));
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
