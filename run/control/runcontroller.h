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
#include "platform/ftp/ftpclient.h"
#include "run/control/filestamp.h"
#include "run/control/runwindow.h"

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
    };

    // A file on the FTP server: its modified time ("yyyy/mm/dd hh:mm:ss",
    // "" when not known) and its size in bytes (-1 when not known).
    using ServerFile = ftp::FileState;
    // The server's time and size of a file; time "" when it can't be had.
    using FtpFileTime = std::function<ServerFile(const QString& server, const QString& user, const QString& password,
                                                 const QString& file)>;
    // How the settings load's fetch of a file ended: the file it took (time
    // "" when the server gave none); nothing when the fetch failed.
    using FtpFetchedTime = std::function<std::optional<ServerFile>(const QString& file)>;
    // The file a fetch that failed had found on the server and went to
    // take; time "" when it found none.
    using FtpTriedFile = std::function<ServerFile(const QString& file)>;
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
    void setFtpFileTime(FtpFileTime f) { ftpFileTime_ = std::move(f); }
    void setFtpFetchedTime(FtpFetchedTime f) { ftpFetchedTime_ = std::move(f); }
    void setFtpTriedFile(FtpTriedFile f) { ftpTriedFile_ = std::move(f); }
    // Atomic writes by default.
    void setFileWriter(FileWriter w) { writeFile_ = std::move(w); }

    // ---- The Process menu ----
    // Start Program: loads the settings and arms the start timer; Stop when
    // the settings file or the working record file is missing. The timer is
    // armed before the load, so that its wait runs during the load; its tick
    // never runs while a load is in progress (a tick due then comes a full
    // interval after the load).
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
    // FTP: a copy of a file on the server is its time and size. The
    // remembered copy is the one the board has; only a fetch that succeeded
    // moves it. The first look after a load that gave no time remembers the
    // server's copy (false); then another copy is a change (true). A fetch
    // that gave no time of its own takes the copy that caused the restart.
    // A new copy is fetched only once it has stayed the same for
    // kSettleSecs: the clock asks for its time and size again on a later
    // tick, kSettleSecs after the look, and again while it keeps changing
    // (an export its system is still writing), and restarts the run once it
    // has settled. The pair rule of the local files holds for the two FTP
    // files too. A retry of the copy whose fetch failed does not wait: that
    // copy has long settled.
    // A failed fetch keeps the copy it was made for as the one that failed
    // (a start's fetch, made for no look, takes the copy it found on the
    // server, else the next look's; a later fetch made when the look got no
    // time, finding no other copy, counts as one more failure of the copy
    // that failed): that copy is fetched again at the next look, and while
    // it keeps failing at doubling gaps (1, 2, 4 ... looks, at most
    // kMaxFetchRetryLooks), so a download the server refuses for good is
    // not retried every minute. Any other copy is a new export, fetched
    // once it has settled after the look that saw it, and its own failures
    // count from 1 (a fetch that found the file changing under it fails,
    // and the copy after the change is such a new export). A look that
    // sees the board's own copy ends the failures: nothing is left to
    // fetch (a restart for the other file whose fetch of this one failed,
    // say). A restart whose fetches all failed leaves the board's copy as
    // it was: the page on show dwells on and the pass goes on, rather than
    // going back to the first page (unless its load named another file,
    // server or account).
    // Start Program, pushed settings and a load that names another file,
    // server or account start the watch afresh.
    // Without an FTP booking file name there is no booking file: its watch
    // contacts nobody and says nothing.
    bool blnFTPDataFileChanged(const QString& file);
    bool blnFTPBookingFileChanged(const QString& file);
    // True while the FTP watch waits to ask again for a new copy it saw, to
    // know whether it has settled.
    bool ftpSettling() const;

    State state() const { return state_; }
    int dwellCounter() const { return mlngDwellCounter; }
    // The Dwell Time setting in whole seconds: "10" for anything that is not
    // a whole number of at least 1.
    static int dwellSeconds(const QString& text, bool* valid = nullptr);

    // How long a changed source file (local, or on the FTP server) must stay
    // the same before it counts as changed: longer than the pauses of a busy
    // exporter or a slow shared folder between two lines.
    static constexpr int kSettleSecs = 5;
    // How long a settled source waits at most for the other one to settle
    // before the run restarts for it.
    static constexpr int kMaxSettleWaitSecs = 60;

    // The longest gap, in looks (clock minutes), between two retries of an
    // FTP fetch that keeps failing.
    static constexpr int kMaxFetchRetryLooks = 60;

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
    // Which file of which server and account an FTP watch is for.
    struct FtpSource {
        QString file, server, user, password;
        bool operator==(const FtpSource&) const = default;
    };
    // A file on the FTP server; its copies' times as "MM/dd/yyyy HH:mm:ss".
    struct FtpWatch {
        FtpSource source;      // another one starts the watch afresh
        ServerFile remembered; // the board's copy; time "": the next look remembers
        ServerFile seen;       // at the latest look; time "": none
        ServerFile failed;     // the copy whose fetch failed; time "": not known yet
        int failedFetches = 0; // fetches of `failed` failed in a row; above 0 a later look fetches again
        int looksToSkip = 0;   // looks left before `failed` is fetched again
        // A copy to fetch: a new one once it has stayed the same since
        // `pendingSince` for kSettleSecs (then `ready`), a retry at once.
        std::optional<ServerFile> pending;
        QDateTime pendingSince;
        bool ready = false;
        QDateTime readyAt;
        // The board's copy is the server's latest: nothing waits to be
        // fetched again.
        void clearFailures()
        {
            failed = {};
            failedFetches = 0;
            looksToSkip = 0;
        }
        void clearPending()
        {
            pending.reset();
            ready = false;
        }
        bool settling() const { return pending && !ready; }
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
    // After a settings load in FTP mode: remembers the times its fetches
    // saw, and counts the fetches that failed.
    void takeFetchedFtpTimes();
    // Points the watch at `file` on the server and account of the
    // settings; a watch that was for another one starts afresh (true).
    static bool watchFtpSource(FtpWatch& watch, const QString& file);
    bool ftpFileChanged(const QString& file, FtpWatch& watch, bool logMissingTime);
    // The server's copy of `file` (time as the watch keeps it); time "" when
    // it can't be had (for the booking file logged).
    ServerFile askFtp(const QString& file, bool logMissingTime);
    // What a look (or, with `look` false, a settle check) that saw copy `s`
    // means: true when a copy is to be fetched, now or once it has settled.
    bool takeFtpCopy(FtpWatch& watch, const ServerFile& s, bool look);
    // Between looks: asks for a new copy again once kSettleSecs have passed
    // since it was seen as it is.
    void settleFtpFile(const QString& file, FtpWatch& watch, bool logMissingTime);
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
    FtpFileTime ftpFileTime_;
    FtpFetchedTime ftpFetchedTime_;
    FtpTriedFile ftpTriedFile_;
    FileWriter writeFile_;
    State state_ = State::Idle;
    bool stopping_ = false;
    int loading_ = 0; // settings loads of Start Program in progress
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
    FtpWatch dataFtp_;
    FtpWatch bookingFtp_;
    QString mstrLastMinute;
};
