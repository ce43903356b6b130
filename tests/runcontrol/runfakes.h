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
// while the server can't be reached.
// Installed into a run, the window's settings loads fetch every named file.
class FakeFtp {
public:
    void install(RunController& run, FakeWindow& window)
    {
        run.setFtpFileState([this](const QString&, const QString&, const QString&, const QString& file) {
            if (down)
                return RunController::ServerFile();
            if (growing.value(file) > 0) {
                --growing[file];
                grow(file);
            }
            return copy(file);
        });
        run.setFtpFetchedState([this](const QString& file) -> std::optional<RunController::ServerFile> {
            const std::optional<QString> time = fetched.value(file);
            if (!time)
                return std::nullopt;
            return RunController::ServerFile{*time, fetchedSizes.value(file, -1)};
        });
        run.setFtpTriedFile([this](const QString& file) { return tried.value(file); });
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
    // One fetch of `file`: it fails while failures remain.
    void fetch(const QString& file)
    {
        if (file.isEmpty())
            return;
        fetched.remove(file);
        ++fetches;
        tried.insert(file, down ? RunController::ServerFile() : copy(file));
        if (down)
            return;
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
        fetched.insert(file, serverTimes.value(file));
        fetchedSizes.insert(file, serverSizes.value(file, -1));
    }
    // The board has the server's copy of `file`.
    bool onBoard(const QString& file) const
    {
        return fetched.value(file) == serverTimes.value(file) &&
               fetchedSizes.value(file, -1) == serverSizes.value(file, -1);
    }
    QHash<QString, QString> serverTimes; // "yyyy/mm/dd hh:mm:ss"; missing: no time
    QHash<QString, qint64> serverSizes;  // missing: the server gives no size
    // Still being written: at each of this many asks for its time the file
    // has grown by a line.
    QHash<QString, int> growing;
    QHash<QString, std::optional<QString>> fetched;
    QHash<QString, qint64> fetchedSizes;
    QHash<QString, RunController::ServerFile> tried;
    int failures = 0;
    bool down = false; // no time, and fetches find nothing
    bool refused = false;
    QSet<QString> refusedFiles;       // downloads refused for these alone
    QSet<QString> changedDuringFetch; // the next fetch of each finds it growing under it
    int fetches = 0;
};

class FakeDisplay final : public DisplayPort {
public:
    void open() override { calls << QStringLiteral("open"); }
    void pageReady() override { calls << QStringLiteral("page"); }
    void close() override { calls << QStringLiteral("close"); }
    QStringList calls;
};

} // namespace runtest
