#include "run/display/lazyvideoplayer.h"

#include <QFileInfo>

LazyVideoPlayer::LazyVideoPlayer(Maker make)
    : make_(std::move(make))
{
}

LazyVideoPlayer::~LazyVideoPlayer() = default;

bool LazyVideoPlayer::load(const QString& file)
{
    if (!real_) {
        if (!QFileInfo(file).isFile() || !make_)
            return false;
        real_ = make_();
        if (!real_)
            return false;
    }
    return real_->load(file);
}

void LazyVideoPlayer::unload()
{
    if (real_)
        real_->unload();
}

bool LazyVideoPlayer::hasVideo() const
{
    return real_ && real_->hasVideo();
}

bool LazyVideoPlayer::hasAudio() const
{
    return real_ && real_->hasAudio();
}

QSize LazyVideoPlayer::videoSize() const
{
    return real_ ? real_->videoSize() : QSize();
}

double LazyVideoPlayer::duration() const
{
    return real_ ? real_->duration() : 0;
}

double LazyVideoPlayer::position() const
{
    return real_ ? real_->position() : 0;
}

void LazyVideoPlayer::setPosition(double seconds)
{
    if (real_)
        real_->setPosition(seconds);
}

void LazyVideoPlayer::play()
{
    if (real_)
        real_->play();
}

void LazyVideoPlayer::pause()
{
    if (real_)
        real_->pause();
}

void LazyVideoPlayer::stop()
{
    if (real_)
        real_->stop();
}

VideoPlayer::State LazyVideoPlayer::state() const
{
    return real_ ? real_->state() : State::Stopped;
}

double LazyVideoPlayer::rate() const
{
    return real_ ? real_->rate() : 0;
}

void LazyVideoPlayer::setRate(double rate)
{
    if (real_)
        real_->setRate(rate);
}

void LazyVideoPlayer::setVolume(double linear)
{
    if (real_)
        real_->setVolume(linear);
}

void LazyVideoPlayer::setVisible(bool visible)
{
    if (real_)
        real_->setVisible(visible);
}

void LazyVideoPlayer::passInputToHost()
{
    if (real_)
        real_->passInputToHost();
}
