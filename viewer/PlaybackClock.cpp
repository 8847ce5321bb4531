// The window's clocks; see PlaybackClock.h.
#include "PlaybackClock.h"

#include "TelemetryValues.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Clock values are finite and not negative.
double sanitisedSeconds(double seconds) {
    return std::isfinite(seconds) && seconds > 0 ? seconds : 0.0;
}

} // namespace

PlaybackClock::PlaybackClock(VideoPlayer& player, QObject* parent)
    : QObject(parent), player_(player), uiTimer_(new QTimer(this)) {
    uiTimer_->setInterval(kUiTimerIntervalMs);
    uiTimer_->setTimerType(Qt::PreciseTimer);
    connect(uiTimer_, &QTimer::timeout, this, [this] {
        if (!tickOnFrames_)
            refreshPlaybackClock();
        else if (std::exchange(tickDue_, true))
            applyShownTime();
    });
}

void PlaybackClock::setPlaybackDuration(double seconds) {
    if (seconds == playbackDuration_)
        return;
    playbackDuration_ = seconds;
    emit playbackDurationChanged();
}

void PlaybackClock::setPlaybackTime(double seconds) {
    if (seconds == playbackTime_)
        return;
    playbackTime_ = seconds;
    emit playbackTimeChanged();
}

void PlaybackClock::refreshPlaybackClock() {
    // Recovered rows keep the clock their browsing sets.
    if (recoveredRows_ > 0)
        return;
    if (player_.currentItem() == VideoPlayer::kNoItem) {
        setPlaybackDuration(0);
        setPlaybackTime(0);
        return;
    }
    setPlaybackDuration(sanitisedSeconds(player_.duration()));
    setPlaybackTime(sanitisedSeconds(player_.currentTime()));
}

void PlaybackClock::startObservingPlaybackClock() {
    uiTimer_->start();
}
void PlaybackClock::stopObservingPlaybackClock() {
    uiTimer_->stop();
}

void PlaybackClock::setTickOnFrames(bool on) {
    tickOnFrames_ = on;
    tickDue_ = false;
    if (!on)
        refreshPlaybackClock();
}

void PlaybackClock::framePresented(double shownSeconds) {
    shownSeconds_ = shownSeconds;
    if (std::exchange(tickDue_, false))
        applyShownTime();
}

// While playing, even a tick that met no frame keeps to the frame still on screen.
void PlaybackClock::applyShownTime() {
    if (player_.currentItem() == VideoPlayer::kNoItem || recoveredRows_ > 0) {
        refreshPlaybackClock();
        return;
    }
    setPlaybackDuration(sanitisedSeconds(player_.duration()));
    setPlaybackTime(sanitisedSeconds(shownSeconds_));
}

void PlaybackClock::browseRows(int rows, std::optional<double> secondsPerRow) {
    recoveredRows_ = rows;
    recoveredTimed_ = secondsPerRow.has_value() && *secondsPerRow > 0;
    const double duration = recoveredTimed_ ? rows * *secondsPerRow : rows;
    // Both are set before either is told, so no one reads the rows on the old length.
    const bool durationChanged = std::exchange(playbackDuration_, duration) != duration;
    emit recoveredRowsChanged();
    if (durationChanged)
        emit playbackDurationChanged();
    setPlaybackTime(0);
}

void PlaybackClock::stopBrowsingRows() {
    if (std::exchange(recoveredRows_, 0) > 0)
        emit recoveredRowsChanged();
}

void PlaybackClock::seekRecovered(double seconds) {
    if (recoveredRows_ > 0)
        setPlaybackTime(std::clamp(seconds, 0.0, playbackDuration_));
}

void PlaybackClock::stepRecoveredRow(int rows) {
    if (recoveredRows_ == 0)
        return;
    const qsizetype current =
        telemetry::currentRowIndex(recoveredRows_, playbackTime_, playbackDuration_);
    // The middle of the row: its start can round into the row before.
    const qsizetype row = std::clamp<qsizetype>(current + rows, 0, recoveredRows_ - 1);
    setPlaybackTime((double(row) + 0.5) * playbackDuration_ / recoveredRows_);
}

void PlaybackClock::setTripClock(double time, double duration) {
    if (time == tripTime_ && duration == tripDuration_)
        return;
    tripTime_ = time;
    tripDuration_ = duration;
    emit tripClockChanged();
}
