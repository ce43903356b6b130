#pragma once
// One video file played into a host surface: the seam between the program's
// video wrapper and the media framework, so that tests can replace it.
// Times are in seconds; an instance with no file answers 0, false or
// Stopped to every question and ignores every command.
#include <QSize>
#include <QString>

class VideoPlayer {
public:
    enum class State { Stopped, Playing, Paused };

    virtual ~VideoPlayer() = default;

    // Opens `file` in place of any other and waits (keeping the program
    // responsive) until the framework knows whether it can play it. False
    // when the file is missing, can't be decoded or the wait timed out; the
    // player then holds no file.
    virtual bool load(const QString& file) = 0;
    // Stops, forgets the file and takes the picture off the host.
    virtual void unload() = 0;

    virtual bool hasVideo() const = 0;
    virtual bool hasAudio() const = 0;
    virtual QSize videoSize() const = 0;

    // The length of the file, 0 while unknown. At the end of the file the
    // position reads as the length until the next seek or play.
    virtual double duration() const = 0;
    virtual double position() const = 0;
    // Seeks and returns at once.
    virtual void setPosition(double seconds) = 0;

    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    virtual State state() const = 0;

    virtual double rate() const = 0;
    virtual void setRate(double rate) = 0;
    // 0 (silent) .. 1 (full volume).
    virtual void setVolume(double linear) = 0;

    // Shows or hides the picture in the host.
    virtual void setVisible(bool visible) = 0;
    // Mouse and key input on the picture goes to the host underneath.
    virtual void passInputToHost() = 0;
};
