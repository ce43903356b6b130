#pragma once
// The player's run: Start Program, Run Process and Stop, and the timers that
// turn a start into a stream of pages. A start loads the settings and arms
// the start timer; the start timer resets the run and starts the first page;
// after each page the one-second clock counts the dwell time, reads the
// command file and watches the source files, and then starts the next page
// or restarts the run. Stop ends all of it and gives the window back to the
// designer; the page cursors survive it, so Run Process continues the pass.
//
// Everything runs on the user-interface thread. Every timer stops itself
// before its handler runs and is re-armed only here, so no tick runs inside
// another. Every "now" comes from services::clock(), Esc and the right mouse
// button from services::keys().
#include "platform/filestamp.h"
#include "platform/ftp/ftpclient.h"
#include "run/control/ftpwatch.h"
#include "run/control/runwindow.h"
#include "run/control/settlerule.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

class DisplayPort;

// The page routine: makes the next page image (true when it was saved), and
// puts its cursors back to the first row for a new run; the name of the
// page's copy in the local player's Media folder, empty when no copy was
// made (the player is then not told), unset: the Image File.
struct PageRoutine {
    std::function<bool()> blnRenderNextPage;
    std::function<void()> resetCursors;
    std::function<QString()> playerImage;
};

// The run's timers: start (100 ms), load (10 ms), clock (1 s), and the
// 100 ms watch for Esc and the right mouse button while a run is on.
struct RunTimers {
    RunTimer& start;
    RunTimer& load;
    RunTimer& clock;
    RunTimer& keys;
};

class RunController {
public:
    enum class State {
        Idle,      // no run: the designer has the window
        Starting,  // the start timer is armed
        Rendering, // the load timer is armed or a page is being made
        Dwelling,  // the clock is armed
        Halted,    // the stop flag ended a page without a Stop: nothing armed
        Waiting,   // no records yet: the clock waits for an FTP export to settle
    };

    // A file on the FTP server: its modified time ("yyyy/mm/dd hh:mm:ss",
    // "" when not known) and its size in bytes (-1 when not known).
    using ServerFile = ftp::FileState;
    // The server's time and size of a file; time "" when it can't be had.
    using FtpFileState = std::function<ServerFile(const QString& server, const QString& user, const QString& password,
                                                  const QString& file)>;
    // How the settings load's fetch of a file ended; nothing when the load
    // fetched nothing of that name.
    using FtpFetchReport = std::function<std::optional<FetchReport>(const QString& file)>;
    // Writes a whole file; false with the reason on failure.
    using FileWriter = std::function<bool(const QString& path, const QByteArray& bytes, QString* error)>;

    RunController(RunWindow& window, RunTimers timers);
    ~RunController();
    RunController(const RunController&) = delete;
    RunController& operator=(const RunController&) = delete;

    void setPageRoutine(PageRoutine page) { page_ = std::move(page); }
    // The full-screen display of stand-alone mode; null: none installed
    // (the pages are still made and "Done." is logged).
    void setDisplay(DisplayPort* display) { display_ = display; }
    void setFtpFileState(FtpFileState f) { ftpFileState_ = std::move(f); }
    void setFtpFetchReport(FtpFetchReport f) { ftpFetchReport_ = std::move(f); }
    // Atomic writes by default.
    void setFileWriter(FileWriter w) { writeFile_ = std::move(w); }

    // ---- The Process menu ----
    // Start Program: loads the settings and arms the start timer; Stop when
    // the settings file or the working record file is missing. The timer is
    // armed before the load, so that its wait runs during the load; its tick
    // never runs while a load is in progress (a tick due then comes a full
    // interval after the load). Without a working record file, but with an
    // FTP export the load left on the server until it has settled, the run
    // waits for it instead (Waiting, said once in the status list): the
    // clock reads the command file and asks the server again until the
    // export has settled, and then restarts the run to fetch it; a fetch
    // that fails then keeps the run waiting for the next look.
    void mnuRestart_Click();
    // Run Process: the next page, from the remembered cursors. A run is on
    // from here (gblnRunActive), also after a Stop.
    void mnuRun_Click();
    // Stop: disarms everything, puts the designer back and shows the window.
    void mnuStop_Click();

    // ---- Timer ticks ----
    void StartTimer_Timer();
    void LoadSettingsTimer_Timer();
    void runClock_Timer();
    void keyWatch_Timer();

    // ---- Command file ----
    // Reads the command file and acts on a command; true when it did (the
    // run then restarts, unless a Stop came while the command waited or
    // loaded settings). A missing file is created with "0". Commands "2"
    // and "3" are acted on only after the file was reset to "0"; command "1"
    // saves the pushed settings first and then resets the file, so a crash
    // in between makes the next run adopt the same settings again. A file
    // that can't be rewritten is not acted on. A command file that is a
    // symbolic link is never read, reset or created through (one "!!!" line
    // per run).
    bool blnCheckConfirmFile();
    // Writes "0" into the command file; false (nothing logged) on failure.
    bool resetConfirmFile();

    // ---- Change watch. A missing file or a time the server won't give is
    // never a change. ----
    // Local files: each settings load of the run takes the files as they
    // stand before it converts them (a file the load names anew is taken as
    // soon as it is named). A file that differs from that (stamp: time to
    // the nanosecond, size, the file behind the name) counts as changed only
    // once it has stayed the same for kSettleSecs by the clock: an export
    // still being written, also by a writer that pauses between lines, is
    // looked at again on the next tick, and a conversion that met it
    // half-written is followed by another once it is finished. A file
    // missing when the load took it counts as changed once it has arrived
    // and settled. The first look at a file no load took remembers it: false.
    // The clock restarts the run for a settled file only once the other file
    // is not still settling (a pair of exports written one after the other),
    // or after kMaxSettleWaitSecs.
    bool blnDataFileChanged(const QString& file);
    bool blnBookingFileChanged(const QString& file);
    // FTP, at the look of a clock minute: asks the server for the file's
    // copy (its time and size) and hands it to the file's FtpFileWatch,
    // which holds the settle, pair and retry rules. True when a copy is to
    // be fetched now: a new one that has settled, or a retry of one whose
    // fetch failed (that copy has long settled). Between looks the clock
    // asks again for a new copy until it has settled, and then for the
    // other file too; it restarts the run by the pair rule (settleFtpPair,
    // restartForFtpPair). The restart's fetch takes only the copy that
    // settled (mayTakeFtpCopy). A restart that took nothing new leaves the
    // board's copy as it was: the page on show dwells on and the pass goes
    // on, rather than going back to the first page (unless its load named
    // another file, server or account). Start Program, pushed settings and
    // a load that names another file, server or account start the watch
    // afresh.
    // Without an FTP booking file name there is no booking file: its watch
    // contacts nobody and says nothing. Nor does the watch of a name that
    // names no file ("book.txt/", see paths::namedFile): no load fetches it,
    // and the load said why. A restart whose load fetched nothing of a file
    // its watch decided to take is done with that copy: the run restarts at
    // most once for one change on the server.
    bool blnFTPDataFileChanged(const QString& file);
    bool blnFTPBookingFileChanged(const QString& file);
    // True while the FTP watch waits to ask again for a new copy it saw, to
    // know whether it has settled.
    bool ftpSettling() const;
    // The rule a settings load's fetch follows (FrmFTP::setMayTake): whether
    // it may take the copy `found` ("yyyy/mm/dd hh:mm:ss" and size) of
    // `file`. A run's load takes only the copy the file's watch decided to
    // take: none at a start (Start Program, a command; the board's own copy
    // needs no fetch), a settled one or a retry at a restart for a change.
    // A fetch outside the run's loads may take any copy.
    bool mayTakeFtpCopy(const QString& file, const ServerFile& found) const;

    State state() const { return state_; }
    int dwellCounter() const { return mlngDwellCounter; }
    // The Dwell Time setting in whole seconds: "10" for anything that is not
    // a whole number of at least 1.
    static int dwellSeconds(const QString& text, bool* valid = nullptr);

    // See settlerule.h and ftpwatch.h.
    static constexpr int kSettleSecs = settle::kSettleSecs;
    static constexpr int kMaxSettleWaitSecs = settle::kMaxSettleWaitSecs;
    static constexpr int kMaxFetchRetryLooks = FtpFileWatch::kMaxFetchRetryLooks;

    // Upload temporaries (".<name>.orvtmp.XXXXXX") older than this are left
    // over from uploads that broke off; Start Program removes them from the
    // folders uploads go to. A younger one may be an upload arriving now.
    // A board file an upload moved aside (".<name>.orvold.XXXXXX") goes
    // back at any age when its real file is missing.
    static constexpr int kOldTemporarySecs = 3600;

private:
    // A local source file as the run took it, and a changed version that
    // has to stay as it is until kSettleSecs after `changedAt`.
    struct WatchedFile {
        QString path; // empty: not taken (`taken` may be the empty stamp: missing)
        FileStamp taken;
        std::optional<FileStamp> changed;
        QDateTime changedAt;
    };
    // The file behind a watched source's name: the data file as the
    // conversion finds it (without the name as spelt, the one beside it in
    // another letter case), the booking file as named.
    QString watchedFile(const QString& file, const WatchedFile& watch) const;
    bool localFileChanged(const QString& file, WatchedFile& watch);
    // Loads the settings from `path`, taking the watched files as they stand
    // before the load converts them (see the change watch).
    void loadSettingsWatched(const QString& path);
    void removeOldUploadTemporaries();
    // After a settings load in FTP mode: hands the watches what its
    // fetches took, and what the failed ones found.
    void takeFetchedFtpCopies();
    // Points the watch at `file` on the server and account of the
    // settings; a watch that was for another one starts afresh (true). A
    // name that names no file is watched as no file ("").
    static bool watchFtpSource(FtpFileWatch& watch, const QString& file);
    bool ftpFileChanged(const QString& file, FtpFileWatch& watch, bool logMissingTime);
    // The server's copy of `file` (time as the watch keeps it); time "" when
    // it can't be had (for the booking file logged).
    ServerFile askFtp(const QString& file, bool logMissingTime);
    // Between looks: the asks of settleFtpPair.
    void settleFtpFiles();
    // After a run's settings load without a working record file: waits for
    // an FTP export that is settling, or, once waiting, one whose fetch
    // failed (true); else false.
    bool waitForFtpExport();
    bool actOnCommand(const QString& value);
    bool newSettingsCommand();
    bool adoptUpdatedSettings(const QString& path);
    void armClock();
    // The window as a run shows it (menus, panels) and the key watch on.
    void showRunning();

    RunWindow& window_;
    RunTimers timers_;
    PageRoutine page_;
    DisplayPort* display_ = nullptr;
    FtpFileState ftpFileState_;
    FtpFetchReport ftpFetchReport_;
    FileWriter writeFile_;
    State state_ = State::Idle;
    bool stopping_ = false;
    int loading_ = 0;      // settings loads of Start Program in progress
    bool runLoad_ = false; // a settings load of the run is in progress
    bool dwellReported_ = false;
    bool linkReported_ = false;
    // Set by a load in FTP mode: the start timer then keeps the times the
    // load took instead of emptying them.
    bool keepFtpTimes_ = false;
    // Set while the FTP watch restarts the run for a new time on the
    // server: its load counts on from the watch instead of starting afresh.
    bool ftpRestart_ = false;
    // Set by such a restart's load when none of its fetches took a new
    // copy: the start timer then lets the page on show dwell on.
    bool keepPass_ = false;
    // Why pushed settings were refused, logged again after the settings
    // load of the restart that follows (the load empties the status list).
    QString refusedSettings_;

    int mlngDwellCounter = 1;
    WatchedFile dataWatch_;
    WatchedFile bookingWatch_;
    FtpFileWatch dataFtp_;
    FtpFileWatch bookingFtp_;
    QString mstrLastMinute;
};
