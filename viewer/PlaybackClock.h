// The window's clocks: the clip's time and length copied from the player on a 250 ms tick (or
// at the next shown frame while the video plays), a recovered clip's rows browsed on a clock
// of their own, and the trip's time and length while a trip plays.
#pragma once

#include "VideoPlayer.h"

#include <QObject>
#include <QTimer>
#include <QtQml/qqmlregistration.h>

#include <optional>

class PlaybackClock : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("PlaybackClock belongs to a ContentView")
    Q_PROPERTY(double playbackDuration READ playbackDuration NOTIFY playbackDurationChanged)
    Q_PROPERTY(double playbackTime READ playbackTime NOTIFY playbackTimeChanged)
    // Fires every 250 ms once startObservingPlaybackClock() was called.
    Q_PROPERTY(QTimer* uiTimer READ uiTimer CONSTANT)
    // A recovered clip's rows, browsed without its video (0 otherwise), and whether they are
    // timed by a clip of the same camera; untimed, the clock counts rows.
    Q_PROPERTY(int recoveredRows READ recoveredRows NOTIFY recoveredRowsChanged)
    Q_PROPERTY(bool recoveredTimed READ recoveredTimed NOTIFY recoveredRowsChanged)
    // The trip being played, if any: seconds since its start and its length (0 without one).
    Q_PROPERTY(double tripTime READ tripTime NOTIFY tripClockChanged)
    Q_PROPERTY(double tripDuration READ tripDuration NOTIFY tripClockChanged)

public:
    static constexpr int kUiTimerIntervalMs = 250;

    explicit PlaybackClock(VideoPlayer& player, QObject* parent = nullptr);

    double playbackDuration() const { return playbackDuration_; }
    double playbackTime() const { return playbackTime_; }
    QTimer* uiTimer() const { return uiTimer_; }
    int recoveredRows() const { return recoveredRows_; }
    bool recoveredTimed() const { return recoveredTimed_; }
    double tripTime() const { return tripTime_; }
    double tripDuration() const { return tripDuration_; }

    // The clock's writes; refreshPlaybackClock is their caller (public for its tests).
    void setPlaybackDuration(double seconds);
    void setPlaybackTime(double seconds);
    // Copies the player's duration and time (non-finite or negative -> 0).
    Q_INVOKABLE void refreshPlaybackClock();
    Q_INVOKABLE void startObservingPlaybackClock();
    Q_INVOKABLE void stopObservingPlaybackClock();
    // While the video plays, a tick is applied at the next presented frame, so that its changes
    // are drawn with that frame rather than in a window draw of their own; a tick that meets no
    // frame by the next one is applied then. Leaving this mode applies a tick at once.
    Q_INVOKABLE void setTickOnFrames(bool on);
    // A frame showing media time `shownSeconds`: the readout takes that time, never the player's
    // position, which a player just swapped in reports stale until its first update.
    Q_INVOKABLE void framePresented(double shownSeconds);

    // Browses `rows` rows on a clock of their own: `secondsPerRow` from a clip of the same
    // camera, or none.
    void browseRows(int rows, std::optional<double> secondsPerRow);
    void stopBrowsingRows();
    // Moves the recovered rows' clock (clamped to its rows).
    Q_INVOKABLE void seekRecovered(double seconds);
    Q_INVOKABLE void stepRecoveredRow(int rows);

    void setTripClock(double time, double duration);

signals:
    void playbackDurationChanged();
    void playbackTimeChanged();
    void recoveredRowsChanged();
    void tripClockChanged();

private:
    void applyShownTime();

    VideoPlayer& player_;
    QTimer* uiTimer_;
    double playbackDuration_ = 0.0;
    double playbackTime_ = 0.0;
    int recoveredRows_ = 0;
    bool recoveredTimed_ = false;
    bool tickOnFrames_ = false;
    bool tickDue_ = false;
    double shownSeconds_ = 0.0; // the media time of the frame on screen
    double tripTime_ = 0.0;
    double tripDuration_ = 0.0;
};
