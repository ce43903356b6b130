#pragma once
// What the run control asks of the main window, and the one-shot timers it
// runs on. The run control itself has no window: the main window's side
// implements RunWindow, and tests put fakes in its place.
#include <QString>

#include <functional>
#include <optional>

// Enabled states of the menus a run command sets; an empty entry stays as it is.
struct RunMenus {
    std::optional<bool> restart;       // Process > Start Program
    std::optional<bool> run;           // Process > Run Process
    std::optional<bool> stop;          // Process > Stop
    std::optional<bool> file;          // the File menu
    std::optional<bool> status;        // the Status menu
    std::optional<bool> communication; // the Communication command
    bool operator==(const RunMenus&) const = default;
};

// Shown states of the main window's panels; an empty entry stays as it is.
struct RunPanels {
    std::optional<bool> progress;    // fraProgress
    std::optional<bool> templates;   // fraTemplates
    std::optional<bool> rdm;         // fraRDM
    std::optional<bool> rdmControls; // fraRDMControls
    bool operator==(const RunPanels&) const = default;
};

class RunWindow {
public:
    virtual ~RunWindow() = default;
    // The settings loader and writer of the settings panel (a missing file
    // loads nothing). A load calls `sourcesNamed` once it has put the names
    // of the source files into the globals, before it fetches or converts
    // any of them.
    virtual void LoadSettings(const QString& path, const std::function<void()>& sourcesNamed) = 0;
    virtual void SaveSettings(const QString& path) = 0;
    // Hides the window to the notification area.
    virtual void mnuHide_Click() = 0;
    virtual void minimise() = 0;
    // Shows the window again (modeless) after a Stop. With a notification
    // area it keeps its window state; without one it comes back not
    // minimised and in front, as nothing else could bring it back.
    virtual void showWindow() = 0;
    virtual void applyMenus(const RunMenus& menus) = 0;
    virtual void applyPanels(const RunPanels& panels) = 0;
    // The designer: hide the selection frame, put slot `index` back.
    virtual void HideSelectionFrame() = 0;
    virtual void selectTemplateSlot(int index) = 0;
    // The settings panel: pages go to the full-screen display; the source
    // files come over FTP.
    virtual bool standAlone() const = 0;
    virtual bool ftpMode() const = 0;
    // The clock label.
    virtual void showTime(const QString& time) = 0;
    // Lets the event loop run `times` times; holds the thread for `ms`
    // milliseconds while the window keeps painting. Neither takes user input.
    virtual void yieldEvents(int times) = 0;
    virtual void wait(int ms) = 0;
    // The program is shutting down: nothing new may start.
    virtual bool closing() const = 0;
};

// A timer that fires once per start: its tick stops it before the handler
// runs, so a handler re-arms it only on purpose.
class RunTimer {
public:
    virtual ~RunTimer() = default;
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    // Set by the run control.
    std::function<void()> onTick;
};
