// The update run and Restart Orvane against a recording upload layer.
#include "remote/updaterun.h"
#include "tests/remote/fakeview.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <functional>
#include <map>

using namespace remote;
using testsupport::readAll;
using testsupport::writeAll;

namespace {

// Records every probe and transfer; answers from scripts.
class FakeUploader final : public Uploader {
public:
    bool probe(const QString& address) override
    {
        calls << "probe " + address;
        return !unreachable.contains(address);
    }
    TransferStatus put(const QString& address, const QString& local, const QString& remote) override
    {
        QString call = address + " " + remote;
        if (remote == remoteConfirmPath())
            call += " = " + QString::fromUtf8(readAll(local)).trimmed();
        calls << call;
        if (onPut)
            onPut(remote);
        const auto it = answers.find(remote);
        return it == answers.end() ? TransferStatus::Completed : it->second;
    }
    QStringList calls;
    QStringList unreachable;
    std::map<QString, TransferStatus> answers;
    std::function<void(const QString&)> onPut;
};

class Run : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QDir().mkpath(dir.filePath("Media"));
        setup.mediaFolder = dir.filePath("Media");
        setup.confirmFile = dir.filePath("Remote/CommConfirm.txt");
        setup.settingsFile = file("OrvaneSettings.ini", "[Settings]\r\nDwell=5\r\n");
    }
    QString file(const QString& name, const QByteArray& bytes = "x")
    {
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        writeAll(path, bytes);
        return path;
    }
    // A template in slot `slot` with the given background keys.
    void slot(int slot, const QByteArray& background = "")
    {
        setup.slots[size_t(slot)] = file(QString("t%1.ORVT").arg(slot), "[BACKGROUND]\r\n" + background) + " ";
    }
    RunEnd go()
    {
        UpdateRun run(uploader, view, cancel);
        return run.run(setup);
    }

    QTemporaryDir dir;
    RunSetup setup;
    FakeUploader uploader;
    FakeView view;
    std::atomic<bool> cancel{false};
};

} // namespace

TEST_F(Run, FilesPerBoardInOrderForBothModes)
{
    file("Media/back.jpg");
    const QString pip = file("Media/clips/clip.mp4");
    slot(0, "Image File=back.jpg\r\nPiP Windows=1`" + pip.toUtf8() + "`0,0,1,1\r\n");
    slot(3, "Image File=C:\\old\\missing.jpg\r\n");
    setup.addresses = {" 10.0.0.1 ", "10.0.0.2"};
    ASSERT_EQ(go(), RunEnd::Done);
    const QStringList board1 = {"probe 10.0.0.1",
                                "10.0.0.1 Orvane/Data/Default Template.ORVT",
                                "10.0.0.1 Orvane/Media/back.jpg",
                                "10.0.0.1 Orvane/Media/clip.mp4",
                                "10.0.0.1 Orvane/Data/Template with 3 records.ORVT",
                                "10.0.0.1 Orvane/OrvaneConfirm.txt = 2"};
    EXPECT_EQ(uploader.calls.mid(0, 6), board1);
    EXPECT_EQ(uploader.calls.size(), 12);
    EXPECT_EQ(view.status, QString("Finished updating settings to 10.0.0.2"));
    EXPECT_EQ(view.icons, (std::map<int, bool>{{0, true}, {1, true}}));

    setup.mode = 1;
    setup.addresses = {"10.0.0.3"};
    uploader.calls.clear();
    ASSERT_EQ(go(), RunEnd::Done);
    EXPECT_EQ(uploader.calls.mid(4),
              QStringList({"10.0.0.3 Orvane/Data/Template with 3 records.ORVT", "10.0.0.3 Orvane/UpdatedSettings.ini",
                           "10.0.0.3 Orvane/OrvaneConfirm.txt = 1"}));
}

TEST_F(Run, RefusalsAndMessagesInOrder)
{
    file("Media/in use.jpg");
    slot(0, "Image File=in use.jpg\r\nPiP Windows=1\r\n"); // no PiP file part
    slot(1, "Image File=..\r\n");
    slot(2, "Image File=back.jpg\r\n");
    setup.wrongTemplate[2] = true;
    setup.slots[4] = dir.filePath("missing.ORVT");
    setup.mode = 1;
    setup.addresses = {"10.0.0.9", "bad host", "10.0.0.1"};
    uploader.unreachable = {"10.0.0.9"};
    uploader.answers[remoteMediaPath("in use.jpg")] = TransferStatus::FileInUsed;
    uploader.answers[remoteSettingsPath()] = TransferStatus::Ready;
    ASSERT_EQ(go(), RunEnd::Done);
    // Everything but the routine lines, in order.
    EXPECT_EQ(view.lines.filter(QRegularExpression("^(\\*|!|Background)")),
              QStringList({"*** Could not connect to 10.0.0.9.", "*** Could not connect to bad host.",
                           "Background media file is playing.", "!!!Error sending template background media file.",
                           "!!!This is a wrong template file to send, will go to next template file.",
                           "!!!Error sending Orvane settings file.",
                           "!!!Orvane confirm file not sent: not every file arrived."}));
    EXPECT_EQ(view.lines.last(), QString("Finished sending process."));
    // No "1" without a complete settings file; an unusable address is never probed.
    EXPECT_FALSE(uploader.calls.filter("OrvaneConfirm").size());
    EXPECT_FALSE(uploader.calls.contains("probe bad host"));
    EXPECT_EQ(view.icons, (std::map<int, bool>{{0, false}, {1, false}, {2, false}}));
}

TEST_F(Run, CommandGoesOnlyWhenEveryTransferSucceeded)
{
    file("Media/a.jpg");
    slot(0, "Image File=a.jpg\r\n");
    // A template refused for its slot is no failed transfer.
    slot(1);
    setup.wrongTemplate[1] = true;
    setup.mode = 1;
    setup.addresses = {"10.0.0.1"};
    const struct {
        QString remote;
        TransferStatus status;
        bool sent;
    } cases[] = {{remoteMediaPath("a.jpg"), TransferStatus::Completed, true},
                 // The board plays that file: it keeps the one it has.
                 {remoteMediaPath("a.jpg"), TransferStatus::FileInUsed, true},
                 {remoteMediaPath("a.jpg"), TransferStatus::Ready, false},
                 {remoteTemplatePath(0), TransferStatus::ConnectionReset, false},
                 {remoteSettingsPath(), TransferStatus::Ready, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.remote.toStdString() + " " + std::to_string(int(c.status)));
        uploader.answers = {{c.remote, c.status}};
        uploader.calls.clear();
        view.lines.clear();
        view.icons.clear();
        go();
        EXPECT_EQ(view.icons[0], c.sent);
        EXPECT_EQ(uploader.calls.filter("OrvaneConfirm").size(), c.sent ? 1 : 0);
        EXPECT_EQ(view.lines.contains("!!!Orvane confirm file not sent: not every file arrived."), !c.sent);
        EXPECT_EQ(view.lines.last(), QString("Finished sending process."));
    }
}

TEST_F(Run, MediaAreSentOnlyFromTheMediaFolder)
{
    const QString a = file("Media/a.jpg");
    file("Media/sub/b.mp4");
    file("Media/notes.txt");
    const QString outside = file("outside.jpg");
    const QString secret = file("secret.ini", "[SETTINGS]\r\nPassword=kv8ruler\r\n");
    ASSERT_TRUE(QFile::link(outside, dir.filePath("Media/link.jpg")));
    ASSERT_TRUE(QFile::link(dir.path(), dir.filePath("Media/up")));
    const struct {
        QByteArray background;
        QByteArray pip;
        const char* sent; // the media file sent, "" none
        bool refused;
    } cases[] = {
        {"a.jpg", "", "a.jpg", false},
        {a.toUtf8(), "", "a.jpg", false},
        {"sub\\b.mp4", "", "b.mp4", false}, // from the Media folder, not the working folder
        {"", "sub/b.mp4", "b.mp4", false},
        {"missing.jpg", "", "", false},
        {"C:\\Orvane\\Media\\a.jpg", "", "", false}, // another machine's path
        {secret.toUtf8(), "", "", true},
        {outside.toUtf8(), "", "", true},
        {"../secret.ini", "", "", true},
        {"..\\secret.ini", "", "", true},
        {"../outside.jpg", "", "", true},
        {"sub/../a.jpg", "", "", true},
        {"link.jpg", "", "", true},
        {"up/outside.jpg", "", "", true},
        {"notes.txt", "", "", true},
        {"", secret.toUtf8(), "", true},
        {"", "..\\secret.ini", "", true},
    };
    setup.addresses = {"10.0.0.1"};
    for (const auto& c : cases) {
        SCOPED_TRACE((c.background + c.pip).toStdString());
        QByteArray keys = "Image File=" + c.background + "\r\n";
        if (!c.pip.isEmpty())
            keys += "PiP Windows=1`" + c.pip + "`0|0|1|1\r\n";
        slot(0, keys);
        uploader.calls.clear();
        view.lines.clear();
        go();
        const QStringList media = uploader.calls.filter("/Media/");
        EXPECT_EQ(media.join(' '), *c.sent ? "10.0.0.1 " + remoteMediaPath(c.sent) : QString());
        const QString error = c.pip.isEmpty() ? "!!!Error sending template background media file."
                                              : "!!!Error sending template background image file.";
        EXPECT_EQ(view.lines.filter(QRegularExpression("^!!!Error sending template background")),
                  c.refused ? QStringList{error} : QStringList());
        EXPECT_EQ(uploader.calls.filter("OrvaneConfirm").isEmpty(), c.refused);
    }
}

TEST_F(Run, CancelBetweenFilesAndBetweenBoards)
{
    file("Media/a.jpg");
    slot(0, "Image File=a.jpg\r\n");
    slot(1);
    setup.addresses = {"10.0.0.1", "10.0.0.2"};
    // Cancelled while the first template goes: that transfer aborts quietly
    // and nothing else is sent, not even that template's media.
    uploader.onPut = [this](const QString&) { cancel = true; };
    uploader.answers[remoteTemplatePath(0)] = TransferStatus::Abort;
    EXPECT_EQ(go(), RunEnd::Cancelled);
    EXPECT_EQ(uploader.calls, QStringList({"probe 10.0.0.1", "10.0.0.1 Orvane/Data/Default Template.ORVT"}));
    EXPECT_EQ(view.lines.last(), QString("Sending template file: t0.ORVT"));
    EXPECT_TRUE(view.icons.empty());

    // Cancelled during the first board's confirm file: the second board is
    // not even probed.
    cancel = false;
    uploader.calls.clear();
    uploader.answers.clear();
    uploader.onPut = [this](const QString& remote) {
        if (remote == remoteConfirmPath())
            cancel = true;
    };
    EXPECT_EQ(go(), RunEnd::Cancelled);
    EXPECT_EQ(uploader.calls.last(), QString("10.0.0.1 Orvane/OrvaneConfirm.txt = 2"));
    EXPECT_FALSE(uploader.calls.contains("probe 10.0.0.2"));
}

TEST_F(Run, RestartSendsTheConfirmFileAlone)
{
    UpdateRun run(uploader, view, cancel);
    EXPECT_EQ(run.restart("10.0.0.4", setup.confirmFile), TransferStatus::Completed);
    EXPECT_EQ(uploader.calls, QStringList({"10.0.0.4 Orvane/OrvaneConfirm.txt = 2"}));
    EXPECT_EQ(readAll(setup.confirmFile), QByteArray("2\r\n"));
    // A confirm file that cannot be written is never sent.
    uploader.calls.clear();
    file("blocked/x");
    EXPECT_EQ(run.restart("10.0.0.4", dir.filePath("blocked")), TransferStatus::Ready);
    EXPECT_TRUE(uploader.calls.isEmpty());
}
