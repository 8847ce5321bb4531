// The other cameras of the moment the large player shows, played in step with it. The large
// player (the leader) is whoever drives the window's clock; every other camera of its moment,
// as the trip grouping found them, gets a silent follower (FollowerCamera). Play, pause, seek,
// speed and a new clip on the leader reach every follower; drift is taken up by each follower;
// frames of any camera go to any number of displays (FrameRouter); only the large camera is
// heard (routeCameraAudio).
#pragma once

#include "CameraClock.h"
#include "FollowerCamera.h"
#include "FrameRouter.h"
#include "MomentCameras.h"
#include "TripPlayback.h"
#include "Trips.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVariantList>
#include <QVideoSink>
#include <QtQml/qqmlregistration.h>

#include <optional>
#include <vector>

class CameraSync : public QObject {
    Q_OBJECT
    QML_ELEMENT
    // The large camera's player and the sink its picture goes to.
    Q_PROPERTY(QMediaPlayer* leader READ leader WRITE setLeader NOTIFY leaderChanged)
    // The player that holds the leader's next clip before it takes over; its moment's other
    // cameras load ahead, so they switch along without a load.
    Q_PROPERTY(QMediaPlayer* nextLeader READ nextLeader WRITE setNextLeader NOTIFY leaderChanged)
    Q_PROPERTY(QVideoSink* leaderSink READ leaderSink WRITE setLeaderSink NOTIFY leaderChanged)
    // The window's audio output, the leader's; silenced while another camera is large, whose
    // own output then speaks, muted as this one is.
    Q_PROPERTY(QAudioOutput* audioOutput READ audioOutput WRITE setAudioOutput NOTIFY leaderChanged)
    // The trip being played, whose moments give the cameras; while it is not active only the
    // leader plays.
    Q_PROPERTY(TripPlayback* trip READ trip WRITE setTrip NOTIFY tripChanged)
    // Every camera of the trip, in byte order; empty while the leader's clip is not in it.
    Q_PROPERTY(QStringList cameras READ cameras NOTIFY momentChanged)
    Q_PROPERTY(QString leaderCamera READ leaderCamera NOTIFY momentChanged)
    // The camera shown large; the leader's when none was chosen.
    Q_PROPERTY(QString largeCamera READ largeCamera WRITE setLargeCamera NOTIFY largeCameraChanged)
    // More than one camera to show.
    Q_PROPERTY(bool active READ active NOTIFY momentChanged)
    // One entry per camera: {camera, hasClip, note}.
    Q_PROPERTY(QVariantList tiles READ tiles NOTIFY tilesChanged)

public:
    explicit CameraSync(QObject* parent = nullptr);
    ~CameraSync() override;

    QMediaPlayer* leader() const { return leader_.player; }
    void setLeader(QMediaPlayer* player);
    QMediaPlayer* nextLeader() const { return nextLeader_; }
    void setNextLeader(QMediaPlayer* player);
    QVideoSink* leaderSink() const { return leaderSink_; }
    void setLeaderSink(QVideoSink* sink);
    QAudioOutput* audioOutput() const { return audio_; }
    void setAudioOutput(QAudioOutput* output);
    TripPlayback* trip() const { return tripPlayback_; }
    void setTrip(TripPlayback* playback);
    // The trip whose moments give the cameras; none leaves the leader alone.
    void useTrip(std::optional<trips::Trip> trip);
    QStringList cameras() const { return cameras_; }
    QString leaderCamera() const { return moment_.camera; }
    QString largeCamera() const;
    void setLargeCamera(const QString& camera);
    bool active() const { return cameras_.size() > 1; }
    QVariantList tiles() const;

    // Shows `camera`'s frames in `display` from now on (instead of what it showed before).
    Q_INVOKABLE void show(const QString& camera, QVideoSink* display);
    Q_INVOKABLE void hide(QVideoSink* display);

    // A follower's player, for measurements; null when the camera has none.
    QMediaPlayer* followerPlayer(const QString& camera) const;
    // The presented time of `camera` (the leader's included) in milliseconds, NaN when unknown.
    double presentedMs(const QString& camera) const;

signals:
    void leaderChanged();
    void tripChanged();
    void momentChanged();
    void largeCameraChanged();
    void tilesChanged();

private:
    void leaderSourceChanged();
    void showMoment();
    void nextLeaderSourceChanged();
    std::unique_ptr<playback::FollowerCamera> makeFollower(const QString& camera, const QUrl& clip);
    void loadFollowers();
    void leaderFrame(const QVideoFrame& frame);
    void applyLeaderState();
    void correctDrift();
    void routeAudio();

    playback::CameraClock clock_;
    playback::LeaderCamera leader_;
    QPointer<QVideoSink> leaderSink_;
    QPointer<QAudioOutput> audio_;
    QPointer<TripPlayback> tripPlayback_;
    std::vector<QMetaObject::Connection> tripConnections_;
    std::optional<trips::Trip> trip_;
    playback::MomentCameras moment_;
    QStringList cameras_;
    QString largeCamera_;
    playback::Followers followers_;
    playback::Followers aheadFollowers_;
    std::optional<std::size_t> aheadMoment_;
    QPointer<QMediaPlayer> nextLeader_;
    QMetaObject::Connection nextLeaderConnection_;
    playback::FrameRouter frames_;
    std::vector<QMetaObject::Connection> leaderConnections_;
    QMetaObject::Connection leaderSinkConnection_;
    QMetaObject::Connection audioConnection_;
    QTimer driftTimer_;
};
