#include "run/control/runcontroller.h"

#include "core/globals.h"
#include "core/modmain.h"
#include "platform/atomicfile.h"
#include "platform/inifile.h"
#include "platform/paths.h"
#include "platform/services.h"
#include "platform/statuslog.h"
#include "platform/textfile.h"
#include "run/control/commandfile.h"
#include "run/control/displayport.h"

#include <QFileInfo>
#include <QScopedValueRollback>

#include <limits>
#include <tuple>
#include <utility>

namespace {

// Menus and panels as the three commands leave them.
const RunMenus kStartMenus{false, false, true, false, false, false};
const RunMenus kRunMenus{false, false, true, false, std::nullopt, std::nullopt};
const RunMenus kStopMenus{true, true, false, true, true, true};
const RunPanels kRunPanels{true, false, false, false};
const RunPanels kStopPanels{false, true, false, false};

constexpr int kDefaultDwell = 10;
constexpr int kCommandWaitMs = 1000;

const QString kTimeStampFormat = QStringLiteral("MM/dd/yyyy HH:mm:ss");

// A server time "yyyy/mm/dd hh:mm:ss" as the FTP watch remembers it.
QString ftpTimeText(const QString& serverTime)
{
    const QDateTime at = ftp::serverTime(serverTime);
    return at.isValid() ? at.toString(kTimeStampFormat) : serverTime;
}

RunController::ServerFile asWatched(RunController::ServerFile f)
{
    f.time = ftpTimeText(f.time);
    return f;
}

// A run can page only from the working record file.
bool workingRecordsExist()
{
    return !gstrWorkingDataFile.isEmpty() && modMain::blnFileExists(gstrWorkingDataFile);
}

bool ftpSettingsComplete()
{
    return !gstrFTPServer.isEmpty() && !gstrFTPUsername.isEmpty() && !gstrFTPPassword.isEmpty();
}

} // namespace

RunController::RunController(RunWindow& window, RunTimers timers)
    : window_(window)
    , timers_(timers)
    , writeFile_([](const QString& path, const QByteArray& bytes, QString* error) {
        return atomicfile::write(path, bytes, error);
    })
{
    timers_.start.onTick = [this] { StartTimer_Timer(); };
    timers_.load.onTick = [this] { LoadSettingsTimer_Timer(); };
    timers_.clock.onTick = [this] { runClock_Timer(); };
    timers_.keys.onTick = [this] { keyWatch_Timer(); };
}

RunController::~RunController()
{
    for (RunTimer* t : {&timers_.start, &timers_.load, &timers_.clock, &timers_.keys}) {
        t->stop();
        t->onTick = nullptr;
    }
}

int RunController::dwellSeconds(const QString& text, bool* valid)
{
    const QString t = text.trimmed();
    bool ok = !t.isEmpty() && t.size() <= 10;
    for (const QChar c : t)
        ok = ok && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    const qint64 v = ok ? t.toLongLong() : 0;
    ok = ok && v >= 1 && v <= std::numeric_limits<int>::max();
    if (valid)
        *valid = ok;
    return ok ? int(v) : kDefaultDwell;
}

// ---- The Process menu ----

void RunController::mnuRestart_Click()
{
    gblnStop = false;
    gblnRunActive = true;
    window_.applyMenus(kStartMenus);
    removeOldUploadTemporaries();
    if (!modMain::blnFileExists(gstrSettingsFile)) {
        mnuStop_Click();
        return;
    }
    // The start timer's tenth of a second runs while the settings load; a
    // tick due before the load is done is put off (see StartTimer_Timer).
    timers_.start.start();
    ++loading_;
    loadSettingsWatched(gstrSettingsFile);
    --loading_;
    // The load emptied the status list: the reason pushed settings were
    // refused must stay in view.
    if (!refusedSettings_.isEmpty()) {
        statusMessage(refusedSettings_);
        refusedSettings_.clear();
    }
    // A Stop while the load waited for the server stays a Stop.
    if (gblnStop) {
        keepPass_ = false;
        timers_.start.stop();
        if (state_ != State::Idle)
            state_ = State::Halted;
        return;
    }
    if (workingRecordsExist()) {
        // A tick put off by the load: the timer starts again, as if armed now.
        if (!timers_.start.isActive())
            timers_.start.start();
        state_ = State::Starting;
    } else if (!waitForFtpExport()) {
        mnuStop_Click();
    }
}

bool RunController::waitForFtpExport()
{
    if (!window_.ftpMode())
        return false;
    // An export the load left on the server until it has settled; and, once
    // the run waits, one whose fetch failed (it is fetched again at the
    // next look that sees it).
    const bool waiting = state_ == State::Waiting;
    QStringList changing, failed;
    for (const FtpFileWatch* watch : {&dataFtp_, &bookingFtp_}) {
        if (watch->settling())
            changing << watch->source().file;
        else if (waiting && watch->failing())
            failed << watch->source().file;
    }
    if (changing.isEmpty() && failed.isEmpty())
        return false;
    timers_.start.stop();
    keepPass_ = false;
    const QString andText = QStringLiteral(" and ");
    if (!changing.isEmpty())
        statusMessage(QStringLiteral("Waiting for %1 to stop changing on FTP Server.").arg(changing.join(andText)));
    if (!failed.isEmpty())
        statusMessage(QStringLiteral("Waiting for %1 from FTP Server.").arg(failed.join(andText)));
    // No page to show: the clock only reads the command file and asks the
    // server, until an export has settled and restarts the run.
    if (!timers_.keys.isActive())
        timers_.keys.start();
    timers_.clock.start();
    state_ = State::Waiting;
    return true;
}

void RunController::mnuRun_Click()
{
    gblnStop = false;
    // Run Process after a Stop pages on unattended, as Start Program does.
    gblnRunActive = true;
    showRunning();
    timers_.clock.stop();
    timers_.load.start();
    state_ = State::Rendering;
}

void RunController::showRunning()
{
    window_.applyMenus(kRunMenus);
    window_.applyPanels(kRunPanels);
    if (!timers_.keys.isActive())
        timers_.keys.start();
}

void RunController::mnuStop_Click()
{
    // The display's closing runs Stop again: once is enough.
    if (stopping_)
        return;
    stopping_ = true;
    gblnStop = true;
    gblnRunActive = false;
    keepFtpTimes_ = false;
    keepPass_ = false;
    timers_.start.stop();
    mlngDwellCounter = 1;
    timers_.clock.stop();
    timers_.load.stop();
    timers_.keys.stop();
    state_ = State::Idle;
    window_.applyMenus(kStopMenus);
    window_.HideSelectionFrame();
    window_.selectTemplateSlot(0);
    window_.applyPanels(kStopPanels);
    if (display_)
        display_->close();
    window_.showWindow();
    stopping_ = false;
}

// ---- Timers ----

void RunController::StartTimer_Timer()
{
    timers_.start.stop();
    if (loading_ > 0)
        return;
    gblnStop = false;
    BusyGuard busy;
    // A restart for a new time on the server that fetched nothing new: the
    // pages still come from the board's copy as it was, so the page on show
    // dwells on and the pass goes on where it was.
    const bool keepPass = std::exchange(keepPass_, false);
    if (!keepPass) {
        mlngDwellCounter = 1;
        if (page_.resetCursors)
            page_.resetCursors();
    }
    // The settings load emptied the status list: the run's warnings are
    // said again, also while the pages go on.
    dwellReported_ = false;
    linkReported_ = false;
    // The local watch keeps the files as the settings load took them.
    if (!keepFtpTimes_) {
        dataFtp_.reset();
        bookingFtp_.reset();
    }
    keepFtpTimes_ = false;
    // The auto-hide setting has no writer during a run: every start hides.
    window_.mnuHide_Click();
    window_.minimise();
    if (!keepPass) {
        mnuRun_Click();
        return;
    }
    showRunning();
    armClock();
}

void RunController::LoadSettingsTimer_Timer()
{
    timers_.load.stop();
    BusyGuard busy;
    if (gblnStop) {
        if (state_ == State::Rendering)
            state_ = State::Halted;
        return;
    }
    const bool made = page_.blnRenderNextPage ? page_.blnRenderNextPage() : false;
    if (gblnStop) {
        // A Stop during the page has already put everything back.
        if (state_ == State::Rendering)
            state_ = State::Halted;
        return;
    }
    if (!made) {
        // The page routine logged why. The clock keeps the command file and
        // the change watch going and tries the page again after the dwell.
        armClock();
        return;
    }
    if (window_.standAlone()) {
        if (display_) {
            display_->open();
            display_->pageReady();
        }
    } else {
        // Pushed settings may have handed the board to the local player: a
        // display left up would cover it with a stale page.
        if (display_)
            display_->close();
        const QString name = page_.playerImage ? page_.playerImage() : gstrImageFile;
        if (!name.isEmpty())
            modMain::UpdatePlayerVariablesImage(name);
    }
    if (gblnStop) {
        if (state_ == State::Rendering)
            state_ = State::Halted;
        return;
    }
    statusMessage(QStringLiteral("Done."));
    armClock();
}

void RunController::armClock()
{
    bool valid = true;
    dwellSeconds(gstrDwellTime, &valid);
    if (!valid && !dwellReported_) {
        dwellReported_ = true;
        statusMessage(QStringLiteral("!!!Dwell Time \"%1\" is not a whole number of seconds; paging every %2 seconds.")
                          .arg(gstrDwellTime)
                          .arg(kDefaultDwell));
    }
    timers_.clock.start();
    state_ = State::Dwelling;
}

void RunController::runClock_Timer()
{
    timers_.clock.stop();
    const QString t = services::clock().now().toString(QStringLiteral("HH:mm:ss"));
    window_.showTime(t);
    if (gblnStop) {
        mlngDwellCounter = 1;
        if (state_ == State::Dwelling)
            state_ = State::Halted;
        return;
    }
    if (state_ != State::Waiting)
        ++mlngDwellCounter;
    if (blnCheckConfirmFile())
        return;
    if (gblnStop) // a Stop while the command check waited
        return;

    bool changed = false;
    if (window_.ftpMode()) {
        const QString m =
            modMain::GetRightOfLast(modMain::GetLeftOfLast(t, QLatin1Char(':')), QLatin1Char(':')).trimmed();
        const bool check = m != mstrLastMinute && !mstrLastMinute.isEmpty();
        mstrLastMinute = m;
        if (check) {
            // A look asks for both files; whether a copy it found to fetch
            // goes now is the pair rule's business.
            const bool d = blnFTPDataFileChanged(gstrFTPFilename);
            const bool b = blnFTPBookingFileChanged(gstrFTPBookingFilename);
            changed = (d || b) && restartForFtpPair(dataFtp_, bookingFtp_, services::clock().now());
        } else {
            settleFtpFiles();
            changed = restartForFtpPair(dataFtp_, bookingFtp_, services::clock().now());
        }
    } else {
        const bool d = blnDataFileChanged(gstrDataFile);
        const bool b = blnBookingFileChanged(gstrBookingDataFile);
        const QDateTime now = services::clock().now();
        const auto side = [&now](const WatchedFile& w, bool settled) {
            return settle::PairSide{settled, !settled && w.changed.has_value(),
                                    settled && w.changedAt.secsTo(now) >= kSettleSecs + kMaxSettleWaitSecs};
        };
        changed = settle::restartForPair(side(dataWatch_, d), side(bookingWatch_, b));
    }
    // A Stop while the FTP watch waited for the server stays a Stop.
    if (gblnStop) {
        mlngDwellCounter = 1;
        return;
    }
    if (changed) {
        const QScopedValueRollback<bool> restart(ftpRestart_, window_.ftpMode());
        mnuRestart_Click();
        return;
    }
    if (state_ == State::Waiting) {
        timers_.clock.start();
        return;
    }
    if (mlngDwellCounter < dwellSeconds(gstrDwellTime)) {
        timers_.clock.start();
        state_ = State::Dwelling;
    } else {
        mlngDwellCounter = 1;
        mnuRun_Click();
    }
}

void RunController::keyWatch_Timer()
{
    timers_.keys.stop();
    if (gblnStop)
        return;
    const bool right = services::keys().rightButtonDown();
    const bool esc = services::keys().escapeDown();
    if (right || esc) {
        gblnStop = true;
        mnuStop_Click();
        return;
    }
    timers_.keys.start();
}

// ---- Command file ----

bool RunController::resetConfirmFile()
{
    return writeFile_ && writeFile_(gstrConfirmFile, commandfile::resetBytes(), nullptr);
}

bool RunController::blnCheckConfirmFile()
{
    // Through a link the reset would write "0" wherever it points, or create
    // a file where a dangling one points: a link is never read or written.
    if (QFileInfo(gstrConfirmFile).isSymLink()) {
        if (!linkReported_) {
            linkReported_ = true;
            statusMessage(QStringLiteral("!!!The command file %1 is a symbolic link; it is not acted on.")
                              .arg(paths::fileNameOf(gstrConfirmFile)));
        }
        return false;
    }
    if (!modMain::blnFileExists(gstrConfirmFile)) {
        resetConfirmFile();
        return false;
    }
    QString value;
    if (!commandfile::readFile(gstrConfirmFile, value))
        return false;
    if (value != QLatin1String("1") && value != QLatin1String("2") && value != QLatin1String("3"))
        return false;
    return actOnCommand(value);
}

bool RunController::actOnCommand(const QString& value)
{
    // The uploader gets a second to finish the file. The run is between
    // pages, so the stop flag has nothing to end: it stays down, since the
    // display closes on it (and its Stop would end the run the command
    // restarts) and the settings load would cancel its FTP fetch on it.
    window_.wait(kCommandWaitMs);
    // A Stop or the shut-down during the wait wins; the command stays in
    // the file for the next run.
    if (state_ == State::Idle || window_.closing())
        return true;
    if (value == QLatin1String("1"))
        return newSettingsCommand();
    if (!resetConfirmFile()) {
        // Acting on a command that stays in the file would restart the
        // board every second.
        statusMessage(QStringLiteral("!!!Error resetting command file."));
        return false;
    }
    mlngDwellCounter = 1;
    mnuRestart_Click();
    return true;
}

// Command "1": the pushed settings become the settings file first, and only
// then is the command file reset. A crash in between leaves the command in
// the file, and the next run adopts the same pushed file again, which gives
// the same settings file.
bool RunController::newSettingsCommand()
{
    // A command file that can't be rewritten must not be adopted again on
    // every tick: the command is written back as it is to find out.
    if (!writeFile_ || !writeFile_(gstrConfirmFile, QByteArrayLiteral("1\r\n"), nullptr)) {
        statusMessage(QStringLiteral("!!!Error resetting command file."));
        return false;
    }
    mlngDwellCounter = 1;
    const QString updated = paths::join(gstrProgramFolder, QStringLiteral("UpdatedSettings.ini"));
    if (adoptUpdatedSettings(updated)) {
        refusedSettings_.clear();
        loadSettingsWatched(updated);
        window_.yieldEvents(3);
        // Atomic: a crash leaves the old settings file or the new one. A
        // save that fails says so itself.
        window_.SaveSettings(gstrSettingsFile);
    } else {
        // Nothing was loaded or fetched: the FTP watch goes on from the
        // board's copies as they are, so an export it has not fetched yet
        // is still fetched.
        keepFtpTimes_ = true;
    }
    // A reset that fails now leaves the command in the file: the restarted
    // run adopts the same file once more, which changes nothing.
    if (!resetConfirmFile())
        statusMessage(QStringLiteral("!!!Error resetting command file."));
    // A Stop while the load waited for the server stays a Stop; the pushed
    // settings are kept.
    if (gblnStop)
        return true;
    if (!workingRecordsExist() && waitForFtpExport())
        return true;
    timers_.start.start();
    state_ = State::Starting;
    return true;
}

// A pushed settings file is taken only when it can be read and holds the
// SETTINGS section: a broken upload must not replace the board's settings.
// A missing file takes nothing and saves the settings as they are.
bool RunController::adoptUpdatedSettings(const QString& path)
{
    if (!QFileInfo::exists(path))
        return true;
    QString text, error;
    if (!textfile::readText(path, text, &error, textfile::kMaxSmallFileBytes))
        refusedSettings_ =
            QStringLiteral("!!!Can't read UpdatedSettings.ini (%1); the settings stay as they are.").arg(error);
    else if (!IniDocument::fromText(text).hasSection(QStringLiteral("SETTINGS")))
        refusedSettings_ =
            QStringLiteral("!!!UpdatedSettings.ini holds no [SETTINGS] section; the settings stay as they are.");
    else
        return true;
    statusMessage(refusedSettings_);
    return false;
}

// ---- Change watch ----

QString RunController::watchedFile(const QString& file, const WatchedFile& watch) const
{
    if (&watch != &dataWatch_ || file.isEmpty() || modMain::blnFileExists(file))
        return file;
    const QFileInfo info(file);
    return paths::resolve(info.path(), info.fileName());
}

bool RunController::localFileChanged(const QString& file, WatchedFile& watch)
{
    const QString behind = watchedFile(file, watch);
    if (!modMain::blnFileExists(behind)) {
        watch.changed.reset();
        return false;
    }
    const FileStamp now = FileStamp::of(behind);
    if (watch.path != file) {
        watch = {file, now, std::nullopt, {}};
        return false;
    }
    if (now == watch.taken) {
        watch.changed.reset();
        return false;
    }
    // Changed: converted only once it has stayed so for kSettleSecs. A clock
    // set back starts the wait again.
    const QDateTime at = services::clock().now();
    if (!watch.changed || *watch.changed != now || watch.changedAt > at) {
        watch.changed = now;
        watch.changedAt = at;
        return false;
    }
    return watch.changedAt.secsTo(at) >= kSettleSecs;
}

bool RunController::blnDataFileChanged(const QString& file)
{
    return localFileChanged(file, dataWatch_);
}

bool RunController::blnBookingFileChanged(const QString& file)
{
    return localFileChanged(file, bookingWatch_);
}

// The watched files are taken before the load converts them: a file that
// changes while (or after) it is converted differs from what was taken and
// is converted again once it settles, and so is a file the conversion met
// half-written and refused. A file missing then is taken as missing: when it
// arrives, it differs from that and is converted once it settles. A file the
// load names anew is taken as soon as the load has named it, still before
// its conversion (or after the load, when the load names nothing). The
// working record file as its own source, which the load rewrites, is taken
// after the load: that is no change.
void RunController::loadSettingsWatched(const QString& path)
{
    const std::pair<WatchedFile*, const QString*> sources[] = {{&dataWatch_, &gstrDataFile},
                                                               {&bookingWatch_, &gstrBookingDataFile}};
    const auto take = [this](WatchedFile& watch, const QString& file) {
        watch = WatchedFile{file, FileStamp::of(watchedFile(file, watch)), std::nullopt, {}};
    };
    const auto takeNamedAnew = [&] {
        for (const auto& [watch, file] : sources)
            if (watch->path != *file)
                take(*watch, *file);
    };
    for (const auto& [watch, file] : sources)
        take(*watch, *file);
    {
        const QScopedValueRollback<bool> runLoad(runLoad_, true);
        window_.LoadSettings(path, takeNamedAnew);
    }
    const QString working = QFileInfo(gstrWorkingDataFile).canonicalFilePath();
    for (const auto& [watch, file] : sources)
        if (watch->path != *file || (!working.isEmpty() && QFileInfo(*file).canonicalFilePath() == working))
            take(*watch, *file);
    takeFetchedFtpCopies();
}

void RunController::removeOldUploadTemporaries()
{
    const QDateTime before = services::clock().now().addSecs(-kOldTemporarySecs);
    for (const QString& folder : {gstrProgramFolder, gstrDataFolder, gstrMediaFolder})
        if (!folder.isEmpty())
            atomicfile::removeStaleTemporaries(folder, before);
}

bool RunController::watchFtpSource(FtpFileWatch& watch, const QString& file)
{
    const QString watched = paths::namedFile(file).isEmpty() ? QString() : file;
    return watch.watch({watched, gstrFTPServer, gstrFTPUsername, gstrFTPPassword});
}

void RunController::takeFetchedFtpCopies()
{
    keepPass_ = false;
    if (!window_.ftpMode())
        return;
    const std::tuple<const QString&, const QString&, FtpFileWatch&> files[] = {
        {gstrFTPFilename, gstrDataFile, dataFtp_}, {gstrFTPBookingFilename, gstrBookingDataFile, bookingFtp_}};
    const QDateTime now = services::clock().now();
    bool tookNew = false;
    for (const auto& [file, local, watch] : files) {
        // What the fetch took, at a restart for a change: the copy that
        // settled, as far as the fetch did not say otherwise.
        const std::optional<FtpFileWatch::Copy> decided = ftpRestart_ ? watch.decided() : std::nullopt;
        // Any other start, or another file, server or account, starts the
        // watch afresh: no failure, gap or copy carried over.
        if (!ftpRestart_)
            watch.reset();
        // The load converted another source's local copy: the records on
        // show are no longer the pass's, whatever the fetch did.
        if (watchFtpSource(watch, file))
            tookNew = true;
        // Without the fetch's own answer, a restart's fetch counts as made.
        std::optional<FetchReport> fetch;
        if (!watch.source().file.isEmpty() && !local.isEmpty())
            fetch = ftpFetchReport_ ? ftpFetchReport_(file)
                    : decided       ? std::optional(FetchReport{FetchReport::Outcome::Took, *decided, *decided})
                                    : std::nullopt;
        // Nothing fetched of that name: the watch goes on as it was, done
        // with a copy this restart was for (its next change restarts anew).
        if (!fetch) {
            if (decided)
                watch.passOver();
            continue;
        }
        fetch->found = asWatched(fetch->found);
        fetch->board = asWatched(fetch->board);
        if (watch.fetched(*fetch, now))
            tookNew = true;
    }
    keepFtpTimes_ = true;
    keepPass_ = ftpRestart_ && !tookNew;
}

bool RunController::mayTakeFtpCopy(const QString& file, const ServerFile& found) const
{
    if (!runLoad_)
        return true;
    if (!ftpRestart_)
        return false;
    const FtpFileWatch::Source source{file, gstrFTPServer, gstrFTPUsername, gstrFTPPassword};
    for (const FtpFileWatch* watch : {&dataFtp_, &bookingFtp_}) {
        if (watch->source() == source) {
            const std::optional<FtpFileWatch::Copy> decided = watch->decided();
            return decided && decided->same(asWatched(found));
        }
    }
    return false;
}

RunController::ServerFile RunController::askFtp(const QString& file, bool logMissingTime)
{
    const ServerFile r =
        ftpFileState_ ? ftpFileState_(gstrFTPServer, gstrFTPUsername, gstrFTPPassword, file) : ServerFile();
    if (r.time.isEmpty()) {
        if (logMissingTime)
            statusMessage(QStringLiteral("!!!Error getting ") + file +
                          QStringLiteral(" modified time from FTP Server."));
        return ServerFile();
    }
    return asWatched(r);
}

bool RunController::ftpFileChanged(const QString& file, FtpFileWatch& watch, bool logMissingTime)
{
    watchFtpSource(watch, file);
    // A name that names no file: the load fetched nothing and said why.
    if (!file.isEmpty() && watch.source().file.isEmpty()) {
        watch.saw(ServerFile(), services::clock().now(), true);
        return false;
    }
    if (file.isEmpty() || !ftpSettingsComplete()) {
        statusMessage(QStringLiteral("The FTP Settings is not correct."));
        watch.saw(ServerFile(), services::clock().now(), true);
        return false;
    }
    const ServerFile s = askFtp(file, logMissingTime);
    watch.saw(s, services::clock().now(), true);
    if (s.time.isEmpty())
        return false;
    // A change restarts the run once it has settled; the board's copy moves
    // only with the restart's fetch (see takeFetchedFtpCopies).
    window_.yieldEvents(3);
    return watch.settled();
}

void RunController::settleFtpFiles()
{
    if (!ftpSettingsComplete())
        return;
    settleFtpPair(dataFtp_, bookingFtp_, services::clock().now(), [this](const FtpFileWatch& watch) {
        const ServerFile s = askFtp(watch.source().file, &watch == &bookingFtp_);
        if (!s.time.isEmpty())
            window_.yieldEvents(3);
        return s;
    });
}

bool RunController::ftpSettling() const
{
    return dataFtp_.settling() || bookingFtp_.settling();
}

bool RunController::blnFTPDataFileChanged(const QString& file)
{
    return ftpFileChanged(file, dataFtp_, false);
}

bool RunController::blnFTPBookingFileChanged(const QString& file)
{
    // Without a name there is no booking file: nothing to ask, nothing amiss.
    if (file.isEmpty()) {
        watchFtpSource(bookingFtp_, file);
        bookingFtp_.saw(ServerFile(), services::clock().now(), true);
        return false;
    }
    return ftpFileChanged(file, bookingFtp_, true);
}
