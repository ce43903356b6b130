#pragma once
// Seams between the program and the outside world that tests replace:
// the clock, message boxes, file and colour choosers, key state, the
// notification area, and the busy (hourglass) pointer. The program installs
// the real ones at start-up; until then (and in tests) harmless defaults
// answer.
#include <QColor>
#include <QDateTime>
#include <QString>

#include <functional>

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

// None: a plain box without an icon.
enum class MsgIcon { Information, Exclamation, Question, Critical, None };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual MsgAnswer show(const QString& title, const QString& text, MsgIcon icon, MsgButtons buttons) = 0;
};

// File dialogs. `filter` uses the old "Text (*.txt)|*.txt|All (*.*)|*.*"
// form; extensions match without regard to case. Return false on cancel.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    virtual bool chooseOpen(const QString& title, const QString& folder, const QString& filter, QString& path) = 0;
    virtual bool chooseSave(const QString& title, const QString& folder, const QString& filter,
                            const QString& suggestedName, bool confirmOverwrite, QString& path) = 0;
};

class ColorChooser {
public:
    virtual ~ColorChooser() = default;
    virtual bool choose(const QColor& initial, QColor& chosen) = 0;
};

// The state of the Esc key and the right mouse button right now.
class KeyState {
public:
    virtual ~KeyState() = default;
    virtual bool escapeDown() = 0;
    virtual bool rightButtonDown() = 0;
};

// Whether the desktop session has a notification area (system tray) that
// can hold the program's icon while its window is hidden. Asked each time,
// so a panel started or ended during the session counts from then on.
class NotificationArea {
public:
    virtual ~NotificationArea() = default;
    virtual bool available() = 0;
};

namespace services {

Clock& clock();
MessageSink& messages();
FileChooser& files();
ColorChooser& colors();
KeyState& keys();
// Until the window layer installs the real one: none.
NotificationArea& notificationArea();

// Install replacements; nullptr puts the default back. The caller keeps ownership.
void setClock(Clock* c);
void setMessages(MessageSink* m);
void setFiles(FileChooser* f);
void setColors(ColorChooser* c);
void setKeys(KeyState* k);
void setNotificationArea(NotificationArea* a);

// Shorthand for a message box with the program's usual title.
MsgAnswer message(const QString& text, MsgIcon icon = MsgIcon::Information, MsgButtons buttons = MsgButtons::Ok,
                  const QString& title = QStringLiteral("Orvane"));

// Called when the busy pointer turns on (true) or off (false); the window
// layer sets it to show the hourglass.
void setBusyHook(std::function<void(bool)> hook);

} // namespace services

// Shows the hourglass while it lives. Guards nest: the pointer returns to
// normal when the outermost guard ends.
class BusyGuard {
public:
    BusyGuard();
    ~BusyGuard();
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;
    static bool active();
};
