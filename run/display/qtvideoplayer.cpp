#include "run/display/qtvideoplayer.h"

#include <QAudioOutput>
#include <QEventLoop>
#include <QFileInfo>
#include <QGraphicsVideoItem>
#include <QMediaMetaData>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>

#include <utility>

namespace {

QObject* gstreamerChosen(QObject* parent)
{
    chooseGStreamer();
    return parent;
}

} // namespace

void chooseGStreamer()
{
    if (!qEnvironmentVariableIsSet("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
}

QtVideoPlayer::QtVideoPlayer(QGraphicsVideoItem& item, QObject* parent)
    : QObject(gstreamerChosen(parent))
    , item_(item)
    , audio_(new QAudioOutput(this))
{
    renewPlayer();
    item_.setAspectRatioMode(Qt::IgnoreAspectRatio);
    item_.hide();
}

void QtVideoPlayer::renewPlayer()
{
    if (QMediaPlayer* old = std::exchange(player_, nullptr)) {
        old->disconnect();
        old->stop();
        old->setVideoOutput(nullptr);
        old->setAudioOutput(nullptr);
        old->deleteLater();
    }
    player_ = new QMediaPlayer(this);
    player_->setAudioOutput(audio_);
    player_->setVideoOutput(&item_);
}

QtVideoPlayer::~QtVideoPlayer()
{
    player_->stop();
}

bool QtVideoPlayer::load(const QString& file)
{
    unload();
    const QFileInfo info(file);
    if (!info.isFile() || !info.isReadable())
        return false;

    // The media player keeps its last error (and may keep a broken
    // pipeline) through the next source: after a failure each file gets a
    // player of its own, and only an error reported for this source counts.
    if (player_->error() != QMediaPlayer::NoError || player_->mediaStatus() == QMediaPlayer::InvalidMedia)
        renewPlayer();
    QEventLoop wait;
    QTimer timeout;
    timeout.setSingleShot(true);
    connect(&timeout, &QTimer::timeout, &wait, &QEventLoop::quit);
    bool failed = false;
    const auto known = [this, &failed] {
        const auto s = player_->mediaStatus();
        return failed || s == QMediaPlayer::LoadedMedia || s == QMediaPlayer::InvalidMedia ||
               s == QMediaPlayer::BufferedMedia || s == QMediaPlayer::EndOfMedia;
    };
    auto statusLink = connect(player_, &QMediaPlayer::mediaStatusChanged, &wait, [&] {
        if (known())
            wait.quit();
    });
    auto errorLink = connect(player_, &QMediaPlayer::errorOccurred, &wait, [&] {
        failed = true;
        wait.quit();
    });
    player_->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    if (!known()) {
        timeout.start(kLoadTimeoutMs);
        wait.exec();
    }
    disconnect(statusLink);
    disconnect(errorLink);

    const auto s = player_->mediaStatus();
    loaded_ = !failed && (s == QMediaPlayer::LoadedMedia || s == QMediaPlayer::BufferedMedia);
    if (!loaded_)
        player_->setSource(QUrl());
    return loaded_;
}

void QtVideoPlayer::unload()
{
    item_.hide();
    player_->stop();
    if (!player_->source().isEmpty())
        player_->setSource(QUrl());
    loaded_ = false;
}

bool QtVideoPlayer::hasVideo() const
{
    return loaded_ && player_->hasVideo();
}

bool QtVideoPlayer::hasAudio() const
{
    return loaded_ && player_->hasAudio();
}

QSize QtVideoPlayer::videoSize() const
{
    if (!loaded_)
        return {};
    const QSize fromTags = player_->metaData().value(QMediaMetaData::Resolution).toSize();
    return fromTags.isValid() ? fromTags : item_.nativeSize().toSize();
}

double QtVideoPlayer::duration() const
{
    return loaded_ ? player_->duration() / 1000.0 : 0;
}

double QtVideoPlayer::position() const
{
    if (!loaded_)
        return 0;
    if (player_->mediaStatus() == QMediaPlayer::EndOfMedia)
        return duration();
    return player_->position() / 1000.0;
}

void QtVideoPlayer::setPosition(double seconds)
{
    if (loaded_)
        player_->setPosition(qint64(seconds * 1000.0 + 0.5));
}

void QtVideoPlayer::play()
{
    if (loaded_)
        player_->play();
}

void QtVideoPlayer::pause()
{
    if (loaded_)
        player_->pause();
}

void QtVideoPlayer::stop()
{
    if (loaded_)
        player_->stop();
}

VideoPlayer::State QtVideoPlayer::state() const
{
    switch (player_->playbackState()) {
    case QMediaPlayer::PlayingState:
        return State::Playing;
    case QMediaPlayer::PausedState:
        return State::Paused;
    case QMediaPlayer::StoppedState:
        break;
    }
    return State::Stopped;
}

double QtVideoPlayer::rate() const
{
    return player_->playbackRate();
}

void QtVideoPlayer::setRate(double rate)
{
    player_->setPlaybackRate(rate);
}

void QtVideoPlayer::setVolume(double linear)
{
    audio_->setVolume(float(linear));
}

void QtVideoPlayer::setVisible(bool visible)
{
    item_.setVisible(visible && loaded_);
}

void QtVideoPlayer::passInputToHost()
{
    item_.setAcceptedMouseButtons(Qt::NoButton);
    item_.setFlag(QGraphicsItem::ItemIsFocusable, false);
}
