#include "FollowerCamera.h"

#include "LocalizedString.h"

#include <QVideoFrame>

#include <cmath>

namespace playback {
namespace {
// A follower ending this much before its own duration ran out of readable data.
constexpr qint64 kEarlyEndMarginMs = 1000;
// A follower that shows no new frame this long while the leader plays is stuck on its file.
constexpr qint64 kStallMs = 3000;
constexpr const char* kCameraUnreadableNote =
    QT_TRANSLATE_NOOP("Veldrin", "Camera stopped: its file can no longer be read");
} // namespace

FollowerCamera::FollowerCamera(QString camera, QUrl clip, const CameraClock& clock,
                               const LeaderCamera& leader)
    : camera_(std::move(camera)), clip_(std::move(clip)), clock_(clock), leader_(leader) {
    player_.setVideoSink(&sink_);
    audio_.setMuted(true);
    player_.setAudioOutput(&audio_);
    resume_.setSingleShot(true);
    connect(&resume_, &QTimer::timeout, this, [this] {
        if (leader_.playing() && usable()) {
            progressNs_ = clock_.nowNs();
            player_.play();
        }
    });
    connect(&sink_, &QVideoSink::videoFrameChanged, this, &FollowerCamera::onFrame);
    connect(&player_, &QMediaPlayer::mediaStatusChanged, this, &FollowerCamera::onStatus);
    connect(&player_, &QMediaPlayer::errorOccurred, this, &FollowerCamera::fail);
}

void FollowerCamera::loadAhead() {
    ahead_ = true;
    player_.setSource(clip_);
    player_.pause();
}

void FollowerCamera::load() {
    if (player_.source() != clip_)
        player_.setSource(clip_);
    else if (!synced_ && usable() && player_.mediaStatus() == QMediaPlayer::LoadedMedia)
        syncToLeader();
}

void FollowerCamera::follow() {
    if (!following() || !leader_.player)
        return;
    player_.setPlaybackRate(leader_.player->playbackRate());
    progressNs_ = clock_.nowNs();
    if (leader_.playing())
        player_.play();
    else
        player_.pause();
}

void FollowerCamera::followPausedSeek(qint64 position) {
    if (following() && player_.position() != position)
        player_.setPosition(position);
}

void FollowerCamera::onFrame(const QVideoFrame& frame) {
    if (frame.isValid()) {
        last_ = clock_.stamp(frame, &player_);
        progressNs_ = last_.arrivedNs;
        drift_.framePresented(last_.mediaUs,
                              presentedMs() - clock_.presentedMs(leader_.last, leader_.player));
    }
    if (!ahead_)
        emit framePresented(frame);
}

void FollowerCamera::onStatus() {
    switch (player_.mediaStatus()) {
    case QMediaPlayer::LoadedMedia:
    case QMediaPlayer::BufferedMedia:
        if (!synced_ && !ahead_)
            syncToLeader();
        break;
    case QMediaPlayer::InvalidMedia:
        fail();
        break;
    case QMediaPlayer::EndOfMedia:
        if (player_.duration() - player_.position() > kEarlyEndMarginMs)
            fail();
        break;
    default:
        break;
    }
}

void FollowerCamera::fail() {
    if (!usable())
        return;
    note_ = localizedString(kCameraUnreadableNote);
    synced_ = false;
    player_.stop();
    emit framePresented(QVideoFrame());
    emit failed();
}

void FollowerCamera::syncToLeader() {
    if (!leader_.player)
        return;
    synced_ = true;
    progressNs_ = clock_.nowNs();
    player_.setPlaybackRate(leader_.player->playbackRate());
    const double leaderMs = clock_.presentedMs(leader_.last, leader_.player);
    player_.setPosition(std::isnan(leaderMs) ? leader_.player->position() : qint64(leaderMs));
    if (leader_.playing())
        player_.play();
    else
        player_.pause();
}

void FollowerCamera::correctDrift(double leaderMs, double leaderRate) {
    if (!following() || player_.playbackState() != QMediaPlayer::PlayingState)
        return;
    if (clock_.olderThan(progressNs_, kStallMs)) {
        fail();
        return;
    }
    if (drift_.awaitingSeek(clock_))
        return;
    const double offsetMs = presentedMs() - leaderMs;
    const DriftStep step = drift_.next(offsetMs, leaderRate, player_.playbackRate());
    if (step.kind == DriftStep::Kind::Wait) {
        // Ahead, a pause needs no seek where a slower rate would.
        player_.pause();
        resume_.start(int(offsetMs / leaderRate));
        return;
    }
    if (step.kind == DriftStep::Kind::Reseek) {
        last_ = {};
        const double target = drift_.seekTarget(leaderMs, clock_);
        // Sought while playing, a follower can stay on the frame it found; sought paused and
        // then played, it plays on.
        player_.pause();
        player_.setPosition(qint64(target));
        player_.play();
    }
    if (player_.playbackRate() != step.rate) {
        drift_.rateChanging(step, offsetMs);
        player_.setPlaybackRate(step.rate);
    }
}

} // namespace playback
