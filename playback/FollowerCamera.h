// One camera of the leader's moment played silently in step with it: its own player, sink and
// audio output, from loading through following the leader's state and drift to a stop when its
// file can no longer be read.
#pragma once

#include "CameraClock.h"
#include "FollowerDrift.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QVideoFrame>
#include <QVideoSink>

#include <map>
#include <memory>

namespace playback {

// The large camera, as its followers see it.
struct LeaderCamera {
    QPointer<QMediaPlayer> player;
    FrameStamp last;

    bool playing() const { return player && player->playbackState() == QMediaPlayer::PlayingState; }
};

class FollowerCamera : public QObject {
    Q_OBJECT

public:
    // A fresh follower for every clip: a player given a new source while still loading the last
    // may never finish loading.
    FollowerCamera(QString camera, QUrl clip, const CameraClock& clock, const LeaderCamera& leader);

    const QString& camera() const { return camera_; }
    const QUrl& clip() const { return clip_; }
    QMediaPlayer& player() { return player_; }
    const QMediaPlayer& player() const { return player_; }
    QAudioOutput& audio() { return audio_; }
    QVideoFrame frame() const { return sink_.videoFrame(); }
    // Why it stopped; empty while it plays.
    const QString& note() const { return note_; }
    bool usable() const { return note_.isEmpty(); }
    double presentedMs() const { return clock_.presentedMs(last_, &player_); }

    // Loaded for the moment the next leader holds: silent, shown nowhere, left paused, so it is
    // ready on its first frame as the leader's standby is.
    void loadAhead();
    // Taken over from ahead by the leader's moment.
    void takeOver() { ahead_ = false; }
    // Gives the player its clip, or, once loaded, puts it in step with the leader.
    void load();
    // The leader's play state and rate.
    void follow();
    // A seek of the paused leader.
    void followPausedSeek(qint64 position);
    void correctDrift(double leaderMs, double leaderRate);
    void fail();

signals:
    // A frame to show in place of this camera's (none once it stopped).
    void framePresented(const QVideoFrame& frame);
    void failed();

private:
    void onFrame(const QVideoFrame& frame);
    void onStatus();
    void syncToLeader();
    bool following() const { return synced_ && usable(); }

    QString camera_;
    QUrl clip_;
    const CameraClock& clock_;
    const LeaderCamera& leader_;
    // Before the player, which must go first.
    QVideoSink sink_;
    // Its own, from the start: a pipeline given an audio output while it plays may not play on.
    QAudioOutput audio_;
    QMediaPlayer player_;
    FrameStamp last_;
    // When it last showed a new frame, or was last told to move.
    qint64 progressNs_ = 0;
    FollowerDrift drift_;
    // Resumes a follower that waits for the leader to catch up.
    QTimer resume_;
    bool synced_ = false;
    bool ahead_ = false;
    QString note_;
};

// By camera.
using Followers = std::map<QString, std::unique_ptr<FollowerCamera>>;

} // namespace playback
