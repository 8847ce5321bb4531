// The other cameras of the moment the large player shows, played in step with it. The large
// player (the leader) is whoever drives the window's clock; every other camera of its moment
// gets a silent follower player. Each presented frame's time is measured; small drift is
// corrected with slight rate nudges, large drift with a seek. Play, pause, seek, speed and a
// new clip on the leader reach every follower. Frames of any camera can be shown in any
// number of display sinks, so switching the large camera reloads nothing.
#pragma once

#include <QAudioOutput>
#include <QElapsedTimer>
#include <QMediaPlayer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QVariantList>
#include <QVideoSink>

#include <map>
#include <memory>
#include <vector>

class QVideoFrame;

// How a follower answers its offset from the leader.
struct DriftStep {
    enum class Kind { Hold, Nudge, Wait, Reseek };
    Kind kind = Kind::Hold;
    // The follower's playback rate; the leader's own while holding, waiting or after a seek.
    double rate = 1.0;
};

// Pure rule: `offsetMs` is the follower's presented time minus the leader's (positive: ahead).
// On this media backend a rate change is a flushing seek that sets the follower back by about
// `rateLagMs`, so a nudge is kept until the follower is that far ahead, and a follower ahead
// waits paused instead of slowing down.
DriftStep decideDrift(double offsetMs, double leaderRate, double followerRate, double rateLagMs);

class CameraSync : public QObject {
    Q_OBJECT
    // The large camera's player and the sink its picture goes to.
    Q_PROPERTY(QMediaPlayer* leader READ leader WRITE setLeader NOTIFY leaderChanged)
    // The player that holds the leader's next clip before it takes over; its moment's other
    // cameras load ahead, so they switch along without a load.
    Q_PROPERTY(QMediaPlayer* nextLeader READ nextLeader WRITE setNextLeader NOTIFY leaderChanged)
    Q_PROPERTY(QVideoSink* leaderSink READ leaderSink WRITE setLeaderSink NOTIFY leaderChanged)
    // The window's audio output, the leader's; silenced while another camera is large, whose
    // own output then speaks, muted as this one is.
    Q_PROPERTY(QAudioOutput* audioOutput READ audioOutput WRITE setAudioOutput NOTIFY leaderChanged)
    // Every camera of the leader's folder, in byte order; empty for a clip of an odd name.
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

    QMediaPlayer* leader() const { return leader_; }
    void setLeader(QMediaPlayer* player);
    QMediaPlayer* nextLeader() const { return nextLeader_; }
    void setNextLeader(QMediaPlayer* player);
    QVideoSink* leaderSink() const { return leaderSink_; }
    void setLeaderSink(QVideoSink* sink);
    QAudioOutput* audioOutput() const { return audio_; }
    void setAudioOutput(QAudioOutput* output);
    QStringList cameras() const { return cameras_; }
    QString leaderCamera() const { return leaderCamera_; }
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
    void momentChanged();
    void largeCameraChanged();
    void tilesChanged();

private:
    struct FrameClock {
        qint64 mediaUs = -1;
        qint64 arrivedNs = 0;
    };
    struct Follower;

    void leaderSourceChanged();
    std::unique_ptr<Follower> makeFollower(const QString& camera, const QUrl& clip);
    void nextLeaderSourceChanged();
    void loadFollowers();
    void leaderFrame(const QVideoFrame& frame);
    void followerFrame(Follower& follower, const QVideoFrame& frame);
    void followerStatus(Follower& follower);
    void followerFailed(Follower& follower);
    void syncFollower(Follower& follower);
    void applyLeaderState();
    void correctDrift();
    void routeAudio();
    void forward(const QString& camera, const QVideoFrame& frame);
    double presentedMs(const FrameClock& clock, const QMediaPlayer* player) const;
    void readFolder(const QString& folder);

    QPointer<QMediaPlayer> leader_;
    QPointer<QVideoSink> leaderSink_;
    QPointer<QAudioOutput> audio_;
    QString folder_;
    // Clip names of the folder by start text, then camera.
    std::map<QString, std::map<QString, QString>> folderMoments_;
    QStringList cameras_;
    QString leaderCamera_;
    QString momentStart_;
    QString largeCamera_;
    FrameClock leaderClock_;
    std::map<QString, std::unique_ptr<Follower>> followers_;
    std::map<QString, std::unique_ptr<Follower>> aheadFollowers_;
    QString aheadMoment_;
    QPointer<QMediaPlayer> nextLeader_;
    QMetaObject::Connection nextLeaderConnection_;
    std::map<QVideoSink*, QString> displays_;
    std::vector<QMetaObject::Connection> leaderConnections_;
    QMetaObject::Connection leaderSinkConnection_;
    QMetaObject::Connection audioConnection_;
    QElapsedTimer clock_;
    QTimer driftTimer_;
};

// Makes CameraSync creatable from QML as Veldrin.Sources.CameraSync.
void registerCameraSyncType();
