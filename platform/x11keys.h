#pragma once
// Esc and the right mouse button as the X server sees them right now, also
// while none of the program's windows has the focus or one is shown (a
// board's window hides in the notification area during a run). Reads the
// server's key map and the pointer's button mask through Qt's own X11
// connection.
#include "platform/services.h"

#include <memory>

class X11Keys final : public KeyState {
public:
    // Nothing when the program does not run on X11 (offscreen, Wayland).
    static std::unique_ptr<X11Keys> create();
    ~X11Keys() override;

    bool escapeDown() override;
    bool rightButtonDown() override;

private:
    struct Connection;
    explicit X11Keys(std::unique_ptr<Connection> c);
    std::unique_ptr<Connection> c_;
};
