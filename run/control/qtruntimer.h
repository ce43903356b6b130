#pragma once
// RunTimer over a QTimer (not owned): the main window's StartTimer,
// LoadSettingsTimer and runClock, so that the window's shut-down stops the
// same timers the run uses.
#include "run/control/runwindow.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

class QtRunTimer final : public RunTimer {
public:
    explicit QtRunTimer(QTimer* timer)
        : timer_(timer)
    {
        connection_ = QObject::connect(timer_, &QTimer::timeout, timer_, [this] {
            timer_->stop();
            if (onTick)
                onTick();
        });
    }
    ~QtRunTimer() override
    {
        if (timer_)
            QObject::disconnect(connection_);
    }
    QtRunTimer(const QtRunTimer&) = delete;
    QtRunTimer& operator=(const QtRunTimer&) = delete;

    void start() override
    {
        if (timer_)
            timer_->start();
    }
    void stop() override
    {
        if (timer_)
            timer_->stop();
    }
    bool isActive() const override { return timer_ && timer_->isActive(); }

private:
    QPointer<QTimer> timer_;
    QMetaObject::Connection connection_;
};
