#include "CameraSync.h"

#include "LocalizedString.h"
#include "Trips.h"

#include <QAudioOutput>
#include <QDir>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QVideoFrame>
#include <QVideoSink>
#include <QtQml/qqml.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <string>

namespace {
// Closer than this is in step: each correction costs a seek on this backend, so it waits for
// a little over a frame at 30 fps.
constexpr double kDeadBandMs = 40.0;
// Past this a nudge would take too long to catch up; a seek is quicker.
constexpr double kReseekMs = 250.0;
// Rate nudges stay slight so that neither picture nor sound visibly changes speed.
constexpr double kMaxNudge = 0.04;
// A rate change sets a follower back by no more than this.
constexpr double kMaxRateLagMs = 120.0;
constexpr int kDriftCheckMs = 500;
// A frame stands for the time after it only until about the next one is due.
constexpr double kMaxExtrapolationMs = 120.0;
// Rates closer than this are the same; saves the backend needless rate changes.
constexpr double kRateEpsilon = 0.002;
// A follower ending this much before its own duration ran out of readable data.
constexpr qint64 kEarlyEndMarginMs = 1000;
// A follower that shows no new frame this long while the leader plays is stuck on its file.
constexpr qint64 kStallMs = 3000;
// A seek lands late by the time the follower takes to decode up to it and start again, so the
// next one aims that far ahead of the leader; no further than this.
constexpr double kMaxSeekLeadMs = 2000.0;
// A seek that has not played on this long is asked again: a pipeline can stay on the first
// frame it found.
constexpr qint64 kSeekPatienceMs = 1500;
constexpr float kFullVolume = 1.0f;
constexpr float kSilent = 0.0f;
// A follower this far ahead, or less, waits paused for the leader rather than seeking back.
constexpr double kMaxWaitMs = 3000.0;
constexpr const char* kCameraUnreadableNote =
    QT_TRANSLATE_NOOP("Veldrin", "Camera stopped: its file can no longer be read");
constexpr const char* kQmlUri = "Veldrin.Sources";
constexpr const char* kQmlName = "CameraSync";
constexpr int kQmlMajor = 1;
constexpr int kQmlMinor = 0;
constexpr double kNsPerMs = 1e6;
constexpr double kUsPerMs = 1e3;

const double kUnknown = std::numeric_limits<double>::quiet_NaN();

bool sameRate(double a, double b) {
    return std::abs(a - b) < kRateEpsilon;
}
} // namespace

DriftStep decideDrift(double offsetMs, double leaderRate, double followerRate, double rateLagMs) {
    if (std::isnan(offsetMs))
        return {DriftStep::Kind::Hold, leaderRate};
    if (std::abs(offsetMs) > kReseekMs && !(offsetMs > 0 && offsetMs < kMaxWaitMs))
        return {DriftStep::Kind::Reseek, leaderRate};
    if (!sameRate(followerRate, leaderRate)) {
        // Re-tuning a nudge would cost another seek: it runs until the follower is far enough
        // ahead for the seek back to the leader's rate to land it in step.
        if (offsetMs >= std::clamp(rateLagMs, 0.0, kMaxRateLagMs))
            return {DriftStep::Kind::Hold, leaderRate};
        return {DriftStep::Kind::Nudge, followerRate};
    }
    if (offsetMs > kDeadBandMs)
        return {DriftStep::Kind::Wait, leaderRate};
    if (offsetMs < -kDeadBandMs)
        return {DriftStep::Kind::Nudge, leaderRate * (1.0 + kMaxNudge)};
    return {DriftStep::Kind::Hold, leaderRate};
}

struct CameraSync::Follower {
    QString camera;
    QUrl clip;
    // Before the player, which must go first.
    QVideoSink sink;
    // Its own, from the start: a pipeline given an audio output while it plays may not play on.
    QAudioOutput audio;
    QMediaPlayer player;
    FrameClock clock;
    // When it last showed a new frame, or was last told to move.
    qint64 progressNs = 0;
    // When the last seek was asked for, until the follower plays on from it; 0 when none is
    // pending. The first frame after a seek shows before playback starts again.
    qint64 seekAskedNs = 0;
    qint64 seekFrameUs = -1;
    // How far ahead of the leader the next seek aims, learnt from where the last ones landed.
    double seekLeadMs = 0.0;
    // How far back the last return to the leader's rate set it, learnt at the check after it.
    double rateLagMs = 0.0;
    // The offset at that return, until the next check measures the lag; NaN otherwise.
    double offsetAtRateChangeMs = std::numeric_limits<double>::quiet_NaN();
    // Resumes a follower that waits for the leader to catch up.
    QTimer resume;
    bool synced = false;
    // Loaded ahead for the moment the next leader holds: silent, shown nowhere, left paused.
    bool ahead = false;
    QString note;
};

CameraSync::CameraSync(QObject* parent) : QObject(parent) {
    clock_.start();
    driftTimer_.setInterval(kDriftCheckMs);
    connect(&driftTimer_, &QTimer::timeout, this, &CameraSync::correctDrift);
}

CameraSync::~CameraSync() {
    for (const auto& connection : leaderConnections_)
        disconnect(connection);
}

void CameraSync::setLeader(QMediaPlayer* player) {
    if (leader_ == player)
        return;
    for (const auto& connection : leaderConnections_)
        disconnect(connection);
    leaderConnections_.clear();
    leader_ = player;
    leaderClock_ = {};
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
                        if (leader_->playbackState() == QMediaPlayer::PlayingState)
                            return;
                        for (auto& [camera, follower] : followers_)
                            if (follower->synced && follower->note.isEmpty() &&
                                follower->player.position() != position)
                                follower->player.setPosition(position);
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

QString CameraSync::largeCamera() const {
    return cameras_.contains(largeCamera_) ? largeCamera_ : leaderCamera_;
}

void CameraSync::setLargeCamera(const QString& camera) {
    if (camera == largeCamera_)
        return;
    largeCamera_ = camera;
    routeAudio();
    emit largeCameraChanged();
}

QVariantList CameraSync::tiles() const {
    QVariantList result;
    const auto moment = folderMoments_.find(momentStart_);
    for (const QString& camera : cameras_) {
        QString note;
        if (const auto found = followers_.find(camera); found != followers_.end())
            note = found->second->note;
        const bool inMoment = moment != folderMoments_.end() && moment->second.count(camera) > 0;
        result.append(QVariantMap{
            {QStringLiteral("camera"), camera},
            {QStringLiteral("hasClip"), inMoment && note.isEmpty()},
            {QStringLiteral("note"), note},
        });
    }
    return result;
}

void CameraSync::show(const QString& camera, QVideoSink* display) {
    if (!display)
        return;
    if (displays_.count(display) == 0)
        connect(display, &QObject::destroyed, this, [this, display] { displays_.erase(display); });
    displays_[display] = camera;
    // The camera's picture at once, also while paused; never another camera's.
    QVideoFrame frame;
    if (camera == leaderCamera_ && leaderSink_)
        frame = leaderSink_->videoFrame();
    else if (const auto found = followers_.find(camera);
             found != followers_.end() && found->second->note.isEmpty())
        frame = found->second->sink.videoFrame();
    display->setVideoFrame(frame);
}

void CameraSync::hide(QVideoSink* display) {
    if (displays_.erase(display) > 0)
        disconnect(display, &QObject::destroyed, this, nullptr);
}

QMediaPlayer* CameraSync::followerPlayer(const QString& camera) const {
    const auto found = followers_.find(camera);
    return found == followers_.end() ? nullptr : &found->second->player;
}

double CameraSync::presentedMs(const QString& camera) const {
    if (camera == leaderCamera_)
        return presentedMs(leaderClock_, leader_);
    const auto found = followers_.find(camera);
    return found == followers_.end() ? kUnknown
                                     : presentedMs(found->second->clock, &found->second->player);
}

double CameraSync::presentedMs(const FrameClock& frameClock, const QMediaPlayer* player) const {
    if (frameClock.mediaUs < 0 || !player)
        return kUnknown;
    double since = 0;
    if (player->playbackState() == QMediaPlayer::PlayingState)
        since = std::min(kMaxExtrapolationMs, double(clock_.nsecsElapsed() - frameClock.arrivedNs) /
                                                  kNsPerMs * player->playbackRate());
    return double(frameClock.mediaUs) / kUsPerMs + since;
}

namespace {
// The frame's own time; the player's position for a backend that gives none.
qint64 frameTimeUs(const QVideoFrame& frame, const QMediaPlayer* player) {
    if (frame.startTime() >= 0)
        return frame.startTime();
    return player ? qint64(player->position() * kUsPerMs) : -1;
}
} // namespace

void CameraSync::leaderFrame(const QVideoFrame& frame) {
    if (frame.isValid()) {
        const double expected = presentedMs(leaderClock_, leader_);
        leaderClock_ = {frameTimeUs(frame, leader_), clock_.nsecsElapsed()};
        // A seek while playing: the followers go along now rather than at the next check.
        if (std::abs(double(leaderClock_.mediaUs) / kUsPerMs - expected) > kReseekMs)
            correctDrift();
    }
    forward(leaderCamera_, frame);
}

void CameraSync::followerFrame(Follower& follower, const QVideoFrame& frame) {
    if (frame.isValid()) {
        follower.clock = {frameTimeUs(frame, &follower.player), clock_.nsecsElapsed()};
        follower.progressNs = follower.clock.arrivedNs;
        if (follower.seekAskedNs != 0 && follower.seekFrameUs < 0) {
            follower.seekFrameUs = follower.clock.mediaUs;
        } else if (follower.seekAskedNs != 0 && follower.clock.mediaUs > follower.seekFrameUs) {
            const double offsetMs =
                presentedMs(follower.clock, &follower.player) - presentedMs(leaderClock_, leader_);
            if (!std::isnan(offsetMs))
                follower.seekLeadMs =
                    std::clamp(follower.seekLeadMs - offsetMs, 0.0, kMaxSeekLeadMs);
            follower.seekAskedNs = 0;
        }
    }
    if (!follower.ahead)
        forward(follower.camera, frame);
}

void CameraSync::forward(const QString& camera, const QVideoFrame& frame) {
    for (const auto& [display, shown] : displays_)
        if (shown == camera && display != leaderSink_)
            display->setVideoFrame(frame);
}

void CameraSync::readFolder(const QString& folder) {
    folder_ = folder;
    folderMoments_.clear();
    std::set<std::string> cameras;
    if (!folder.isEmpty()) {
        const QStringList names = QDir(folder).entryList(QDir::Files);
        for (const QString& name : names) {
            const auto clip = trips::parseClipName(name.toStdString());
            if (!clip)
                continue;
            folderMoments_[QString::fromStdString(clip->startText)]
                          [QString::fromStdString(clip->camera)] = name;
            cameras.insert(clip->camera);
        }
    }
    cameras_.clear();
    for (const std::string& camera : cameras)
        cameras_.append(QString::fromStdString(camera));
}

void CameraSync::leaderSourceChanged() {
    const QUrl source = leader_ ? leader_->source() : QUrl();
    QString folder;
    std::optional<trips::ClipName> name;
    if (source.isLocalFile()) {
        const QFileInfo info(source.toLocalFile());
        name = trips::parseClipName(info.fileName().toStdString());
        if (name)
            folder = info.absolutePath();
    }
    if (folder != folder_)
        readFolder(folder);
    momentStart_ = name ? QString::fromStdString(name->startText) : QString();
    leaderCamera_ = name ? QString::fromStdString(name->camera) : QString();
    leaderClock_ = {};

    std::map<QString, QString> moment;
    if (const auto found = folderMoments_.find(momentStart_); found != folderMoments_.end())
        moment = found->second;
    moment.erase(leaderCamera_);
    if (!active())
        moment.clear();
    for (auto it = followers_.begin(); it != followers_.end();)
        it = moment.count(it->first) ? std::next(it) : followers_.erase(it);
    for (const auto& [camera, fileName] : moment) {
        const QUrl clip = QUrl::fromLocalFile(QDir(folder_).filePath(fileName));
        auto& follower = followers_[camera];
        if (follower && follower->clip == clip && follower->note.isEmpty())
            continue;
        const auto ahead = aheadFollowers_.find(camera);
        if (ahead != aheadFollowers_.end() && ahead->second->clip == clip) {
            follower = std::move(ahead->second);
            follower->ahead = false;
            aheadFollowers_.erase(ahead);
        } else {
            follower = makeFollower(camera, clip);
        }
    }
    if (!active() || aheadMoment_ <= momentStart_) {
        aheadFollowers_.clear();
        aheadMoment_.clear();
    }
    loadFollowers();
    routeAudio();
    emit momentChanged();
    emit tilesChanged();
}

std::unique_ptr<CameraSync::Follower> CameraSync::makeFollower(const QString& camera,
                                                               const QUrl& clip) {
    // A fresh player for every clip: one given a new source while still loading the last may
    // never finish loading.
    auto follower = std::make_unique<Follower>();
    Follower* f = follower.get();
    f->camera = camera;
    f->clip = clip;
    f->player.setVideoSink(&f->sink);
    f->audio.setMuted(true);
    f->player.setAudioOutput(&f->audio);
    f->resume.setSingleShot(true);
    connect(&f->resume, &QTimer::timeout, this, [this, f] {
        if (leader_ && leader_->playbackState() == QMediaPlayer::PlayingState &&
            f->note.isEmpty()) {
            f->progressNs = clock_.nsecsElapsed();
            f->player.play();
        }
    });
    connect(&f->sink, &QVideoSink::videoFrameChanged, this,
            [this, f](const QVideoFrame& frame) { followerFrame(*f, frame); });
    connect(&f->player, &QMediaPlayer::mediaStatusChanged, this, [this, f] { followerStatus(*f); });
    connect(&f->player, &QMediaPlayer::errorOccurred, this, [this, f] { followerFailed(*f); });
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
    const QUrl source = nextLeader_ ? nextLeader_->source() : QUrl();
    if (!active() || !source.isLocalFile())
        return;
    const QFileInfo info(source.toLocalFile());
    const auto name = trips::parseClipName(info.fileName().toStdString());
    const QString start = name ? QString::fromStdString(name->startText) : QString();
    const auto moment = folderMoments_.find(start);
    // Only a later moment is ahead: after a switch the old leader waits with the one just left.
    if (info.absolutePath() != folder_ || moment == folderMoments_.end() || start <= momentStart_ ||
        start == aheadMoment_)
        return;
    aheadFollowers_.clear();
    aheadMoment_ = start;
    for (const auto& [camera, fileName] : moment->second) {
        if (camera.toStdString() == name->camera)
            continue;
        auto follower = makeFollower(camera, QUrl::fromLocalFile(QDir(folder_).filePath(fileName)));
        follower->ahead = true;
        follower->player.setSource(follower->clip);
        // Paused, it is ready on its first frame, as the leader's standby is.
        follower->player.pause();
        aheadFollowers_[camera] = std::move(follower);
    }
}

void CameraSync::loadFollowers() {
    // The leader's clip loads first: pipelines started together with it may never load.
    if (!leader_ || leader_->mediaStatus() == QMediaPlayer::LoadingMedia)
        return;
    for (auto& [camera, follower] : followers_) {
        if (follower->player.source() != follower->clip)
            follower->player.setSource(follower->clip);
        else if (!follower->synced && follower->note.isEmpty() &&
                 follower->player.mediaStatus() == QMediaPlayer::LoadedMedia)
            syncFollower(*follower);
    }
}

void CameraSync::followerStatus(Follower& follower) {
    switch (follower.player.mediaStatus()) {
    case QMediaPlayer::LoadedMedia:
    case QMediaPlayer::BufferedMedia:
        if (!follower.synced && !follower.ahead)
            syncFollower(follower);
        break;
    case QMediaPlayer::InvalidMedia:
        followerFailed(follower);
        break;
    case QMediaPlayer::EndOfMedia:
        if (follower.player.duration() - follower.player.position() > kEarlyEndMarginMs)
            followerFailed(follower);
        break;
    default:
        break;
    }
}

void CameraSync::followerFailed(Follower& follower) {
    if (!follower.note.isEmpty())
        return;
    follower.note = localizedString(kCameraUnreadableNote);
    follower.synced = false;
    follower.player.stop();
    forward(follower.camera, QVideoFrame());
    emit tilesChanged();
}

void CameraSync::syncFollower(Follower& follower) {
    if (!leader_)
        return;
    follower.synced = true;
    follower.progressNs = clock_.nsecsElapsed();
    follower.player.setPlaybackRate(leader_->playbackRate());
    const double leaderMs = presentedMs(leaderClock_, leader_);
    follower.player.setPosition(std::isnan(leaderMs) ? leader_->position() : qint64(leaderMs));
    if (leader_->playbackState() == QMediaPlayer::PlayingState)
        follower.player.play();
    else
        follower.player.pause();
}

void CameraSync::applyLeaderState() {
    if (!leader_)
        return;
    const bool playing = leader_->playbackState() == QMediaPlayer::PlayingState;
    for (auto& [camera, follower] : followers_) {
        if (!follower->synced || !follower->note.isEmpty())
            continue;
        follower->player.setPlaybackRate(leader_->playbackRate());
        follower->progressNs = clock_.nsecsElapsed();
        if (playing)
            follower->player.play();
        else
            follower->player.pause();
    }
    if (playing)
        driftTimer_.start();
    else
        driftTimer_.stop();
}

void CameraSync::correctDrift() {
    if (!leader_)
        return;
    const double leaderMs = presentedMs(leaderClock_, leader_);
    const double leaderRate = leader_->playbackRate();
    for (auto& [camera, follower] : followers_) {
        QMediaPlayer& player = follower->player;
        if (!follower->synced || !follower->note.isEmpty() ||
            player.playbackState() != QMediaPlayer::PlayingState)
            continue;
        if (clock_.nsecsElapsed() - follower->progressNs > kStallMs * qint64(kNsPerMs)) {
            followerFailed(*follower);
            continue;
        }
        // A seek still on its way is not drift.
        if (follower->seekAskedNs != 0 &&
            clock_.nsecsElapsed() - follower->seekAskedNs < kSeekPatienceMs * qint64(kNsPerMs))
            continue;
        follower->seekAskedNs = 0;
        const double offsetMs = presentedMs(follower->clock, &player) - leaderMs;
        if (!std::isnan(follower->offsetAtRateChangeMs) && !std::isnan(offsetMs)) {
            follower->rateLagMs =
                std::clamp(follower->offsetAtRateChangeMs - offsetMs, 0.0, kMaxRateLagMs);
            follower->offsetAtRateChangeMs = kUnknown;
        }
        const DriftStep step =
            decideDrift(offsetMs, leaderRate, player.playbackRate(), follower->rateLagMs);
        if (step.kind == DriftStep::Kind::Wait) {
            // Ahead, a pause needs no seek where a slower rate would.
            player.pause();
            follower->resume.start(int(offsetMs / leaderRate));
            continue;
        }
        if (step.kind == DriftStep::Kind::Reseek) {
            follower->clock = {};
            follower->seekAskedNs = clock_.nsecsElapsed();
            follower->seekFrameUs = -1;
            // Sought while playing, a follower can stay on the frame it found; sought paused
            // and then played, it plays on.
            player.pause();
            player.setPosition(qint64(leaderMs + follower->seekLeadMs));
            player.play();
        }
        if (player.playbackRate() != step.rate) {
            // The return to the leader's rate is where the lag is learnt.
            if (step.kind == DriftStep::Kind::Hold && !std::isnan(offsetMs))
                follower->offsetAtRateChangeMs = offsetMs;
            player.setPlaybackRate(step.rate);
        }
    }
}

void CameraSync::routeAudio() {
    if (!leader_)
        return;
    // Every player keeps its output; the others are silenced, the user's muting kept.
    const QMediaPlayer* large = followerPlayer(largeCamera());
    const bool muted = audio_ && audio_->isMuted();
    for (auto& [camera, follower] : followers_)
        follower->audio.setMuted(&follower->player != large || muted);
    if (audio_)
        audio_->setVolume(large ? kSilent : kFullVolume);
}

void registerCameraSyncType() {
    qmlRegisterType<CameraSync>(kQmlUri, kQmlMajor, kQmlMinor, kQmlName);
}
