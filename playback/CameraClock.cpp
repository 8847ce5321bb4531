#include "CameraClock.h"

#include <QMediaPlayer>
#include <QVideoFrame>

#include <algorithm>

namespace playback {
namespace {
// A frame stands for the time after it only until about the next one is due.
constexpr double kMaxExtrapolationMs = 120.0;
} // namespace

FrameStamp CameraClock::stamp(const QVideoFrame& frame, const QMediaPlayer* player) const {
    // The frame's own time; the player's position for a backend that gives none.
    qint64 mediaUs = frame.startTime();
    if (mediaUs < 0)
        mediaUs = player ? qint64(player->position() * kUsPerMs) : -1;
    return {mediaUs, nowNs()};
}

double CameraClock::presentedMs(const FrameStamp& last, const QMediaPlayer* player) const {
    if (last.mediaUs < 0 || !player)
        return kUnknownMs;
    double since = 0;
    if (player->playbackState() == QMediaPlayer::PlayingState)
        since = std::min(kMaxExtrapolationMs,
                         double(nowNs() - last.arrivedNs) / kNsPerMs * player->playbackRate());
    return double(last.mediaUs) / kUsPerMs + since;
}

} // namespace playback
