// A trip played as one drive: its moments back to back on the window's player, on a trip clock
// that runs on through gaps between moments (the last frame stays, dimmed by the view). The
// original files are played, never copied. The selected camera is the leader the window shows;
// other views of the moment follow its position, play state and rate. This is the QML face:
// the clock's phases are TripPhases', the next moment's preload StandbyPreload's, the
// telemetry TripTelemetry's and the trip's drive TripDrive's.
#pragma once

#include "ClipSources.h"
#include "ContentView.h"
#include "FolderBatch.h"
#include "PlayingTrip.h"
#include "StandbyPreload.h"
#include "TripPhases.h"
#include "TripTelemetry.h"
#include "Trips.h"
#include "VideoPlayer.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QUuid>
#include <QVariantList>
#include <QVariantMap>
#include <QtQml/qqmlregistration.h>

#include <string>

class TripPlayback : public PlayingTrip {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("TripPlayback belongs to ClipSources")

    Q_PROPERTY(bool active READ active NOTIFY activeChanged)
    // The trip: its length in seconds, the trip times where moments after the first start,
    // the gaps as {from, to} in trip seconds, and its cameras in byte order.
    Q_PROPERTY(double duration READ duration NOTIFY tripChanged)
    Q_PROPERTY(QVariantList boundaries READ boundaries NOTIFY tripChanged)
    Q_PROPERTY(QVariantList gaps READ gaps NOTIFY tripChanged)
    Q_PROPERTY(QStringList cameras READ cameras NOTIFY tripChanged)
    Q_PROPERTY(QString title READ title NOTIFY tripChanged)
    // Seconds since the trip's start, its wall-clock text ("08:15:37"), and the leader's
    // position in its clip.
    Q_PROPERTY(double time READ time NOTIFY timeChanged)
    Q_PROPERTY(QString clockText READ clockText NOTIFY timeChanged)
    Q_PROPERTY(double leaderPosition READ leaderPosition NOTIFY timeChanged)
    // The moment now shown and its clip per camera (camera -> file URL).
    Q_PROPERTY(int momentIndex READ momentIndex NOTIFY momentChanged)
    Q_PROPERTY(QVariantMap currentClips READ currentClips NOTIFY momentChanged)
    Q_PROPERTY(bool momentHasTelemetry READ momentHasTelemetry NOTIFY telemetryChanged)
    Q_PROPERTY(QString selectedCamera READ selectedCamera WRITE setSelectedCamera NOTIFY
                   selectedCameraChanged)
    Q_PROPERTY(bool playing READ playing NOTIFY playingChanged)
    Q_PROPERTY(double rate READ rate NOTIFY rateChanged)
    // Between two moments: the clock runs, the picture stands still.
    Q_PROPERTY(bool inGap READ inGap NOTIFY inGapChanged)
    // Why the leader stopped (its file could not be read), or empty.
    Q_PROPERTY(QString note READ note NOTIFY noteChanged)
    // Every moment's telemetry is read, so the trip's CSV can be written.
    Q_PROPERTY(bool canExport READ canExport NOTIFY telemetryChanged)
    // Where the next moment is prepared, behind the shown picture.
    Q_PROPERTY(QMediaPlayer* standbyPlayer READ standbyPlayer NOTIFY standbyPlayerChanged)

public:
    TripPlayback(ContentView& view, const FolderBatch& batch, QObject* parent = nullptr);
    ~TripPlayback() override;

    // The trip player of `sources`' window, owned by `sources`, which starts its trips.
    static TripPlayback* attach(ContentView& view, ClipSources& sources);

    void start(trips::Trip trip, double startSeconds, bool autoPlay) override;
    // Lets go of the trip; the player is left to whoever loads next.
    void stop();

    bool active() const override { return active_; }
    double duration() const;
    QVariantList boundaries() const;
    QVariantList gaps() const;
    QStringList cameras() const;
    QString title() const;
    double time() const { return phases_.time(); }
    QString clockText() const;
    double leaderPosition() const;
    int momentIndex() const override { return int(phases_.moment()); }
    QVariantMap currentClips() const;
    bool momentHasTelemetry() const;
    QString selectedCamera() const { return selectedCamera_; }
    void setSelectedCamera(const QString& camera);
    bool playing() const { return wantPlay_; }
    double rate() const;
    bool inGap() const { return phases_.inGap(); }
    QString note() const { return note_; }
    bool canExport() const override;
    QMediaPlayer* standbyPlayer() const { return player_->standbyPlayer(); }

    const trips::Trip& trip() const override { return trip_; }
    QString telemetryClipPath() const override;
    std::string joinedCsv() const override;

    Q_INVOKABLE void seek(double tripSeconds);
    Q_INVOKABLE void play();
    Q_INVOKABLE void pause();
    Q_INVOKABLE void togglePlayback();

signals:
    void timeChanged();
    void selectedCameraChanged();
    void playingChanged();
    void rateChanged();
    void inGapChanged();
    void noteChanged();
    void standbyPlayerChanged();

private:
    const trips::MomentClip* leaderClip(std::size_t index) const;
    QUrl leaderUrl(std::size_t index) const;
    void loadMoment(std::size_t index, double within);
    // Does with the players what the clock's step asks.
    void follow(playback::PhaseStep step);
    void setNote(const QString& note);
    void tick();
    void onMediaStatus(QMediaPlayer::MediaStatus status);
    void onPlayerError();
    void showMomentTelemetry();
    void setWantPlay(bool play);
    void seekLeader();
    // Calls the player without reading its reaction as the user's.
    template <typename F> void drive(F&& f);

    ContentView& view_;
    VideoPlayer* player_;
    QTimer ticker_;
    QElapsedTimer clock_;
    bool active_ = false;
    trips::Trip trip_;
    QUuid loadId_;
    playback::TripPhases phases_;
    playback::StandbyPreload standby_;
    playback::TripTelemetry telemetry_;
    VideoPlayer::ItemId item_ = VideoPlayer::kNoItem;
    QUrl leaderUrl_;
    bool wantPlay_ = false;
    bool driving_ = false;
    QString selectedCamera_;
    QString note_;
};
