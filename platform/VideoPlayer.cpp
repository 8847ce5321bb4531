#include "VideoPlayer.h"

#include <QAudioOutput>
#include <QMediaPlayer>

#include <limits>
#include <utility>

namespace {
constexpr double kMillisecondsPerSecond = 1000.0;
}

VideoPlayer::VideoPlayer(QObject* parent)
    : QObject(parent), player_(new QMediaPlayer(this)), standby_(new QMediaPlayer(this)),
      standbyAudio_(new QAudioOutput(this)) {
    // A pipeline given an audio output while it plays does not play on, so the standby has one
    // of its own from the start, following the window's volume and mute.
    standby_->setAudioOutput(standbyAudio_);
    connect(player_, &QMediaPlayer::audioOutputChanged, this, &VideoPlayer::mirrorWindowAudio);
    watch(player_);
    watch(standby_);
}

void VideoPlayer::watch(QMediaPlayer* player) {
    connect(player, &QMediaPlayer::mediaStatusChanged, this,
            [this, player](QMediaPlayer::MediaStatus s) {
                if (s == QMediaPlayer::EndOfMedia && player == player_ && currentItem_ != kNoItem)
                    emit itemDidPlayToEnd(currentItem_);
                // A stopped pipeline shows no picture; a paused one shows the first frame and
                // stays.
                if (s == QMediaPlayer::LoadedMedia &&
                    player->playbackState() == QMediaPlayer::StoppedState)
                    player->pause();
                if (player == standby_ && s != QMediaPlayer::LoadingMedia && standbyNext_) {
                    const QUrl next = *std::exchange(standbyNext_, std::nullopt);
                    next.isEmpty() ? clearStandby() : prepareStandby(next);
                }
            });
}

VideoPlayer::~VideoPlayer() = default;

void VideoPlayer::mirrorWindowAudio() {
    QAudioOutput* window = player_->audioOutput();
    if (!window || window == standbyAudio_ || window == windowAudio_)
        return;
    if (windowAudio_)
        disconnect(windowAudio_, nullptr, standbyAudio_, nullptr);
    windowAudio_ = window;
    const auto follow = [this, window] {
        standbyAudio_->setVolume(window->volume());
        standbyAudio_->setMuted(window->isMuted());
    };
    connect(window, &QAudioOutput::volumeChanged, standbyAudio_, follow);
    connect(window, &QAudioOutput::mutedChanged, standbyAudio_, follow);
    follow();
}

QUrl VideoPlayer::currentSource() const {
    return player_->source();
}

double VideoPlayer::currentTime() const {
    if (currentItem_ == kNoItem)
        return std::numeric_limits<double>::quiet_NaN();
    return double(player_->position()) / kMillisecondsPerSecond;
}

double VideoPlayer::duration() const {
    if (currentItem_ == kNoItem || player_->duration() <= 0)
        return std::numeric_limits<double>::quiet_NaN();
    return double(player_->duration()) / kMillisecondsPerSecond;
}

void VideoPlayer::play() {
    if (currentItem_ != kNoItem)
        player_->play();
}

void VideoPlayer::pause() {
    player_->pause();
}

VideoPlayer::ItemId VideoPlayer::replaceCurrentItem(const QUrl& file) {
    player_->stop();
    currentItem_ = ++lastItem_;
    player_->setSource(file);
    emit currentItemChanged();
    return currentItem_;
}

void VideoPlayer::clearCurrentItem() {
    clearStandby();
    player_->stop();
    player_->setSource(QUrl());
    if (currentItem_ != kNoItem) {
        currentItem_ = kNoItem;
        emit currentItemChanged();
    }
}

// A standby still loading is left to finish: the media backend blocks the calling thread for up
// to two seconds to stop a pipeline it has not loaded. What is asked of it meanwhile waits.
void VideoPlayer::prepareStandby(const QUrl& file) {
    if (standby_->mediaStatus() == QMediaPlayer::LoadingMedia) {
        standbyNext_ = file;
        return;
    }
    // The same file again is not loaded anew, only stopped, and a stopped player shows nothing.
    if (standby_->source() == file)
        standby_->setSource(QUrl());
    standby_->setSource(file);
}

void VideoPlayer::clearStandby() {
    if (standby_->mediaStatus() == QMediaPlayer::LoadingMedia) {
        standbyNext_ = QUrl();
        return;
    }
    if (standby_->source().isEmpty())
        return;
    standby_->stop();
    standby_->setSource(QUrl());
}

VideoPlayer::ItemId VideoPlayer::swapInStandby() {
    QMediaPlayer* shown = player_;
    shown->pause();
    standby_->setPlaybackRate(shown->playbackRate());
    player_ = standby_;
    standby_ = shown;
    standbyNext_.reset();
    currentItem_ = ++lastItem_;
    emit mediaPlayerChanged();
    emit currentItemChanged();
    return currentItem_;
}
