#include "run/display/classactivemovie.h"

#include "platform/statuslog.h"

#include <algorithm>
#include <cmath>

ClassActiveMovie::ClassActiveMovie(VideoPlayer& player)
    : player_(player)
{
}

int ClassActiveMovie::Width() const
{
    return hasVideo_ ? player_.videoSize().width() : 0;
}

int ClassActiveMovie::Height() const
{
    return hasVideo_ ? player_.videoSize().height() : 0;
}

bool ClassActiveMovie::open()
{
    loaded_ = !fileName_.isEmpty() && player_.load(fileName_);
    hasAudio_ = loaded_ && player_.hasAudio();
    hasVideo_ = loaded_ && player_.hasVideo();
    if (loaded_)
        player_.setVolume(std::pow(10.0, volume_ / 2000.0));
    return hasVideo_;
}

void ClassActiveMovie::setFileName(const QString& file)
{
    if (!(loaded_ && file == fileName_)) {
        player_.stop();
        fileName_ = file;
        open();
    }
    if (hasVideo_) {
        player_.setVisible(true);
        setPosition(0);
    }
}

void ClassActiveMovie::FileName2(const QString& file)
{
    UnloadMovieObject();
    setFileName(file);
}

bool ClassActiveMovie::SetNewVideo(const QString& file)
{
    fileName_ = file;
    UnloadMovieObject();
    return SetVideoWindow();
}

bool ClassActiveMovie::SetVideoWindow()
{
    if (!open())
        return false;
    setPosition(0);
    return true;
}

void ClassActiveMovie::EnableClickEvent()
{
    if (hasVideo_)
        player_.passInputToHost();
}

void ClassActiveMovie::UnloadMovieObject2()
{
    player_.unload();
    loaded_ = hasAudio_ = hasVideo_ = false;
}

void ClassActiveMovie::UnloadMovieObject()
{
    player_.stop();
    UnloadMovieObject2();
}

void ClassActiveMovie::Play()
{
    if (fileName_.isEmpty() || !loaded_)
        return;
    if (player_.position() == player_.duration())
        setPosition(0);
    player_.play();
}

void ClassActiveMovie::Pause()
{
    if (loaded_)
        player_.pause();
}

void ClassActiveMovie::StopPlaying()
{
    if (loaded_)
        player_.stop();
}

void ClassActiveMovie::setPosition(double seconds)
{
    if (!loaded_)
        return;
    const double end = player_.duration();
    if (!(seconds > 0))
        seconds = 0;
    if (seconds > end)
        seconds = end;
    player_.setPosition(seconds);
}

double ClassActiveMovie::Position() const
{
    return loaded_ ? player_.position() : 0;
}

int ClassActiveMovie::State() const
{
    if (!loaded_)
        return 0;
    switch (player_.state()) {
    case VideoPlayer::State::Playing:
        return 1;
    case VideoPlayer::State::Paused:
        return 2;
    case VideoPlayer::State::Stopped:
        break;
    }
    return 0;
}

double ClassActiveMovie::Speed() const
{
    return loaded_ ? player_.rate() : 0;
}

void ClassActiveMovie::setSpeed(double rate)
{
    if (!loaded_)
        return;
    player_.setRate(rate >= 0.1 ? rate : 0.1);
}

double ClassActiveMovie::Duration() const
{
    return loaded_ ? player_.duration() : 0;
}

int ClassActiveMovie::Volume() const
{
    return hasAudio_ ? volume_ : 0;
}

void ClassActiveMovie::setVolume(int hundredthsDb)
{
    volume_ = std::clamp(hundredthsDb, -10000, 0);
    if (loaded_)
        player_.setVolume(std::pow(10.0, volume_ / 2000.0));
}

int ClassActiveMovie::Balance() const
{
    return hasAudio_ ? balance_ : 0;
}

void ClassActiveMovie::setBalance(int balance)
{
    balance_ = std::clamp(balance, -10000, 10000);
}

bool loadMediaPlayerVideo(ClassActiveMovie& movie, const QString& file)
{
    statusMessage(QStringLiteral("Start loading video: ") + file);
    movie.StopPlaying();
    movie.setFileName(file);
    if (!movie.HasVideo()) {
        statusMessage(QStringLiteral("PlayBackgroundVideo Error: ") + QStringLiteral("Can't play ") + file);
        return false;
    }
    movie.Play();
    statusMessage(QStringLiteral("Finished loading video."));
    return true;
}
