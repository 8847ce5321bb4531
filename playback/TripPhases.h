// The trip clock and its phases: a moment's clip loading, playing, the clock running alone
// through a gap, the end. No players here: the trip's face hands in what the leader reports
// and a monotonic clock in milliseconds, and does with the players what each step says, so
// every transition can be tried without media.
#pragma once

#include "TripTimeline.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace playback {

inline constexpr double kMillisecondsPerSecond = 1000.0;

enum class TripPhase { loading, playing, gap, ended };

// What the face does with the players after the clock moved on.
enum class PhaseStep {
    none,
    start,      // the leader loaded: place it at seekTarget(), and play it if wanted
    seekAgain,  // place the leader at seekTarget() again
    gap,        // pause the leader: the clock runs on alone
    cutShort,   // the leader's file ended early: note it and pause; the rest is a gap
    failed,     // the leader is stuck: treat it as unreadable (leaderFailed)
    nextMoment, // load the moment after the shown one, nextWithin() into it
    finished,   // the trip's end: pause, the clock stands at the trip's length
};

class TripPhases {
public:
    using Millis = std::int64_t;

    // `gapChanged` is told whenever the clock enters or leaves a gap.
    explicit TripPhases(std::function<void()> gapChanged = {});

    // A new trip: nothing shown yet.
    void reset(const trips::TripTimeline& timeline);
    const trips::TripTimeline& timeline() const { return timeline_; }

    TripPhase phase() const { return phase_; }
    bool inGap() const { return phase_ == TripPhase::gap; }
    std::size_t moment() const { return moment_; }
    double time() const { return time_; }
    // Where the leader is to be placed in its clip.
    double seekTarget() const { return seekTarget_; }
    // The leader's position in its clip by the trip clock.
    double leaderPosition() const;

    // Moves the clock to `tripSeconds`, held to the trip; returns where that falls.
    trips::TripPlace place(double tripSeconds);
    // Aims at moment `index`, `within` seconds into it: never past its cut, less a switch's lead.
    void aim(std::size_t index, double within);
    // The leader's clip is being loaded, or was swapped in (`ready` when already loaded).
    void loadStarted(Millis now);
    void swappedIn(bool ready, Millis now);
    // The leader only moved within its clip.
    void movedInPlace(Millis now);
    // The part of the aimed moment that plays is over at `within`: the clock runs on alone.
    bool pastPlayedPart(double within) const;
    PhaseStep enterGap(double from, Millis now);

    PhaseStep leaderLoaded(Millis now);
    PhaseStep leaderEnded(double position, Millis now);
    // The leader's file cannot be read: the rest of its moment runs as a gap.
    PhaseStep leaderFailed(Millis now);
    // The shown moment is played out: the next moment, a gap, or the trip's end.
    PhaseStep momentDone(Millis now);
    PhaseStep tick(double leaderTime, bool wantPlay, double rate, Millis now);
    // Playing again after a pause: a gap's clock restarts from the shown time.
    void resume(Millis now);
    // The trip is let go of.
    void end();

    // The next moment to load behind the shown picture, once the shown one settled.
    std::optional<std::size_t> momentToPrepare(Millis now) const;
    // How far into the next moment a gap's clock ran on before it was noticed.
    double nextWithin() const { return nextWithin_; }

private:
    void setPhase(TripPhase phase, Millis now);
    double offset() const { return timeline_.momentStart(moment_); }

    std::function<void()> gapChanged_;
    trips::TripTimeline timeline_;
    TripPhase phase_ = TripPhase::ended;
    std::size_t moment_ = 0;
    double time_ = 0.0;
    double seekTarget_ = 0.0;
    bool seekPending_ = false;
    double nextWithin_ = 0.0;
    double gapFrom_ = 0.0;
    Millis gapSince_ = 0;
    double stallPosition_ = 0.0;
    Millis stallSince_ = 0;
    Millis settledSince_ = 0; // since the shown moment loaded
};

} // namespace playback
