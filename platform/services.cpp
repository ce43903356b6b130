#include "platform/services.h"

namespace {

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// Without a window layer nobody can answer: the default keeps the safe choice.
class SilentMessages final : public MessageSink {
public:
    MsgAnswer show(const QString&, const QString&, MsgIcon, MsgButtons buttons) override
    {
        switch (buttons) {
        case MsgButtons::Ok:
            return MsgAnswer::Ok;
        case MsgButtons::OkCancel:
        case MsgButtons::YesNoCancel:
            return MsgAnswer::Cancel;
        case MsgButtons::YesNo:
            return MsgAnswer::No;
        }
        return MsgAnswer::Ok;
    }
};

class NoFiles final : public FileChooser {
public:
    bool chooseOpen(const QString&, const QString&, const QString&, QString&) override { return false; }
    bool chooseSave(const QString&, const QString&, const QString&, const QString&, bool, QString&) override
    {
        return false;
    }
};

class NoColors final : public ColorChooser {
public:
    bool choose(const QColor&, QColor&) override { return false; }
};

class NoKeys final : public KeyState {
public:
    bool escapeDown() override { return false; }
    bool rightButtonDown() override { return false; }
};

// Without a window layer no icon can be shown: the window must stay within reach.
class NoNotificationArea final : public NotificationArea {
public:
    bool available() override { return false; }
};

SystemClock gSystemClock;
SilentMessages gSilentMessages;
NoFiles gNoFiles;
NoColors gNoColors;
NoKeys gNoKeys;
NoNotificationArea gNoNotificationArea;

Clock* gClock = &gSystemClock;
MessageSink* gMessages = &gSilentMessages;
FileChooser* gFiles = &gNoFiles;
ColorChooser* gColors = &gNoColors;
KeyState* gKeys = &gNoKeys;
NotificationArea* gNotificationArea = &gNoNotificationArea;
std::function<void(bool)> gBusyHook;
int gBusyDepth = 0;

} // namespace

namespace services {

Clock& clock()
{
    return *gClock;
}
MessageSink& messages()
{
    return *gMessages;
}
FileChooser& files()
{
    return *gFiles;
}
ColorChooser& colors()
{
    return *gColors;
}
KeyState& keys()
{
    return *gKeys;
}
NotificationArea& notificationArea()
{
    return *gNotificationArea;
}

void setClock(Clock* c)
{
    gClock = c ? c : &gSystemClock;
}
void setMessages(MessageSink* m)
{
    gMessages = m ? m : &gSilentMessages;
}
void setFiles(FileChooser* f)
{
    gFiles = f ? f : &gNoFiles;
}
void setColors(ColorChooser* c)
{
    gColors = c ? c : &gNoColors;
}
void setKeys(KeyState* k)
{
    gKeys = k ? k : &gNoKeys;
}
void setNotificationArea(NotificationArea* a)
{
    gNotificationArea = a ? a : &gNoNotificationArea;
}

MsgAnswer message(const QString& text, MsgIcon icon, MsgButtons buttons, const QString& title)
{
    return messages().show(title, text, icon, buttons);
}

void setBusyHook(std::function<void(bool)> hook)
{
    gBusyHook = std::move(hook);
}

} // namespace services

BusyGuard::BusyGuard()
{
    if (gBusyDepth++ == 0 && gBusyHook)
        gBusyHook(true);
}

BusyGuard::~BusyGuard()
{
    if (--gBusyDepth == 0 && gBusyHook)
        gBusyHook(false);
}

bool BusyGuard::active()
{
    return gBusyDepth > 0;
}
