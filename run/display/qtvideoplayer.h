#pragma once
// The video seam over Qt Multimedia: a media player with an audio output,
// drawing into a video item of a graphics scene (the host). The item fills
// the host's rectangle, stretched like the old video windows.
#include "platform/videoplayer.h"

#include <QObject>
#include <QRectF>

class QAudioOutput;
class QGraphicsVideoItem;
class QMediaPlayer;

// Boards play through Debian's GStreamer: call before anything of Qt
// Multimedia is made (a video item starts the framework as well as a
// player does). A QT_MEDIA_BACKEND given in the environment is kept.
void chooseGStreamer();

class QtVideoPlayer final : public QObject, public VideoPlayer {
    Q_OBJECT
public:
    // How long load() waits for the framework to know the file.
    static constexpr int kLoadTimeoutMs = 10000;

    // `item` is the host's video item; it outlives this object.
    QtVideoPlayer(QGraphicsVideoItem& item, QObject* parent = nullptr);
    ~QtVideoPlayer() override;

    bool load(const QString& file) override;
    void unload() override;
    bool hasVideo() const override;
    bool hasAudio() const override;
    QSize videoSize() const override;
    double duration() const override;
    double position() const override;
    void setPosition(double seconds) override;
    void play() override;
    void pause() override;
    void stop() override;
    State state() const override;
    double rate() const override;
    void setRate(double rate) override;
    void setVolume(double linear) override;
    void setVisible(bool visible) override;
    void passInputToHost() override;

    // The media player of the file now open (a failed file's is replaced).
    QMediaPlayer& mediaPlayer() { return *player_; }

private:
    // Replaces the media player with a fresh one on the same item and audio output.
    void renewPlayer();

    QGraphicsVideoItem& item_;
    QMediaPlayer* player_ = nullptr;
    QAudioOutput* audio_;
    bool loaded_ = false;
};
