#pragma once
// A video player that comes into being with the first file it is given:
// until then nothing of the media framework exists (no decoder, no audio
// output), so a board that never shows a video never starts one. Before
// that it answers as a player with no file: 0, false or Stopped, and it
// ignores every command.
#include "platform/videoplayer.h"

#include <functional>
#include <memory>

class LazyVideoPlayer final : public VideoPlayer {
public:
    using Maker = std::function<std::unique_ptr<VideoPlayer>()>;

    explicit LazyVideoPlayer(Maker make);
    ~LazyVideoPlayer() override;

    // True once the real player was made.
    bool made() const { return real_ != nullptr; }

    // Makes the real player on the first call for a file that exists; a
    // missing file fails without making it.
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

private:
    Maker make_;
    std::unique_ptr<VideoPlayer> real_;
};
