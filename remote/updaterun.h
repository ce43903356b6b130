#pragma once
// The update run: every destination board gets the template of each filled
// slot, the template's background and PiP media, in Admin Update the
// settings file, and last the confirm file with the command the board acts
// on ("1" adopt the settings, "2" restart); the command goes only when every
// other file reached the board whole. Media are sent only from the Media
// folder. Restart Orvane sends one board the confirm file "2" alone.
//
// The run touches no window: it takes a snapshot of what it sends, reports
// through RunView and sends through an Uploader, so it can run on a thread
// of its own. A set cancel flag ends it at the next file or board (and
// aborts the transfer in progress through the upload layer).
#include "remote/boardftp.h"
#include "remote/templateslots.h"

#include <QStringList>

#include <array>
#include <atomic>

namespace remote {

// Remote paths, relative to the board account's login folder.
QString remoteTemplatePath(int slot);
QString remoteMediaPath(const QString& fileName);
const QString& remoteSettingsPath();
const QString& remoteConfirmPath();

// What the run tells the window; called on the run's thread.
class RunView {
public:
    virtual ~RunView() = default;
    virtual void addMessage(const QString& text) = 0;
    virtual void setStatusLine(const QString& text) = 0;
    // The icon of destination row `row` (0-based): success or failure.
    virtual void setBoardResult(int row, bool success) = 0;
};

struct RunSetup {
    int mode = 2;          // 1 Admin Update, 2 Update
    QStringList addresses; // destination rows, in list order
    SlotPaths slots;       // template paths as the slots hold them
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
    // Restart Orvane: the confirm file "2" to one board.
    TransferStatus restart(const QString& address, const QString& confirmFile);

    // Writes the command as the confirm file's only line (atomically) and
    // reads it back: false when the file does not hold the command.
    static bool WriteConfirmFile(const QString& path, const QString& command);

private:
    // One board; false when the cancel flag ended it.
    bool updateBoard(const RunSetup& setup, int row);
    // One template slot with its media; false when a transfer to the board
    // failed or a media value may not be sent.
    bool sendSlot(const RunSetup& setup, int slot, const QString& address);
    bool sendMedia(const QString& value, const QString& mediaFolder, const QString& address, bool background);
    bool cancelled() const { return cancel_.load(); }

    Uploader& uploader_;
    RunView& view_;
    const std::atomic<bool>& cancel_;
};

} // namespace remote
