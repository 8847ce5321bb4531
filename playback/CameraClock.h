// When each camera's picture was last presented, on one monotonic clock, and the media time it
// shows now.
#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

#include <limits>

class QMediaPlayer;
class QVideoFrame;

namespace playback {

inline constexpr double kUnknownMs = std::numeric_limits<double>::quiet_NaN();
inline constexpr double kNsPerMs = 1e6;
inline constexpr double kUsPerMs = 1e3;

// A camera's last presented frame: its media time and when it arrived; none before the first.
struct FrameStamp {
    qint64 mediaUs = -1;
    qint64 arrivedNs = 0;
};

class CameraClock {
public:
    CameraClock() { elapsed_.start(); }

    qint64 nowNs() const { return elapsed_.nsecsElapsed(); }
    // Stamps `frame`, shown by `player`, with the time it arrived.
    FrameStamp stamp(const QVideoFrame& frame, const QMediaPlayer* player) const;
    // The media time `player` presents now in milliseconds, NaN when unknown: its last frame's
    // time, run on while playing until about the next frame is due.
    double presentedMs(const FrameStamp& last, const QMediaPlayer* player) const;
    bool olderThan(qint64 sinceNs, qint64 ms) const {
        return nowNs() - sinceNs > ms * qint64(kNsPerMs);
    }

private:
    QElapsedTimer elapsed_;
};

} // namespace playback
