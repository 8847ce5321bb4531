// The presented frame's time; see FrameClock.h.
#include "FrameClock.h"

#include <QVideoFrame>

namespace {
constexpr double kMicrosecondsPerSecond = 1e6;
constexpr double kMillisecondsPerSecond = 1e3;
} // namespace

void FrameClock::setPlayer(QMediaPlayer* player) {
    if (player == player_)
        return;
    if (player_)
        disconnect(player_, nullptr, this, nullptr);
    player_ = player;
    if (player)
        connect(player, &QMediaPlayer::positionChanged, this, &FrameClock::positionChanged);
    emit playerChanged();
    positionChanged();
}

void FrameClock::setVideoSink(QVideoSink* sink) {
    if (sink == sink_)
        return;
    if (sink_)
        disconnect(sink_, nullptr, this, nullptr);
    sink_ = sink;
    if (sink)
        connect(sink, &QVideoSink::videoFrameChanged, this, &FrameClock::frameArrived);
    emit videoSinkChanged();
}

void FrameClock::setTime(double seconds) {
    if (seconds == time_)
        return;
    time_ = seconds;
    emit timeChanged();
}

void FrameClock::frameArrived(const QVideoFrame& frame) {
    if (frame.startTime() >= 0)
        setTime(static_cast<double>(frame.startTime()) / kMicrosecondsPerSecond);
    else if (player_)
        setTime(static_cast<double>(player_->position()) / kMillisecondsPerSecond);
}

void FrameClock::positionChanged() {
    if (player_ && player_->playbackState() != QMediaPlayer::PlayingState)
        setTime(static_cast<double>(player_->position()) / kMillisecondsPerSecond);
}
