#pragma once
// The run control's fakes: timers a test fires by hand, a window that
// records what the run asked of it, and a page routine with a cursor.
#include "core/globals.h"
#include "run/control/displayport.h"
#include "run/control/runcontroller.h"
#include "run/control/runwindow.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>

namespace runtest {

class FakeTimer final : public RunTimer {
public:
    void start() override { active = true; }
    void stop() override { active = false; }
    bool isActive() const override { return active; }
    // A tick, when armed. False when the timer was not armed.
    bool fire()
    {
        if (!active)
            return false;
        active = false;
        onTick();
        return true;
    }
    bool active = false;
};

class FakeWindow final : public RunWindow {
public:
    // A load names its sources (sourcesNamed) when onLoad calls
    // nameSources(), or else before it returns.
    void LoadSettings(const QString& path, const std::function<void()>& named) override
    {
        calls << QStringLiteral("load ") + path;
        sourcesNamed = named;
        if (onLoad)
            onLoad();
        nameSources();
    }
    void nameSources()
    {
        if (sourcesNamed)
            std::exchange(sourcesNamed, nullptr)();
    }
    void SaveSettings(const QString& path) override
    {
        calls << QStringLiteral("save ") + path;
        if (onSave)
            onSave();
    }
    void mnuHide_Click() override { calls << QStringLiteral("hide"); }
    void minimise() override { calls << QStringLiteral("minimise"); }
    void showWindow() override { calls << QStringLiteral("show"); }
    void applyMenus(const RunMenus& m) override
    {
        for (auto [from, to] : {std::pair{&m.restart, &menus.restart},
                                {&m.run, &menus.run},
                                {&m.stop, &menus.stop},
                                {&m.file, &menus.file},
                                {&m.status, &menus.status},
                                {&m.communication, &menus.communication}})
            if (*from)
                *to = *from;
    }
    void applyPanels(const RunPanels& p) override
    {
        for (auto [from, to] : {std::pair{&p.progress, &panels.progress},
                                {&p.templates, &panels.templates},
                                {&p.rdm, &panels.rdm},
                                {&p.rdmControls, &panels.rdmControls}})
            if (*from)
                *to = *from;
    }
    void HideSelectionFrame() override { calls << QStringLiteral("hideFrame"); }
    void selectTemplateSlot(int index) override { calls << QStringLiteral("slot %1").arg(index); }
    bool standAlone() const override { return standAloneOn; }
    bool ftpMode() const override { return ftp; }
    void showTime(const QString&) override {}
    void yieldEvents(int) override {}
    void wait(int ms) override
    {
        calls << QStringLiteral("wait %1").arg(ms);
        if (onWait)
            onWait();
    }
    bool closing() const override { return false; }

    QStringList calls;
    RunMenus menus;
    RunPanels panels;
    bool standAloneOn = false;
    bool ftp = false;
    std::function<void()> onLoad;
    std::function<void()> onSave;
    std::function<void()> sourcesNamed; // during a load
    std::function<void()> onWait;
};

// Pages through ten records, three to a page.
class FakePages {
public:
    PageRoutine routine()
    {
        return {[this] {
                    if (during)
                        during();
                    if (!succeed)
                        return false;
                    pagesFrom << cursor;
                    cursor = cursor + 3 > 10 ? 1 : cursor + 3;
                    return true;
                },
                [this] {
                    ++resets;
                    cursor = 1;
                },
                [this] { return playerName; }};
    }
    int cursor = 1;
    int resets = 0;
    bool succeed = true;
    QString playerName = QStringLiteral("Page.png");
    QList<int> pagesFrom;
    std::function<void()> during;
};

// An FTP server as the run sees it: the server's time (and size) of each
// file, files still being written, and fetches that fail a given number of
// times before they work, or while the server refuses downloads (a file its
// writer holds open), or because the file changed while it was fetched, or
// while the server can't be reached. A fetch chooses what to take by the
// rule every fetch follows (chooseFetch), asking the run (mayTakeFtpCopy);
// the board's copy of each file outlives a Stop and a start, as the copy
// kept beside the local file does.
// Installed into a run, the window's settings loads fetch every named file.
class FakeFtp {
public:
    void install(RunController& run, FakeWindow& window)
    {
        run_ = &run;
        run.setFtpFileState([this](const QString&, const QString&, const QString&, const QString& file) {
            ++asks;
            if (down)
                return RunController::ServerFile();
            if (growing.value(file) > 0) {
                --growing[file];
                grow(file);
            }
            return copy(file);
        });
        run.setFtpFetchReport([this](const QString& file) -> std::optional<FetchReport> {
            if (!reports.contains(file))
                return std::nullopt;
            return reports.value(file);
        });
        window.onLoad = [this, &window] {
            window.nameSources();
            fetch(gstrFTPFilename);
            fetch(gstrFTPBookingFilename);
        };
    }
    RunController::ServerFile copy(const QString& file) const
    {
        return RunController::ServerFile(serverTimes.value(file), serverSizes.value(file, -1));
    }
    // A line more in the file, at the same second.
    void grow(const QString& file) { serverSizes[file] = serverSizes.value(file, 0) + 10; }
    // A settings load's fetch of `file`: a transfer, when the rule lets it
    // take the copy it finds, fails while failures remain.
    void fetch(const QString& file)
    {
        if (file.isEmpty())
            return;
        if (beforeFetch)
            beforeFetch(file);
        FetchReport& r = reports[file];
        r = {FetchReport::Outcome::Failed, {}, board.value(file)};
        if (down)
            return;
        r.found = copy(file);
        const RunController::ServerFile found = r.found;
        switch (chooseFetch(found, r.board, [&] { return !run_ || run_->mayTakeFtpCopy(file, found); })) {
        case FetchChoice::Unchanged:
            r.outcome = FetchReport::Outcome::Unchanged;
            return;
        case FetchChoice::NotSettled:
            r.outcome = FetchReport::Outcome::NotSettled;
            return;
        case FetchChoice::Transfer:
            break;
        }
        ++fetches;
        if (changedDuringFetch.remove(file)) {
            grow(file);
            return;
        }
        if (refused || refusedFiles.contains(file))
            return;
        if (failures > 0) {
            --failures;
            return;
        }
        board.insert(file, found);
        ++taken;
        r = {FetchReport::Outcome::Took, found, found};
    }
    // The board has the server's copy of `file`.
    bool onBoard(const QString& file) const { return board.contains(file) && board.value(file) == copy(file); }
    QHash<QString, QString> serverTimes; // "yyyy/mm/dd hh:mm:ss"; missing: no time
    QHash<QString, qint64> serverSizes;  // missing: the server gives no size
    // Still being written: at each of this many asks for its time the file
    // has grown by a line.
    QHash<QString, int> growing;
    QHash<QString, RunController::ServerFile> board; // the copy the board holds
    QHash<QString, FetchReport> reports;             // of each file's last fetch
    int failures = 0;
    bool down = false; // no time, and fetches find nothing
    bool refused = false;
    QSet<QString> refusedFiles;                           // downloads refused for these alone
    QSet<QString> changedDuringFetch;                     // the next fetch of each finds it growing under it
    int fetches = 0;                                      // transfers
    int asks = 0;                                         // for a file's time and size
    int taken = 0;                                        // transfers that took their copy
    std::function<void(const QString& file)> beforeFetch; // between the ask and the fetch

private:
    RunController* run_ = nullptr;
};

class FakeDisplay final : public DisplayPort {
public:
    void open() override { calls << QStringLiteral("open"); }
    void pageReady() override { calls << QStringLiteral("page"); }
    void close() override { calls << QStringLiteral("close"); }
    QStringList calls;
};

} // namespace runtest
