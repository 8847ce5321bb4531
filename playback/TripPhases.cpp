#include "TripPhases.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace playback {

namespace {

// A moment is left this close to its cut, so the next one starts before the old clip ends.
constexpr double kSwitchAheadSeconds = 0.045;
// The next moment is loaded this long after the shown one is ready, so that the two loads
// never compete for the processor.
constexpr TripPhases::Millis kPrepareAfterMs = 250;
// A clip ending further than this before its movie header's length was cut short.
constexpr double kEarlyEndSeconds = 0.5;
// How far a seek may land from where it was asked to.
constexpr double kSeekToleranceSeconds = 0.1;
// A leader that neither loads nor moves for this long while it should play is stuck.
constexpr TripPhases::Millis kStallMs = 3000;

} // namespace

TripPhases::TripPhases(std::function<void()> gapChanged) : gapChanged_(std::move(gapChanged)) {}

void TripPhases::reset(const trips::TripTimeline& timeline) {
    timeline_ = timeline;
    moment_ = 0;
    time_ = -1;
}

double TripPhases::leaderPosition() const {
    return std::clamp(time_ - offset(), 0.0, timeline_.playLength(moment_));
}

trips::TripPlace TripPhases::place(double tripSeconds) {
    const trips::TripPlace place = timeline_.locate(tripSeconds);
    time_ = place.time;
    return place;
}

void TripPhases::aim(std::size_t index, double within) {
    moment_ = index;
    seekTarget_ =
        std::min(within, std::max(0.0, timeline_.playLength(index) - kSwitchAheadSeconds));
}

void TripPhases::loadStarted(Millis now) {
    setPhase(TripPhase::loading, now);
    seekPending_ = seekTarget_ > 0;
    stallSince_ = now;
}

void TripPhases::swappedIn(bool ready, Millis now) {
    seekPending_ = seekTarget_ > 0;
    stallSince_ = now;
    settledSince_ = now;
    setPhase(ready ? TripPhase::playing : TripPhase::loading, now);
}

void TripPhases::movedInPlace(Millis now) {
    setPhase(TripPhase::playing, now);
}

bool TripPhases::pastPlayedPart(double within) const {
    return within >= timeline_.playLength(moment_);
}

PhaseStep TripPhases::enterGap(double from, Millis now) {
    gapFrom_ = from;
    gapSince_ = now;
    setPhase(TripPhase::gap, now);
    return PhaseStep::gap;
}

PhaseStep TripPhases::leaderLoaded(Millis now) {
    if (phase_ == TripPhase::playing)
        return PhaseStep::none;
    if (phase_ != TripPhase::loading)
        return PhaseStep::seekAgain;
    setPhase(TripPhase::playing, now);
    return PhaseStep::start;
}

PhaseStep TripPhases::leaderEnded(double position, Millis now) {
    if (phase_ != TripPhase::playing)
        return PhaseStep::none;
    if (std::isfinite(position) && position < timeline_.playLength(moment_) - kEarlyEndSeconds) {
        enterGap(offset() + position, now);
        return PhaseStep::cutShort;
    }
    return momentDone(now);
}

PhaseStep TripPhases::leaderFailed(Millis now) {
    if (phase_ == TripPhase::ended || phase_ == TripPhase::gap)
        return PhaseStep::none;
    return enterGap(std::max(time_, offset()), now);
}

PhaseStep TripPhases::momentDone(Millis now) {
    if (moment_ + 1 >= timeline_.momentCount()) {
        setPhase(TripPhase::ended, now);
        time_ = timeline_.duration();
        return PhaseStep::finished;
    }
    if (timeline_.momentEnd(moment_) + kSwitchAheadSeconds < timeline_.nextStart(moment_))
        return enterGap(timeline_.momentEnd(moment_), now);
    nextWithin_ = 0.0;
    return PhaseStep::nextMoment;
}

PhaseStep TripPhases::tick(double leaderTime, bool wantPlay, double rate, Millis now) {
    double t = time_;
    switch (phase_) {
    case TripPhase::loading:
        t = offset() + seekTarget_;
        if (now - stallSince_ > kStallMs)
            return PhaseStep::failed;
        break;
    case TripPhase::playing:
        // A seek made while the pipeline was still settling can be lost; it is made again.
        if (seekPending_ && !(std::abs(leaderTime - seekTarget_) < kSeekToleranceSeconds))
            return PhaseStep::seekAgain;
        seekPending_ = false;
        if (!wantPlay || leaderTime != stallPosition_) {
            stallPosition_ = leaderTime;
            stallSince_ = now;
        } else if (now - stallSince_ > kStallMs) {
            return PhaseStep::failed;
        }
        if (std::isfinite(leaderTime))
            t = wantPlay ? std::max(time_, offset() + leaderTime) : offset() + leaderTime;
        if (wantPlay && t >= offset() + timeline_.playLength(moment_) - kSwitchAheadSeconds)
            return momentDone(now);
        break;
    case TripPhase::gap: {
        if (wantPlay) {
            t = gapFrom_ + double(now - gapSince_) / kMillisecondsPerSecond * rate;
        } else {
            gapFrom_ = t;
            gapSince_ = now;
        }
        const double next = timeline_.nextStart(moment_);
        if (wantPlay && t >= next) {
            if (moment_ + 1 >= timeline_.momentCount())
                return momentDone(now);
            nextWithin_ = t - next;
            time_ = next;
            return PhaseStep::nextMoment;
        }
        break;
    }
    case TripPhase::ended:
        break;
    }
    time_ = t;
    return PhaseStep::none;
}

void TripPhases::resume(Millis now) {
    gapFrom_ = time_;
    gapSince_ = now;
}

void TripPhases::end() {
    setPhase(TripPhase::ended, 0);
}

std::optional<std::size_t> TripPhases::momentToPrepare(Millis now) const {
    const std::size_t next = moment_ + 1;
    if (phase_ == TripPhase::loading || seekPending_ || next >= timeline_.momentCount() ||
        now - settledSince_ <= kPrepareAfterMs)
        return std::nullopt;
    return next;
}

void TripPhases::setPhase(TripPhase phase, Millis now) {
    const bool wasGap = inGap();
    if (phase_ == TripPhase::loading && phase != TripPhase::loading)
        settledSince_ = now;
    phase_ = phase;
    if (wasGap != inGap() && gapChanged_)
        gapChanged_();
}

} // namespace playback
