#include "CameraSync.h"

#include "CameraAudio.h"
#include "SetAndNotify.h"

#include <QVideoFrame>

#include <cmath>

using playback::FollowerCamera;

namespace {
constexpr int kDriftCheckMs = 500;
} // namespace

CameraSync::CameraSync(QObject* parent) : QObject(parent) {
    driftTimer_.setInterval(kDriftCheckMs);
    connect(&driftTimer_, &QTimer::timeout, this, &CameraSync::correctDrift);
}

CameraSync::~CameraSync() {
    for (const auto& connection : leaderConnections_)
        disconnect(connection);
}

void CameraSync::setLeader(QMediaPlayer* player) {
    if (leader_.player == player)
        return;
    for (const auto& connection : leaderConnections_)
        disconnect(connection);
    leaderConnections_.clear();
    leader_ = {player, {}};
    if (player) {
        leaderConnections_ = {
            connect(player, &QMediaPlayer::sourceChanged, this, &CameraSync::leaderSourceChanged),
            connect(player, &QMediaPlayer::playbackStateChanged, this,
                    &CameraSync::applyLeaderState),
            connect(player, &QMediaPlayer::playbackRateChanged, this,
                    &CameraSync::applyLeaderState),
            connect(player, &QMediaPlayer::mediaStatusChanged, this, &CameraSync::loadFollowers),
            // A seek while paused shows at once in every camera; while playing the drift
            // check finds it.
            connect(player, &QMediaPlayer::positionChanged, this,
                    [this](qint64 position) {
                        if (leader_.playing())
                            return;
                        for (auto& [camera, follower] : followers_)
                            follower->followPausedSeek(position);
                    }),
        };
    }
    emit leaderChanged();
    leaderSourceChanged();
    // A standby swapped in may already play.
    applyLeaderState();
}

void CameraSync::setLeaderSink(QVideoSink* sink) {
    if (leaderSink_ == sink)
        return;
    disconnect(leaderSinkConnection_);
    leaderSink_ = sink;
    if (sink)
        leaderSinkConnection_ =
            connect(sink, &QVideoSink::videoFrameChanged, this, &CameraSync::leaderFrame);
    emit leaderChanged();
}

void CameraSync::setAudioOutput(QAudioOutput* output) {
    if (audio_ == output)
        return;
    disconnect(audioConnection_);
    audio_ = output;
    if (output)
        audioConnection_ =
            connect(output, &QAudioOutput::mutedChanged, this, &CameraSync::routeAudio);
    routeAudio();
    emit leaderChanged();
}

void CameraSync::setTrip(TripPlayback* playback) {
    if (tripPlayback_ == playback)
        return;
    for (const auto& connection : tripConnections_)
        disconnect(connection);
    tripConnections_.clear();
    tripPlayback_ = playback;
    const auto follow = [this] {
        useTrip(tripPlayback_ && tripPlayback_->active() ? std::optional(tripPlayback_->trip())
                                                         : std::nullopt);
    };
    // Queued: a trip starting sets the leader's clip only after it tells of the trip, and
    // followers loading before the leader's clip does can keep it from ever loading.
    if (playback)
        tripConnections_ = {
            connect(playback, &TripPlayback::activeChanged, this, follow, Qt::QueuedConnection),
            connect(playback, &TripPlayback::tripChanged, this, follow, Qt::QueuedConnection),
        };
    emit tripChanged();
    follow();
}

void CameraSync::useTrip(std::optional<trips::Trip> trip) {
    trip_ = std::move(trip);
    showMoment();
}

QString CameraSync::largeCamera() const {
    return cameras_.contains(largeCamera_) ? largeCamera_ : moment_.camera;
}

void CameraSync::setLargeCamera(const QString& camera) {
    if (setAndNotify(largeCamera_, camera, this, &CameraSync::largeCameraChanged))
        routeAudio();
}

QVariantList CameraSync::tiles() const {
    QVariantList result;
    for (const QString& camera : cameras_) {
        QString note;
        if (const auto found = followers_.find(camera); found != followers_.end())
            note = found->second->note();
        result.append(QVariantMap{
            {QStringLiteral("camera"), camera},
            {QStringLiteral("hasClip"), moment_.clips.count(camera) > 0 && note.isEmpty()},
            {QStringLiteral("note"), note},
        });
    }
    return result;
}

void CameraSync::show(const QString& camera, QVideoSink* display) {
    if (!display)
        return;
    // The camera's picture at once, also while paused; never another camera's.
    QVideoFrame frame;
    if (camera == moment_.camera && leaderSink_)
        frame = leaderSink_->videoFrame();
    else if (const auto found = followers_.find(camera);
             found != followers_.end() && found->second->usable())
        frame = found->second->frame();
    frames_.show(camera, display, frame);
}

void CameraSync::hide(QVideoSink* display) {
    frames_.hide(display);
}

QMediaPlayer* CameraSync::followerPlayer(const QString& camera) const {
    const auto found = followers_.find(camera);
    return found == followers_.end() ? nullptr : &found->second->player();
}

double CameraSync::presentedMs(const QString& camera) const {
    if (camera == moment_.camera)
        return clock_.presentedMs(leader_.last, leader_.player);
    const auto found = followers_.find(camera);
    return found == followers_.end() ? playback::kUnknownMs : found->second->presentedMs();
}

void CameraSync::leaderFrame(const QVideoFrame& frame) {
    if (frame.isValid()) {
        const double expected = clock_.presentedMs(leader_.last, leader_.player);
        leader_.last = clock_.stamp(frame, leader_.player);
        // A seek while playing: the followers go along now rather than at the next check.
        if (std::abs(double(leader_.last.mediaUs) / playback::kUsPerMs - expected) >
            playback::kReseekMs)
            correctDrift();
    }
    frames_.forward(moment_.camera, frame, leaderSink_);
}

void CameraSync::leaderSourceChanged() {
    leader_.last = {};
    showMoment();
}

void CameraSync::showMoment() {
    const QUrl source = leader_.player ? leader_.player->source() : QUrl();
    moment_ = trip_ ? playback::findMoment(*trip_, source) : playback::MomentCameras{};
    cameras_ = moment_.index ? playback::tripCameras(*trip_) : QStringList();

    std::map<QString, QUrl> others = moment_.clips;
    others.erase(moment_.camera);
    if (!active())
        others.clear();
    for (auto it = followers_.begin(); it != followers_.end();)
        it = others.count(it->first) ? std::next(it) : followers_.erase(it);
    for (const auto& [camera, clip] : others) {
        auto& follower = followers_[camera];
        if (follower && follower->clip() == clip && follower->usable())
            continue;
        const auto ahead = aheadFollowers_.find(camera);
        if (ahead != aheadFollowers_.end() && ahead->second->clip() == clip) {
            follower = std::move(ahead->second);
            follower->takeOver();
            aheadFollowers_.erase(ahead);
        } else {
            follower = makeFollower(camera, clip);
        }
    }
    if (!active() || !aheadMoment_ || *aheadMoment_ <= *moment_.index) {
        aheadFollowers_.clear();
        aheadMoment_.reset();
    }
    loadFollowers();
    routeAudio();
    emit momentChanged();
    emit tilesChanged();
}

std::unique_ptr<FollowerCamera> CameraSync::makeFollower(const QString& camera, const QUrl& clip) {
    auto follower = std::make_unique<FollowerCamera>(camera, clip, clock_, leader_);
    FollowerCamera* f = follower.get();
    connect(f, &FollowerCamera::framePresented, this, [this, f](const QVideoFrame& frame) {
        frames_.forward(f->camera(), frame, leaderSink_);
    });
    connect(f, &FollowerCamera::failed, this, &CameraSync::tilesChanged);
    return follower;
}

void CameraSync::setNextLeader(QMediaPlayer* player) {
    if (nextLeader_ == player)
        return;
    disconnect(nextLeaderConnection_);
    nextLeader_ = player;
    if (player)
        nextLeaderConnection_ = connect(player, &QMediaPlayer::sourceChanged, this,
                                        &CameraSync::nextLeaderSourceChanged);
    emit leaderChanged();
    nextLeaderSourceChanged();
}

void CameraSync::nextLeaderSourceChanged() {
    if (!active() || !nextLeader_ || !trip_)
        return;
    const playback::MomentCameras next = playback::findMoment(*trip_, nextLeader_->source());
    // Only a later moment is ahead: after a switch the old leader waits with the one just left.
    if (!next.index || *next.index <= *moment_.index || next.index == aheadMoment_)
        return;
    aheadFollowers_.clear();
    aheadMoment_ = next.index;
    for (const auto& [camera, clip] : next.clips) {
        if (camera == next.camera)
            continue;
        auto follower = makeFollower(camera, clip);
        follower->loadAhead();
        aheadFollowers_[camera] = std::move(follower);
    }
}

void CameraSync::loadFollowers() {
    // The leader's clip loads first: pipelines started together with it may never load.
    if (!leader_.player || leader_.player->mediaStatus() == QMediaPlayer::LoadingMedia)
        return;
    for (auto& [camera, follower] : followers_)
        follower->load();
}

void CameraSync::applyLeaderState() {
    if (!leader_.player)
        return;
    for (auto& [camera, follower] : followers_)
        follower->follow();
    if (leader_.playing())
        driftTimer_.start();
    else
        driftTimer_.stop();
}

void CameraSync::correctDrift() {
    if (!leader_.player)
        return;
    const double leaderMs = clock_.presentedMs(leader_.last, leader_.player);
    for (auto& [camera, follower] : followers_)
        follower->correctDrift(leaderMs, leader_.player->playbackRate());
}

void CameraSync::routeAudio() {
    if (leader_.player)
        playback::routeCameraAudio(followers_, followerPlayer(largeCamera()), audio_);
}
