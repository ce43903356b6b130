#pragma once
// The update run: every destination board gets the template of each filled
// slot, the template's background and PiP media, in Admin Update the
// settings file, and last the confirm file with the command the board acts
// on ("1" adopt the settings, "2" restart). Media are sent only from the
// Media folder, and only regular files are read. Restart Orvane sends one
// board the confirm file "2" alone.
//
// A board's update lands all at once or not at all: every file goes to a
// temporary name on the board first, and only when all of them arrived
// whole are they renamed over the real names (media, then templates, then
// the settings file) and the command sent. A failed transfer (any refusal
// of a temporary name too), a local confirm file that can't be written (it
// is written before the renames) or a cancel deletes the board's
// temporaries and renames nothing, so the board keeps all its old files
// (when that clean-up gives up, a line names the board whose temporaries
// were left: it deletes them when its program starts); a rename that fails
// part way stops the board's update, sends no command and says which files
// were replaced, which were not, and which one may hold either copy when
// the board's answer to its rename was lost and could not be found out. No rename costs the board its only copy of a
// file (see ftp::Result::movedAside). A file the board holds open (a media
// file it plays) keeps the board's copy at the rename and counts as
// delivered. A command that fails after the renames is followed by a line
// naming the new files the board holds but was not told to take.
//
// Each failure line is followed by a "!!!Cause: " line; so is a board that
// could not be reached, when the upload layer says why, and a failed
// Restart Orvane.
//
// The run touches no window: it takes a snapshot of what it sends, asks
// RunView for each board's address when it comes to the board's row (so a
// row corrected before then is sent to at its new address, and a row
// removed is not sent to), reports through RunView and sends through an
// Uploader, so it can run on a thread of its own. A set cancel flag ends it
// at the next file or board (and aborts the transfer in progress through
// the upload layer), or before the board's renames begin. Once they have
// begun the board is finished: the rest of its renames, then its command,
// with the usual lines and icon; then the run ends.
#include "remote/boardftp.h"
#include "remote/templateslots.h"

#include <QStringList>

#include <array>
#include <atomic>
#include <optional>
#include <vector>

namespace remote {

// Remote paths, relative to the board account's login folder.
QString remoteTemplatePath(int slot);
QString remoteMediaPath(const QString& fileName);
const QString& remoteSettingsPath();
const QString& remoteConfirmPath();

// What the run asks of the window and tells it; called on the run's
// thread. A destination row is known by its place (0-based) in the list
// when the run started, whatever order the list is sorted in afterwards.
class RunView {
public:
    virtual ~RunView() = default;
    // The number of destination rows when the run started: the run visits
    // each of them once, in that order, and no row added later.
    virtual int boardCount() = 0;
    // The text row `row` holds now, untrimmed; nothing once the row was
    // removed. Asked once, when the run comes to the row.
    virtual std::optional<QString> boardAddress(int row) = 0;
    virtual void addMessage(const QString& text) = 0;
    virtual void setStatusLine(const QString& text) = 0;
    // The outcome for row `row`, sent to at `address` (trimmed): success or
    // failure.
    virtual void setBoardResult(int row, const QString& address, bool success) = 0;
};

struct RunSetup {
    int mode = 2;    // 1 Admin Update, 2 Update
    SlotPaths slots; // template paths as the slots hold them
    std::array<bool, kSlotCount> wrongTemplate{};
    QString settingsFile; // sent in mode 1
    QString confirmFile;  // the local confirm file, rewritten for each board
    QString mediaFolder;  // the only folder media are sent from
};

enum class RunEnd {
    Done,      // every board was visited
    Cancelled, // the cancel flag ended the run
};

class UpdateRun {
public:
    UpdateRun(Uploader& uploader, RunView& view, const std::atomic<bool>& cancel);

    RunEnd run(const RunSetup& setup);
    // Restart Orvane: the confirm file "2" to one board. A failure adds
    // a line naming the board and one with its cause.
    TransferStatus restart(const QString& address, const QString& confirmFile);

    // Writes the command as the confirm file's only line (atomically) and
    // reads it back: false when the file does not hold the command, with
    // the reason in `error` (a folder in its place, a folder that may not
    // be written, a full disk).
    static bool WriteConfirmFile(const QString& path, const QString& command, QString* error = nullptr);

private:
    // The kinds of file a board gets, in the order they go into place.
    enum class Part { Background, PiP, Template, Settings };
    // A file of the board's update waiting on the board for its rename.
    struct Pending {
        Part part;
        StagedFile file;
    };

    // One board, destination row `row` at `address`; false when the
    // cancel flag ended it (or came while it was finished).
    bool updateBoard(const RunSetup& setup, int row, const QString& address);
    // Stages the templates, media and settings file; false when the cancel
    // flag ended it.
    bool sendFiles(const RunSetup& setup, const QString& address);
    void sendSlot(const RunSetup& setup, int slot, const QString& address);
    void sendMedia(const QString& value, const QString& mediaFolder, const QString& address, bool background);
    TransferStatus stageFile(const QString& address, const QString& local, const QString& remote, Part part);
    enum class Placing {
        Done,      // every file is in place
        Failed,    // a rename failed (reported)
        Cancelled, // the cancel flag came before the first rename
    };
    // Renames everything staged over the real names.
    Placing putInPlace(const QString& address);
    // The lines after the rename of files[failed] failed (`answered`: the
    // upload layer gave a status for it): the failure, its cause, and what
    // the board holds of each file; the files before it that the board
    // kept are `kept`.
    void reportFailedRename(const QList<StagedFile>& files, qsizetype failed, bool answered, const QStringList& kept);
    // After the renames, when the command could not go: which new files
    // the board holds, and that it was not told to take them.
    void reportNotTold();
    // Deletes what this board has staged (and broken uploads' leftovers).
    void discardStaged(const QString& address);
    // The failure line of `part`, then its cause; the board gets no command.
    void fail(Part part, const QString& cause);
    bool cancelled() const { return cancel_.load(); }

    Uploader& uploader_;
    RunView& view_;
    const std::atomic<bool>& cancel_;
    // The board being updated.
    std::vector<Pending> staged_;
    QStringList leftovers_;
    QStringList placed_; // the files renamed into place, by their board names
    bool allSent_ = true;
};

} // namespace remote
