#pragma once
// One video file played inside a host: the display window holds one for the
// background video and one for the PiP video. Volume and balance keep the
// old player's units (hundredths of a decibel of attenuation, -10000 .. 0;
// balance -10000 .. 10000); times are in seconds. No operation raises or
// logs: a call on an instance without a file does nothing and reads as 0,
// "" or false.
#include "platform/videoplayer.h"

#include <QString>

class ClassActiveMovie {
public:
    // `player` is the host's player; it outlives this object.
    explicit ClassActiveMovie(VideoPlayer& player);

    // Source size of the video, 0 without a video.
    int Width() const;
    int Height() const;
    // The host's identity, as the owner keeps it (never used for drawing).
    qintptr Window() const { return window_; }
    void setWindow(qintptr handle) { window_ = handle; }

    QString FileName() const { return fileName_; }
    // Opens the file and shows its picture in the host, at position 0. The
    // file already open (the usual call right after SetNewVideo) is kept
    // rather than opened twice.
    void setFileName(const QString& file);
    // The same after a full teardown.
    void FileName2(const QString& file);
    // Remembers the file, tears the old one down and opens the new one
    // without showing it; true when it has a video stream.
    bool SetNewVideo(const QString& file);
    // Opens the remembered file (hidden) at position 0; true when it has a
    // video stream.
    bool SetVideoWindow();
    // Mouse and key input on the picture reaches the host.
    void EnableClickEvent();
    // Takes the picture off the host and forgets the file.
    void UnloadMovieObject2();
    // Stops, takes the picture off the host and forgets the file.
    void UnloadMovieObject();

    // Runs the file; at exactly its end it starts again from 0.
    void Play();
    void Pause();
    void StopPlaying();

    // Seeks to `seconds`, clamped to 0 .. Duration(), and returns at once.
    void setPosition(double seconds);
    double Position() const;
    // 0 stopped, 1 playing, 2 paused.
    int State() const;
    double Speed() const;
    // Rates below 0.1 (and a rate that is no number) play at 0.1.
    void setSpeed(double rate);
    double Duration() const;
    int Volume() const;
    // Clamped to -10000 .. 0 and played at 10^(v / 2000) of full volume.
    void setVolume(int hundredthsDb);
    int Balance() const;
    // Clamped to -10000 .. 10000 and kept; playback stays centred.
    void setBalance(int balance);
    bool HasAudio() const { return hasAudio_; }
    bool HasVideo() const { return hasVideo_; }

private:
    bool open();

    VideoPlayer& player_;
    qintptr window_ = 0;
    QString fileName_;
    bool loaded_ = false;
    bool hasAudio_ = false;
    bool hasVideo_ = false;
    int volume_ = 0;
    int balance_ = 0;
};

// Plays `file` over the whole of `movie`'s host from the start; logs "Start loading video: " and "Finished loading
// video.", or "PlayBackgroundVideo Error: " and the reason (false).
bool loadMediaPlayerVideo(ClassActiveMovie& movie, const QString& file);
