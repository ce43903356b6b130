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

#include <sys/stat.h>

using namespace remote;
using testsupport::readAll;
using testsupport::writeAll;

namespace {

// Records every probe, transfer, rename batch and clean-up; answers from
// scripts. A staged file's temporary is "~" and its remote path. Once the
// cancel flag is set a transfer ends as aborted, as a real one does, but
// for the command after the renames.
class FakeUploader final : public Uploader {
public:
    explicit FakeUploader(const std::atomic<bool>& cancel)
        : cancel_(cancel)
    {
    }
    bool probe(const QString& address) override
    {
        calls << "probe " + address;
        cause = probeCause;
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
        cause = "cause of " + remote;
        const auto it = answers.find(remote);
        if (cancel_ && !finishing_ && it == answers.end())
            return TransferStatus::Abort;
        return it == answers.end() ? TransferStatus::Completed : it->second;
    }
    TransferStatus putCommand(const QString& address, const QString& local, const QString& remote) override
    {
        finishing_ = true;
        const TransferStatus status = put(address, local, remote);
        finishing_ = false;
        return status;
    }
    TransferStatus stage(const QString& address, const QString& local, const QString& remote,
                         QString& temporary) override
    {
        const TransferStatus status = put(address, local, remote);
        temporary = status == TransferStatus::Completed || status == TransferStatus::Abort ? "~" + remote : QString();
        return status;
    }
    QList<TransferStatus> replace(const QString&, const QList<StagedFile>& files) override
    {
        if (onReplace && onReplace())
            return {TransferStatus::Abort}; // cancelled before the first rename
        QStringList targets;
        QList<TransferStatus> out;
        for (const StagedFile& f : files) {
            targets << f.target;
            const auto at = renamesAt.find(int(out.size()));
            const auto it = renames.find(f.target);
            out << (at != renamesAt.end() ? at->second : it == renames.end() ? TransferStatus::Completed : it->second);
            cause = "cause of renaming " + f.target;
            aside = f.target == asideTarget ? "~old " + f.target : QString();
            unknown = f.target == unknownTarget;
            if (out.last() != TransferStatus::Completed && !(out.last() == TransferStatus::FileInUsed && f.keepInUse))
                break;
        }
        calls << "replace " + targets.join('|');
        return out;
    }
    bool discard(const QString&, const QStringList& temporaries) override
    {
        calls << "discard " + temporaries.join('|');
        cause = discardCause;
        return discardCause.isEmpty();
    }
    QString lastCause() const override { return cause; }
    QString oldCopyAside() const override { return aside; }
    bool renameOutcomeUnknown() const override { return unknown; }

    QStringList calls;
    QStringList unreachable;
    std::map<QString, TransferStatus> answers; // by remote path, for put and stage
    std::map<QString, TransferStatus> renames; // by remote path
    std::map<int, TransferStatus> renamesAt;   // by place in the rename list, before `renames`
    std::function<void(const QString&)> onPut;
    std::function<bool()> onReplace; // true: cancelled before the renames
    QString asideTarget;             // its old copy stays moved aside when its rename fails
    QString unknownTarget;           // the board's answer to its rename is lost when it fails
    QString probeCause;              // why a board could not be reached
    QString discardCause;            // why the clean-up gave up; "" it did not
    QString aside;
    bool unknown = false;
    QString cause;

private:
    const std::atomic<bool>& cancel_;
    bool finishing_ = false;
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
    std::atomic<bool> cancel{false};
    FakeUploader uploader{cancel};
    FakeView view;
};

} // namespace

TEST_F(Run, FilesPerBoardInOrderForBothModes)
{
    file("Media/back.jpg");
    const QString pip = file("Media/clips/clip.mp4");
    slot(0, "Image File=back.jpg\r\nPiP Windows=1`" + pip.toUtf8() + "`0,0,1,1\r\n");
    slot(3, "Image File=C:\\old\\missing.jpg\r\n");
    view.boards = {" 10.0.0.1 ", "10.0.0.2"};
    ASSERT_EQ(go(), RunEnd::Done);
    const QStringList board1 = {"probe 10.0.0.1", "10.0.0.1 Orvane/Data/Default Template.ORVT",
                                "10.0.0.1 Orvane/Media/back.jpg", "10.0.0.1 Orvane/Media/clip.mp4",
                                "10.0.0.1 Orvane/Data/Template with 3 records.ORVT",
                                // Into place together, media first.
                                "replace Orvane/Media/back.jpg|Orvane/Media/clip.mp4|Orvane/Data/Default "
                                "Template.ORVT|Orvane/Data/Template with 3 records.ORVT",
                                "10.0.0.1 Orvane/OrvaneConfirm.txt = 2"};
    EXPECT_EQ(uploader.calls.mid(0, 7), board1);
    EXPECT_EQ(uploader.calls.size(), 14);
    EXPECT_EQ(view.status, QString("Finished updating settings to 10.0.0.2"));
    EXPECT_EQ(view.icons, (std::map<int, bool>{{0, true}, {1, true}}));

    setup.mode = 1;
    view.boards = {"10.0.0.3"};
    uploader.calls.clear();
    ASSERT_EQ(go(), RunEnd::Done);
    EXPECT_EQ(uploader.calls.mid(4),
              QStringList({"10.0.0.3 Orvane/Data/Template with 3 records.ORVT", "10.0.0.3 Orvane/UpdatedSettings.ini",
                           "replace Orvane/Media/back.jpg|Orvane/Media/clip.mp4|Orvane/Data/Default "
                           "Template.ORVT|Orvane/Data/Template with 3 records.ORVT|Orvane/UpdatedSettings.ini",
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
    view.boards = {"10.0.0.9", "bad host", "10.0.0.1"};
    uploader.unreachable = {"10.0.0.9"};
    // Refused at its temporary name: a failed transfer, whatever the reply.
    uploader.answers[remoteMediaPath("in use.jpg")] = TransferStatus::FileInUsed;
    uploader.answers[remoteSettingsPath()] = TransferStatus::Ready;
    ASSERT_EQ(go(), RunEnd::Done);
    // Everything but the routine lines, in order.
    EXPECT_EQ(view.lines.filter(QRegularExpression("^(\\*|!|Background)")),
              QStringList({"*** Could not connect to 10.0.0.9.", "*** Could not connect to bad host.",
                           "!!!Cause: not a usable board address.", "!!!Error sending template background media file.",
                           "!!!Cause: cause of Orvane/Media/in use.jpg.",
                           "!!!Error sending template background media file.", "!!!Cause: outside the Media folder.",
                           "!!!This is a wrong template file to send, will go to next template file.",
                           "!!!Error sending Orvane settings file.", "!!!Cause: cause of Orvane/UpdatedSettings.ini.",
                           "!!!Orvane confirm file not sent: not every file arrived.",
                           "!!!No file was replaced: the board keeps its old files."}));
    // Nothing went into place; what was staged left the board again.
    EXPECT_TRUE(uploader.calls.filter("replace").isEmpty());
    EXPECT_EQ(uploader.calls.filter("discard"),
              QStringList({"discard ~Orvane/Data/Default Template.ORVT|~Orvane/Data/Template with 1 record.ORVT"}));
    EXPECT_EQ(view.lines.last(), QString("Finished sending process."));
    // No "1" without a complete settings file; an unusable address is never probed.
    EXPECT_FALSE(uploader.calls.filter("OrvaneConfirm").size());
    EXPECT_FALSE(uploader.calls.contains("probe bad host"));
    EXPECT_EQ(view.icons, (std::map<int, bool>{{0, false}, {1, false}, {2, false}}));
}

TEST_F(Run, CommandGoesOnlyWhenEveryFileIsInPlace)
{
    file("Media/a.jpg");
    slot(0, "Image File=a.jpg\r\n");
    // A template refused for its slot is no failed transfer.
    slot(1);
    setup.wrongTemplate[1] = true;
    setup.mode = 1;
    view.boards = {"10.0.0.1"};
    const QString media = remoteMediaPath("a.jpg");
    const QString tpl = remoteTemplatePath(0);
    const QString none = "";
    const QString noneReplaced = "!!!No file was replaced: the board keeps its old files.";
    const struct {
        QString remote;
        TransferStatus status;
        bool atRename;
        bool sent;
        QString report; // the last "!!!" line
    } cases[] = {
        {media, TransferStatus::Completed, false, true, none},
        // The board plays that file: it keeps the one it has when renamed;
        // a temporary name is never in use, so there it is a failure.
        {media, TransferStatus::FileInUsed, true, true, none},
        {media, TransferStatus::FileInUsed, false, false, noneReplaced},
        {media, TransferStatus::Ready, false, false, noneReplaced},
        {tpl, TransferStatus::ConnectionReset, false, false, noneReplaced},
        {remoteSettingsPath(), TransferStatus::Ready, false, false, noneReplaced},
        // A rename that fails part way: what went into place is named.
        {tpl, TransferStatus::Ready, true, false,
         "!!!Only part of the update reached the board, and no command was sent. Replaced: Media/a.jpg. Not "
         "replaced: Data/Default Template.ORVT, UpdatedSettings.ini."},
        {tpl, TransferStatus::FileInUsed, true, false,
         "!!!Only part of the update reached the board, and no command was sent. Replaced: Media/a.jpg. Not "
         "replaced: Data/Default Template.ORVT, UpdatedSettings.ini."},
        {media, TransferStatus::ConnectionReset, true, false,
         "!!!No file was replaced, and no command was sent: the board keeps its old files."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.remote.toStdString() + " " + std::to_string(int(c.status)) + (c.atRename ? " rename" : ""));
        uploader.answers.clear();
        uploader.renames.clear();
        (c.atRename ? uploader.renames : uploader.answers)[c.remote] = c.status;
        uploader.calls.clear();
        view.lines.clear();
        view.icons.clear();
        go();
        EXPECT_EQ(view.icons[0], c.sent);
        EXPECT_EQ(uploader.calls.filter("OrvaneConfirm").size(), c.sent ? 1 : 0);
        const QStringList reports = view.lines.filter(QRegularExpression("^!!!(?!This is a wrong template)"));
        EXPECT_EQ(reports.isEmpty() ? QString() : reports.last(), c.report);
        EXPECT_EQ(view.lines.last(), QString("Finished sending process."));
        // Whatever did not go into place leaves the board again.
        if (c.atRename && !c.sent) {
            EXPECT_EQ(uploader.calls.filter("discard").size(), 1);
        }
    }
    // A rename that fails with the board's old copy moved aside: the lines
    // say where it waits, and what was and was not replaced; the new file's
    // temporary goes.
    const struct {
        QString target;
        QStringList report; // the "!!!" lines after the error and its cause
        QString discarded;  // the temporaries deleted afterwards
    } asides[] = {
        {remoteSettingsPath(),
         {"!!!UpdatedSettings.ini: the board's old copy was moved aside to make room and could not be moved back; it "
          "waits there as ~old Orvane/UpdatedSettings.ini until the program starts on the board.",
          "!!!Only part of the update reached the board, and no command was sent. Replaced: Media/a.jpg, Data/Default "
          "Template.ORVT. Not replaced: UpdatedSettings.ini."},
         "~Orvane/UpdatedSettings.ini"},
        {media,
         {"!!!Media/a.jpg: the board's old copy was moved aside to make room and could not be moved back; it waits "
          "there as ~old Orvane/Media/a.jpg until the program starts on the board.",
          "!!!No file was replaced, and no command was sent."},
         "~Orvane/Media/a.jpg|~Orvane/Data/Default Template.ORVT|~Orvane/UpdatedSettings.ini"},
    };
    for (const auto& c : asides) {
        SCOPED_TRACE(c.target.toStdString());
        uploader.answers.clear();
        uploader.renames = {{c.target, TransferStatus::Ready}};
        uploader.asideTarget = c.target;
        uploader.calls.clear();
        view.lines.clear();
        go();
        EXPECT_EQ(view.lines.filter("!!!").mid(3), c.report);
        EXPECT_EQ(uploader.calls.filter("discard").join('|'), "discard " + c.discarded);
        EXPECT_TRUE(uploader.calls.filter("OrvaneConfirm").isEmpty());
    }
    uploader.asideTarget.clear();

    // Each failure line names its cause.
    uploader.renames.clear();
    uploader.answers = {{tpl, TransferStatus::Ready}};
    view.lines.clear();
    go();
    EXPECT_EQ(view.lines.filter("!!!").mid(0, 2),
              QStringList({"!!!Error sending template file.", "!!!Cause: cause of " + tpl + "."}));
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
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("Media/pipe.jpg")).constData(), 0600), 0);
    const char* const notMedia = "is not a picture or video";
    const char* const out = "outside the Media folder";
    const char* const link = "a symbolic link out of the Media folder";
    const struct {
        QByteArray background;
        QByteArray pip;
        const char* sent;  // the media file sent, "" none
        const char* cause; // why it was refused, "" not refused
    } cases[] = {
        {"a.jpg", "", "a.jpg", ""},
        {a.toUtf8(), "", "a.jpg", ""},
        {"sub\\b.mp4", "", "b.mp4", ""}, // from the Media folder, not the working folder
        {"", "sub/b.mp4", "b.mp4", ""},
        {"missing.jpg", "", "", ""},
        {"C:\\Orvane\\Media\\a.jpg", "", "", ""}, // another machine's path
        {secret.toUtf8(), "", "", notMedia},
        {outside.toUtf8(), "", "", out},
        {"../secret.ini", "", "", notMedia},
        {"..\\secret.ini", "", "", notMedia},
        {"../outside.jpg", "", "", out},
        {"sub/../a.jpg", "", "", out},
        {"..", "", "", out},
        {"link.jpg", "", "", link},
        {"up/outside.jpg", "", "", link},
        {"notes.txt", "", "", notMedia},
        {"pipe.jpg", "", "", "not a regular file"}, // never opened: a read would wait for a writer
        {"", secret.toUtf8(), "", notMedia},
        {"", "..\\secret.ini", "", notMedia},
    };
    view.boards = {"10.0.0.1"};
    for (const auto& c : cases) {
        SCOPED_TRACE((c.background + c.pip).toStdString());
        QByteArray keys = "Image File=" + c.background + "\r\n";
        if (!c.pip.isEmpty())
            keys += "PiP Windows=1`" + c.pip + "`0|0|1|1\r\n";
        slot(0, keys);
        uploader.calls.clear();
        view.lines.clear();
        go();
        const QStringList media = uploader.calls.filter(QRegularExpression("^10\\.0\\.0\\.1 .*/Media/"));
        EXPECT_EQ(media.join(' '), *c.sent ? "10.0.0.1 " + remoteMediaPath(c.sent) : QString());
        const QString error = c.pip.isEmpty() ? "!!!Error sending template background media file."
                                              : "!!!Error sending template background image file.";
        const QStringList errors =
            view.lines.filter(QRegularExpression("^!!!(Error sending template background|Cause)"));
        if (*c.cause) {
            ASSERT_EQ(errors.size(), 2);
            EXPECT_EQ(errors[0], error);
            EXPECT_TRUE(errors[1].startsWith("!!!Cause: ") && errors[1].contains(c.cause)) << errors[1].toStdString();
        } else {
            EXPECT_EQ(errors, QStringList());
        }
        EXPECT_EQ(uploader.calls.filter("OrvaneConfirm").isEmpty(), *c.cause != 0);
    }
}

TEST_F(Run, TemplatesThatAreNoRegularFilesAreNeverRead)
{
    // A named pipe in a slot: opening it would wait for a writer for ever.
    const QString pipe = dir.filePath("pipe.ORVT");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    setup.slots[0] = pipe;
    slot(1);
    view.boards = {"10.0.0.1"};
    ASSERT_EQ(go(), RunEnd::Done);
    EXPECT_EQ(
        view.lines.filter("!!!").mid(0, 2),
        QStringList({"!!!Error sending template file.", "!!!Cause: not a regular file (a device or a named pipe)."}));
    EXPECT_TRUE(view.lines.contains("Sending template file: pipe.ORVT"));
    EXPECT_FALSE(uploader.calls.join(' ').contains("Default Template"));
    EXPECT_TRUE(uploader.calls.filter("OrvaneConfirm").isEmpty());
    EXPECT_FALSE(view.icons[0]);
}

TEST_F(Run, CancelBetweenFilesAndBetweenBoards)
{
    file("Media/a.jpg");
    slot(0, "Image File=a.jpg\r\n");
    slot(1);
    view.boards = {"10.0.0.1", "10.0.0.2"};
    // Cancelled while the first template goes: that transfer aborts quietly,
    // its temporary leaves the board, and nothing else is sent, not even
    // that template's media.
    uploader.onPut = [this](const QString&) { cancel = true; };
    uploader.answers[remoteTemplatePath(0)] = TransferStatus::Abort;
    EXPECT_EQ(go(), RunEnd::Cancelled);
    EXPECT_EQ(uploader.calls, QStringList({"probe 10.0.0.1", "10.0.0.1 Orvane/Data/Default Template.ORVT",
                                           "discard ~Orvane/Data/Default Template.ORVT"}));
    EXPECT_EQ(view.lines.last(), QString("Sending template file: t0.ORVT"));
    EXPECT_TRUE(view.icons.empty());

    // Cancelled while the media file goes: the staged template goes too.
    cancel = false;
    uploader.calls.clear();
    uploader.answers = {{remoteMediaPath("a.jpg"), TransferStatus::Abort}};
    uploader.onPut = [this](const QString& remote) {
        if (remote.contains("/Media/"))
            cancel = true;
    };
    EXPECT_EQ(go(), RunEnd::Cancelled);
    EXPECT_EQ(uploader.calls.last(), QString("discard ~Orvane/Data/Default Template.ORVT|~Orvane/Media/a.jpg"));
    EXPECT_TRUE(uploader.calls.filter("replace").isEmpty());

    // The same on a slow link, whose clean-up gives up: one line names the
    // board whose temporaries are left, and says why.
    cancel = false;
    view.lines.clear();
    uploader.discardCause = "A time-out: the board stopped answering.";
    EXPECT_EQ(go(), RunEnd::Cancelled);
    EXPECT_EQ(view.lines.filter("!!!"),
              QStringList("!!!The temporary files of this update were left on 10.0.0.1 (a time-out: the board stopped "
                          "answering); the board deletes them when its program starts."));
    EXPECT_EQ(view.lines.last(), view.lines.filter("!!!").value(0));
    uploader.discardCause.clear();

    // Cancelled while the board is reached for the renames: nothing went
    // into place, and what was staged leaves the board quietly.
    cancel = false;
    uploader.calls.clear();
    uploader.answers.clear();
    uploader.onPut = nullptr;
    view.lines.clear();
    uploader.onReplace = [this] { return cancel = true; };
    EXPECT_EQ(go(), RunEnd::Cancelled);
    EXPECT_EQ(uploader.calls.last(), QString("discard ~Orvane/Media/a.jpg|~Orvane/Data/Default "
                                             "Template.ORVT|~Orvane/Data/Template with 1 record.ORVT"));
    EXPECT_TRUE(uploader.calls.filter("OrvaneConfirm").isEmpty());
    EXPECT_TRUE(view.lines.filter("!!!").isEmpty()) << view.lines.join('|').toStdString();
    EXPECT_TRUE(view.icons.empty());

    // Cancelled once the renames have begun (they all went, or one failed),
    // or while the command goes: the board is finished, with its command
    // when every file is in place, its lines and its icon; the second board
    // is not even probed.
    const struct {
        const char* when;
        bool duringRenames;
        TransferStatus lastRename;
        bool sent;
        QString closing; // the last line before the closing rules
    } cases[] = {
        {"renames", true, TransferStatus::Completed, true, "Finished Orvane sending confirm file."},
        {"renames, one failed", true, TransferStatus::Ready, false,
         "!!!Only part of the update reached the board, and no command was sent. Replaced: Media/a.jpg, Data/Default "
         "Template.ORVT. Not replaced: Data/Template with 1 record.ORVT."},
        {"command", false, TransferStatus::Completed, true, "Finished Orvane sending confirm file."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.when);
        cancel = false;
        uploader.calls.clear();
        view.lines.clear();
        view.icons.clear();
        uploader.renames = {{remoteTemplatePath(1), c.lastRename}};
        uploader.onReplace = [this, &c] {
            if (c.duringRenames)
                cancel = true;
            return false; // the renames have begun
        };
        uploader.onPut = [this](const QString& remote) {
            if (remote == remoteConfirmPath())
                cancel = true;
        };
        EXPECT_EQ(go(), RunEnd::Cancelled);
        EXPECT_EQ(uploader.calls.filter("replace").size(), 1);
        EXPECT_EQ(uploader.calls.filter("OrvaneConfirm").join('|'),
                  c.sent ? "10.0.0.1 Orvane/OrvaneConfirm.txt = 2" : QString());
        EXPECT_EQ(view.icons, (std::map<int, bool>{{0, c.sent}}));
        ASSERT_GE(view.lines.size(), 2);
        EXPECT_EQ(view.lines.mid(view.lines.size() - 2), QStringList({c.closing, "Finished sending process."}));
        EXPECT_FALSE(uploader.calls.contains("probe 10.0.0.2"));
    }
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

TEST_F(Run, ABoardThatCannotBeReachedSaysWhyWhenTheUploadLayerKnows)
{
    slot(0);
    const struct {
        QString address;
        QString cause;     // the upload layer's
        QStringList lines; // after "Starting sending process."
    } cases[] = {
        {"10.0.0.9",
         "the board replied 530 Login incorrect",
         {"*** Could not connect to 10.0.0.9.", "!!!Cause: the board replied 530 Login incorrect."}},
        {"10.0.0.9",
         "the board could not be reached (connection refused)",
         {"*** Could not connect to 10.0.0.9.", "!!!Cause: the board could not be reached (connection refused)."}},
        // Nothing to say: no line that only says so.
        {"10.0.0.9", "", {"*** Could not connect to 10.0.0.9."}},
        // Never probed, so the layer's last words are not about it.
        {"bad host", "stale", {"*** Could not connect to bad host.", "!!!Cause: not a usable board address."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address.toStdString() + " " + c.cause.toStdString());
        view.boards = {c.address, "10.0.0.1"};
        uploader.unreachable = {"10.0.0.9"};
        uploader.probeCause = c.cause;
        uploader.cause = c.cause;
        uploader.calls.clear();
        view.lines.clear();
        view.icons.clear();
        ASSERT_EQ(go(), RunEnd::Done);
        ASSERT_GE(view.lines.size(), 1 + c.lines.size());
        EXPECT_EQ(view.lines.mid(0, 1 + c.lines.size()), QStringList("Starting sending process.") + c.lines);
        EXPECT_EQ(view.lines[1 + c.lines.size()], QString("Starting sending process.")); // the next board
        EXPECT_EQ(view.icons, (std::map<int, bool>{{0, false}, {1, true}}));
        EXPECT_EQ(uploader.calls.filter("OrvaneConfirm").size(), 1);
    }
}

TEST_F(Run, ClosingLinesNameEveryFileAsTheBoardMayHoldIt)
{
    // Files in the order of their renames: the background, the two
    // templates, the settings file.
    file("Media/a.jpg");
    slot(0, "Image File=a.jpg\r\n");
    slot(1);
    setup.mode = 1;
    view.boards = {"10.0.0.1"};
    const QString media = remoteMediaPath("a.jpg");
    const QString tpl0 = remoteTemplatePath(0);
    const QString settings = remoteSettingsPath();
    const QString mediaError = "!!!Error sending template background media file.";
    const QString tplError = "!!!Error sending template file.";
    const auto lost = [](const QString& name) {
        return "!!!" + name +
               ": the board's answer to its rename was lost, and asking it afterwards could not tell whether it "
               "holds the new or the old copy.";
    };
    const struct {
        const char* what;
        std::map<QString, TransferStatus> renames;
        QString aside;   // its old copy stays aside
        QString unknown; // its rename's outcome is not known
        QStringList lines;
    } cases[] = {
        {"first file, outcome not known",
         {{media, TransferStatus::ConnectionReset}},
         "",
         media,
         {mediaError, "!!!Cause: cause of renaming " + media + ".", lost("Media/a.jpg"),
          "!!!No command was sent: it is not known whether every file is in place. Outcome not known: Media/a.jpg. "
          "Not replaced: Data/Default Template.ORVT, Data/Template with 1 record.ORVT, UpdatedSettings.ini."}},
        {"a template, outcome not known, the old copy aside",
         {{tpl0, TransferStatus::ConnectionReset}},
         tpl0,
         tpl0,
         {tplError, "!!!Cause: cause of renaming " + tpl0 + ".",
          lost("Data/Default Template.ORVT") +
              " Its old copy was moved aside as ~old Orvane/Data/Default Template.ORVT; if the new one is not under "
              "the real name, the program puts the old one back when it starts on the board.",
          "!!!No command was sent: it is not known whether every file is in place. Replaced: Media/a.jpg. Outcome "
          "not known: Data/Default Template.ORVT. Not replaced: Data/Template with 1 record.ORVT, "
          "UpdatedSettings.ini."}},
        {"the last file, outcome not known",
         {{settings, TransferStatus::ConnectionReset}},
         "",
         settings,
         {"!!!Error sending Orvane settings file.", "!!!Cause: cause of renaming " + settings + ".",
          lost("UpdatedSettings.ini"),
          "!!!No command was sent: it is not known whether every file is in place. Replaced: Media/a.jpg, "
          "Data/Default Template.ORVT, Data/Template with 1 record.ORVT. Outcome not known: UpdatedSettings.ini."}},
        // The board keeps the background it plays: not replaced, and no
        // "No file was replaced" while the template may have been.
        {"a kept file before one whose outcome is not known",
         {{media, TransferStatus::FileInUsed}, {tpl0, TransferStatus::Ready}},
         "",
         tpl0,
         {tplError, "!!!Cause: cause of renaming " + tpl0 + ".", lost("Data/Default Template.ORVT"),
          "!!!No command was sent: it is not known whether every file is in place. Outcome not known: Data/Default "
          "Template.ORVT. Not replaced: Media/a.jpg, Data/Template with 1 record.ORVT, UpdatedSettings.ini."}},
        // Found out either way by the upload layer: a failure like any other.
        {"a kept file before a failure",
         {{media, TransferStatus::FileInUsed}, {tpl0, TransferStatus::Ready}},
         "",
         "",
         {tplError, "!!!Cause: cause of renaming " + tpl0 + ".",
          "!!!No file was replaced, and no command was sent: the board keeps its old files."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        uploader.renames = c.renames;
        uploader.asideTarget = c.aside;
        uploader.unknownTarget = c.unknown;
        uploader.calls.clear();
        view.lines.clear();
        view.icons.clear();
        ASSERT_EQ(go(), RunEnd::Done);
        EXPECT_EQ(view.lines.filter("!!!"), c.lines);
        EXPECT_TRUE(view.lines.filter("OrvaneConfirm").isEmpty());
        EXPECT_TRUE(uploader.calls.filter("OrvaneConfirm").isEmpty());
        EXPECT_EQ(view.icons, (std::map<int, bool>{{0, false}}));
        EXPECT_EQ(view.lines.last(), QString("Finished sending process."));
    }
}

TEST_F(Run, AMediaFileTwoTemplatesUseIsNamedAsTheBoardHoldsIt)
{
    // Both templates show a.jpg, so it is renamed once for each. Once a
    // rename of it went, the board holds a new copy whatever the other one
    // does; a rename whose answer was lost decides it alone; and a copy
    // moved aside at the second rename is the new one, not the board's old.
    file("Media/a.jpg");
    slot(0, "Image File=a.jpg\r\n");
    slot(1, "Image File=a.jpg\r\n");
    view.boards = {"10.0.0.1"};
    const QString error = "!!!Error sending template background media file.";
    const QString cause = "!!!Cause: cause of renaming Orvane/Media/a.jpg.";
    const QString partly = "!!!Only part of the update reached the board, and no command was sent. Replaced: "
                           "Media/a.jpg. Not replaced: Data/Default Template.ORVT, Data/Template with 1 record.ORVT.";
    const QString newCopyAside = "!!!Media/a.jpg: its new copy, put in place by an earlier rename, was moved aside to "
                                 "make room and could not be moved back; it waits there as ~old Orvane/Media/a.jpg "
                                 "until the program starts on the board.";
    const QStringList lost = {
        error, cause,
        "!!!Media/a.jpg: the board's answer to its rename was lost, and asking it afterwards could not tell whether "
        "it holds the new or the old copy.",
        "!!!No command was sent: it is not known whether every file is in place. Outcome not known: Media/a.jpg. Not "
        "replaced: Data/Default Template.ORVT, Data/Template with 1 record.ORVT."};
    const struct {
        const char* what;
        std::map<int, TransferStatus> renamesAt;
        bool unknown, aside; // the failed rename's outcome is lost; a copy waits aside
        QStringList lines;   // the "!!!" lines
    } cases[] = {
        {"the second rename fails", {{1, TransferStatus::Ready}}, false, false, {error, cause, partly}},
        {"the second rename lost", {{1, TransferStatus::Ready}}, true, false, {error, cause, partly}},
        {"the first rename lost", {{0, TransferStatus::ConnectionReset}}, true, false, lost},
        {"the board plays it at the first rename, the second lost",
         {{0, TransferStatus::FileInUsed}, {1, TransferStatus::ConnectionReset}},
         true,
         false,
         lost},
        {"the second rename fails, its copy aside",
         {{1, TransferStatus::Ready}},
         false,
         true,
         {error, cause, newCopyAside, partly}},
        {"the second rename lost, its copy aside",
         {{1, TransferStatus::Ready}},
         true,
         true,
         {error, cause, newCopyAside, partly}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        uploader.renamesAt = c.renamesAt;
        uploader.unknownTarget = c.unknown ? remoteMediaPath("a.jpg") : QString();
        uploader.asideTarget = c.aside ? remoteMediaPath("a.jpg") : QString();
        view.lines.clear();
        view.icons.clear();
        uploader.calls.clear();
        ASSERT_EQ(go(), RunEnd::Done);
        EXPECT_EQ(view.lines.filter("!!!"), c.lines);
        EXPECT_TRUE(uploader.calls.filter("OrvaneConfirm").isEmpty());
        EXPECT_EQ(view.icons, (std::map<int, bool>{{0, false}}));
    }
}

TEST_F(Run, ACommandThatFailsAfterTheRenamesNamesTheFilesInPlace)
{
    file("Media/a.jpg");
    const QString confirm = setup.confirmFile;
    const QString commandError = "!!!Error sending Orvane confirm file.";
    const QString boardCause = "!!!Cause: cause of Orvane/OrvaneConfirm.txt.";
    // A folder in the place of the local confirm file: found before the
    // renames, so nothing goes into place.
    const QString localCause =
        QString("!!!Cause: the local confirm file could not be written: \"%1\" is a folder.").arg(dir.path());
    const QString noneReplaced = "!!!No file was replaced: the board keeps its old files.";
    const QString inPlace = "!!!Already in place on the board, but the board was not told to take them: ";
    const QString restart = " It shows them from its next pass through its pages.";
    const QString withSettings =
        " It shows the new templates and media from its next pass through its pages, but takes the new "
        "settings only with the command: send Admin Update again.";
    const struct {
        const char* what;
        int mode;
        bool wrongTemplates; // only the settings file goes
        bool mediaInUse;     // the board keeps its background
        bool localFails;     // the local confirm file can't be written
        TransferStatus command;
        QStringList lines; // the "!!!" lines
    } cases[] = {
        {"Update, the board refuses the command",
         2,
         false,
         false,
         false,
         TransferStatus::Ready,
         {commandError, boardCause, inPlace + "Media/a.jpg, Data/Default Template.ORVT." + restart}},
        {"Update, the command's connection breaks",
         2,
         false,
         true,
         false,
         TransferStatus::ConnectionReset,
         {commandError, boardCause, inPlace + "Data/Default Template.ORVT." + restart}},
        {"Update, no local confirm file",
         2,
         false,
         false,
         true,
         TransferStatus::Completed,
         {commandError, localCause, noneReplaced}},
        {"Admin Update",
         1,
         false,
         false,
         false,
         TransferStatus::Ready,
         {commandError, boardCause,
          inPlace + "Media/a.jpg, Data/Default Template.ORVT, UpdatedSettings.ini." + withSettings}},
        {"Admin Update of the settings alone, no local confirm file",
         1,
         true,
         false,
         true,
         TransferStatus::Completed,
         {"!!!This is a wrong template file to send, will go to next template file.", commandError, localCause,
          noneReplaced}},
        {"Admin Update that went", 1, false, false, false, TransferStatus::Completed, {}},
    };
    view.boards = {"10.0.0.1"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        slot(0, "Image File=a.jpg\r\n");
        setup.mode = c.mode;
        setup.wrongTemplate[0] = c.wrongTemplates;
        setup.confirmFile = c.localFails ? dir.path() : confirm; // a folder is no file
        uploader.answers = {{remoteConfirmPath(), c.command}};
        uploader.renames.clear();
        if (c.mediaInUse)
            uploader.renames[remoteMediaPath("a.jpg")] = TransferStatus::FileInUsed;
        uploader.calls.clear();
        view.lines.clear();
        view.icons.clear();
        ASSERT_EQ(go(), RunEnd::Done);
        EXPECT_EQ(view.lines.filter("!!!"), c.lines);
        const bool sent = c.command == TransferStatus::Completed && !c.localFails;
        EXPECT_EQ(view.icons, (std::map<int, bool>{{0, sent}}));
        EXPECT_EQ(uploader.calls.filter("OrvaneConfirm").size(), c.localFails ? 0 : 1);
        EXPECT_EQ(uploader.calls.filter("replace").size(), c.localFails ? 0 : 1);
        // What was staged leaves the board again.
        EXPECT_EQ(uploader.calls.filter("discard").size(), c.localFails ? 1 : 0);
        EXPECT_EQ(view.lines.last(), QString("Finished sending process."));
    }
}

TEST_F(Run, ARestartThatFailsSaysWhyInTheMessageList)
{
    const struct {
        const char* what;
        bool localFails;
        TransferStatus answer;
        QStringList lines;
    } cases[] = {
        {"sent", false, TransferStatus::Completed, {}},
        {"refused",
         false,
         TransferStatus::Ready,
         {"!!!Could not restart the Orvane at 10.0.0.4.", "!!!Cause: cause of Orvane/OrvaneConfirm.txt."}},
        {"no local confirm file",
         true,
         TransferStatus::Completed,
         {"!!!Could not restart the Orvane at 10.0.0.4.",
          QString("!!!Cause: the local confirm file could not be written: \"%1\" is a folder.").arg(dir.path())}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        uploader.answers = {{remoteConfirmPath(), c.answer}};
        uploader.calls.clear();
        view.lines.clear();
        UpdateRun run(uploader, view, cancel);
        const TransferStatus status = run.restart("10.0.0.4", c.localFails ? dir.path() : setup.confirmFile);
        EXPECT_EQ(status, c.localFails ? TransferStatus::Ready : c.answer);
        EXPECT_EQ(view.lines, c.lines);
        EXPECT_EQ(uploader.calls.size(), c.localFails ? 0 : 1);
        EXPECT_TRUE(view.icons.empty());
    }
}
