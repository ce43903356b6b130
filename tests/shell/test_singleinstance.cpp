// One running copy per program folder.
#include "shell/singleinstance.h"
#include "shelltestsupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
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
    // A new board's folder, made by its first start (also one reached
    // through a link); and a running copy whose lock is gone (one that
    // started where no lock file could be made): a later copy hands over
    // all the same.
    enum class Kind { NotMadeYet, ThroughALink, LockGone };
    for (const Kind kind : {Kind::NotMadeYet, Kind::ThroughALink, Kind::LockGone}) {
        SCOPED_TRACE(int(kind));
        QTemporaryDir dir;
        QString folder = dir.filePath(QStringLiteral("board/Orvane"));
        if (kind == Kind::ThroughALink) {
            ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("disk")));
            ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("disk")), dir.filePath(QStringLiteral("board"))));
        }
        SingleInstance first(folder);
        ASSERT_TRUE(first.acquire());
        EXPECT_TRUE(QFileInfo(folder).isDir());
        if (kind == Kind::LockGone) {
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

TEST(SingleInstance, ALockNoRunningCopyHoldsIsTakenOver)
{
    // A process that has ended leaves its number behind.
    QProcess gone;
    gone.start(QStringLiteral("sleep"), {QStringLiteral("0.1")});
    ASSERT_TRUE(gone.waitForStarted(5000));
    const QByteArray gonePid = QByteArray::number(gone.processId());
    ASSERT_TRUE(gone.waitForFinished(5000));
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    // A board in a container names its own process number, which the next
    // start may have again.
    const QByteArray ownPid = QByteArray::number(QCoreApplication::applicationPid());
    const QByteArray ownName = QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8();

    struct Case {
        const char* name;
        QByteArray contents;
        bool young = false;      // written just now (a start that was killed at once)
        bool heldByLive = false; // a live copy holds it, but does not answer
    };
    const Case cases[] = {
        {"a copy that has ended", gonePid + "\nZQOrvane\n" + host + "\n"},
        {"empty", ""},
        {"empty and just written", "", true},
        {"garbage", "\x01\xffnot a lock\n\n\n"},
        {"another host", ownPid + "\nZQOrvane\nanother-board\n"},
        {"the next start's own number", ownPid + "\n" + ownName + "\n" + host + "\n"},
        {"held by a live copy that does not answer", "", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        SingleInstance probe(dir.path());
        QLockFile live(probe.lockPath());
        if (c.heldByLive) {
            ASSERT_TRUE(live.tryLock(0));
        } else {
            QFile lock(probe.lockPath());
            ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
            lock.write(c.contents);
            if (!c.young)
                lock.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime);
            lock.close();
        }

        // Nobody answers; the next start takes the lock over unless a live
        // process holds it.
        EXPECT_FALSE(probe.activateRunning(200));
        SingleInstance next(dir.path());
        EXPECT_EQ(next.acquire(), !c.heldByLive);
        EXPECT_TRUE(QFileInfo::exists(probe.lockPath()));
    }
}
