// One running copy per program folder.
#include "shell/singleinstance.h"
#include "shelltestsupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>

using shelltest::waitFor;

TEST(SingleInstance, ASecondCopyHandsOverToTheFirst)
{
    QTemporaryDir dir;
    SingleInstance first(dir.path());
    ASSERT_TRUE(first.acquire());
    int requests = 0;
    QObject::connect(&first, &SingleInstance::activationRequested, [&] { ++requests; });

    SingleInstance second(dir.path());
    EXPECT_FALSE(second.acquire());
    EXPECT_TRUE(second.activateRunning());
    EXPECT_TRUE(waitFor([&] { return requests == 1; }));

    // Two more starts, two more requests.
    SingleInstance third(dir.path());
    EXPECT_FALSE(third.acquire());
    EXPECT_TRUE(third.activateRunning());
    EXPECT_TRUE(third.activateRunning());
    EXPECT_TRUE(waitFor([&] { return requests == 3; }));
}

TEST(SingleInstance, TheFirstCopyHoldsTheFolderFromItsStart)
{
    // A new board's folder, made by its first start; and a running copy
    // whose lock is gone (one that started where no lock file could be
    // made): a later copy hands over all the same.
    for (const bool lockGone : {false, true}) {
        SCOPED_TRACE(lockGone ? "the lock is gone" : "a folder not made yet");
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("board/Orvane"));
        SingleInstance first(folder);
        ASSERT_TRUE(first.acquire());
        EXPECT_TRUE(QFileInfo(folder).isDir());
        if (lockGone) {
            ASSERT_TRUE(QFile::remove(first.lockPath()));
        }
        SingleInstance second(folder);
        EXPECT_FALSE(second.acquire());
        EXPECT_EQ(second.serverName(), first.serverName());
        EXPECT_TRUE(second.activateRunning());
    }
}

TEST(SingleInstance, TheLockBelongsToOneFolderAndIsFreeAgainWhenItsHolderEnds)
{
    QTemporaryDir dir;
    QTemporaryDir other;
    {
        SingleInstance first(dir.path());
        ASSERT_TRUE(first.acquire());
        SingleInstance elsewhere(other.path());
        EXPECT_TRUE(elsewhere.acquire());
        EXPECT_NE(first.serverName(), elsewhere.serverName());
    }
    SingleInstance next(dir.path());
    EXPECT_TRUE(next.acquire());
    SingleInstance late(dir.path());
    EXPECT_FALSE(late.acquire());
}

TEST(SingleInstance, AStaleLockIsTakenOver)
{
    QTemporaryDir dir;
    // A process that has ended leaves its number behind.
    QProcess gone;
    gone.start(QStringLiteral("sleep"), {QStringLiteral("0.1")});
    ASSERT_TRUE(gone.waitForStarted(5000));
    const qint64 pid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished(5000));
    SingleInstance probe(dir.path());
    QFile lock(probe.lockPath());
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(pid) + "\nZQOrvane\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();

    // Nobody answers for a dead copy; the next start takes the lock over.
    EXPECT_FALSE(probe.activateRunning(200));
    SingleInstance next(dir.path());
    EXPECT_TRUE(next.acquire());
}
