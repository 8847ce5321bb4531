#include "VideoPlayer.h"

#include <QMediaPlayer>

#include <limits>

namespace {
constexpr double kMillisecondsPerSecond = 1000.0;
}

VideoPlayer::VideoPlayer(QObject* parent) : QObject(parent), player_(new QMediaPlayer(this)) {
    connect(player_, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus s) {
        if (s == QMediaPlayer::EndOfMedia && currentItem_ != kNoItem)
            emit itemDidPlayToEnd(currentItem_);
        // A stopped pipeline shows no picture; a paused one shows the first frame and stays.
        if (s == QMediaPlayer::LoadedMedia &&
            player_->playbackState() == QMediaPlayer::StoppedState)
            player_->pause();
    });
}

VideoPlayer::~VideoPlayer() = default;

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
    player_->stop();
    player_->setSource(QUrl());
    if (currentItem_ != kNoItem) {
        currentItem_ = kNoItem;
        emit currentItemChanged();
    }
}
