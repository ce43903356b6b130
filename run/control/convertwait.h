#pragma once
// The conversion wait window: a small notice that a data file is being
// converted. Nothing shows it yet; the shut-down closes it. It is made on
// first show, so closing one that was never shown makes nothing.
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>

class ConvertWaitWindow {
public:
    static constexpr int kClientWidth = 312; // pixels
    static constexpr int kClientHeight = 89;

    ConvertWaitWindow() = default;
    ~ConvertWaitWindow();
    ConvertWaitWindow(const ConvertWaitWindow&) = delete;
    ConvertWaitWindow& operator=(const ConvertWaitWindow&) = delete;

    // Makes the window when needed, centres it on the screen and shows it.
    void show();
    // Closes and destroys it; nothing when it was never shown.
    void close();
    bool loaded() const { return !window_.isNull(); }
    QWidget* window() const { return window_; }

    // Top-left corner that puts a window of `outer` size (frame included)
    // in the middle of `screen`.
    static QPoint centredTopLeft(const QRect& screen, const QSize& outer);

private:
    QPointer<QWidget> window_;
};
