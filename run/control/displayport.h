#pragma once
// What the run control asks of the full-screen display in stand-alone mode.
// The display lives for the whole program: it is hidden and reset, never
// destroyed, because Stop can arrive from its own timer.

class DisplayPort {
public:
    virtual ~DisplayPort() = default;
    // Shows the display over the whole screen; calling it again while shown
    // does nothing.
    virtual void open() = 0;
    // A new page image is on disk (the Image File in the Media folder): the
    // display shows it on its next tick.
    virtual void pageReady() = 0;
    // Hides the display and resets it (Stop, a change of mode, shut-down).
    virtual void close() = 0;
};
