// A trip played as one drive: its moments back to back on the window's player, on a trip clock
// that runs on through gaps between moments (the last frame stays, dimmed by the view). The
// original files are played, never copied. The selected camera is the leader the window shows;
// other views of the moment follow its position, play state and rate.
#pragma once

#include "ContentView.h"
#include "FolderBatch.h"
#include "TelemetryTable.h"
#include "TripTimeline.h"
#include "Trips.h"
#include "VideoPlayer.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QUuid>
#include <QVariantList>
#include <QVariantMap>
#include <QtQml/qqmlregistration.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class TripPlayback : public QObject {
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

    // Plays `trip` from `startSeconds` of its clock; playback starts only with `autoPlay`.
    void start(trips::Trip trip, double startSeconds, bool autoPlay);
    // Lets go of the trip; the player is left to whoever loads next.
    void stop();

    bool active() const { return active_; }
    double duration() const;
    QVariantList boundaries() const;
    QVariantList gaps() const;
    QStringList cameras() const;
    QString title() const;
    double time() const { return time_; }
    QString clockText() const;
    double leaderPosition() const;
    int momentIndex() const { return int(moment_); }
    QVariantMap currentClips() const;
    bool momentHasTelemetry() const;
    QString selectedCamera() const { return selectedCamera_; }
    void setSelectedCamera(const QString& camera);
    bool playing() const { return wantPlay_; }
    double rate() const;
    bool inGap() const { return phase_ == Phase::gap; }
    QString note() const { return note_; }
    bool canExport() const;
    QMediaPlayer* standbyPlayer() const { return player_->standbyPlayer(); }

    const trips::Trip& trip() const { return trip_; }
    // The file of the shown moment whose telemetry the window shows; empty without one.
    QString telemetryClipPath() const;
    // The trip's joined CSV: the command line's --join-trips text.
    std::string joinedCsv() const;

    Q_INVOKABLE void seek(double tripSeconds);
    Q_INVOKABLE void play();
    Q_INVOKABLE void pause();
    Q_INVOKABLE void togglePlayback();

signals:
    void activeChanged();
    void tripChanged();
    void timeChanged();
    void momentChanged();
    void telemetryChanged();
    void selectedCameraChanged();
    void playingChanged();
    void rateChanged();
    void inGapChanged();
    void noteChanged();
    void standbyPlayerChanged();
    // The clock reached the trip's end while playing.
    void finished();

private:
    enum class Phase { loading, playing, gap, ended };

    const trips::MomentClip* leaderClip(std::size_t index) const;
    void loadMoment(std::size_t index, double within);
    void enterGap(double from);
    void endMoment();
    void setPhase(Phase phase);
    void setNote(const QString& note);
    void tick();
    void onMediaStatus(QMediaPlayer::MediaStatus status);
    void onPlayerError();
    void onStandbyStatus(QMediaPlayer::MediaStatus status);
    void prepareNext();
    void forgetStandby();
    void showMomentTelemetry();
    void extractNext();
    // The trip's route, timeline rows and events, read in the background once per trip.
    void buildDrive();
    void setWantPlay(bool play);
    // Calls the player without reading its reaction as the user's.
    template <typename F> void drive(F&& f);

    ContentView& view_;
    const FolderBatch& batch_;
    VideoPlayer* player_;
    QTimer ticker_;
    bool active_ = false;
    trips::Trip trip_;
    trips::TripTimeline timeline_;
    QUuid loadId_;
    std::size_t moment_ = 0;
    Phase phase_ = Phase::ended;
    VideoPlayer::ItemId item_ = VideoPlayer::kNoItem;
    QUrl leaderUrl_;
    bool seekPending_ = false;
    QElapsedTimer stallClock_;
    QElapsedTimer settledClock_; // since the shown moment loaded
    double stallPosition_ = 0.0;
    bool wantPlay_ = false;
    bool driving_ = false;
    double pendingSeek_ = 0.0;
    double time_ = 0.0;
    double gapFrom_ = 0.0;
    QElapsedTimer gapClock_;
    QString selectedCamera_;
    QString note_;
    // Each moment's telemetry once read (an empty table when it has none); null before.
    std::vector<std::shared_ptr<const analysis::TelemetryTable>> telemetry_;
    std::vector<QString> csvPath_; // the file each CSV came from
    // The moment and file the standby player holds, once it loaded, or once it failed.
    struct Standby {
        std::size_t moment = 0;
        QUrl url;
        bool ready = false;
        bool failed = false;
    };
    std::optional<Standby> standby_;
    std::size_t extracting_ = 0; // the moment whose telemetry is being read
    std::size_t candidate_ = 0;  // which of its clips
    bool extractionRunning_ = false;
};
