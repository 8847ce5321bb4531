// A trip's moments laid out on one clock, built once from the trip: where each moment starts,
// how much of it plays, the gaps between them, and where a trip time falls. A moment plays its
// clip's length, cut where the next moment starts; a moment without a known length plays
// nothing. No Qt here.
#pragma once

#include "Trips.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace trips {

// Where a trip time, held to the trip, falls: in a moment, `within` seconds after its start,
// or past the part of it that plays, in the gap before the next moment (or the trip's end).
struct TripPlace {
    double time = 0.0;
    std::size_t moment = 0;
    double within = 0.0;
    bool inGap = false;

    bool operator==(const TripPlace&) const = default;
};

struct TripGap {
    double from = 0.0;
    double to = 0.0;

    bool operator==(const TripGap&) const = default;
};

class TripTimeline {
public:
    TripTimeline() = default;
    explicit TripTimeline(const Trip& trip);

    std::size_t momentCount() const { return starts_.size(); }
    // Up to the end of the last moment's clip; 0 when its length is unknown.
    double duration() const { return duration_; }
    double momentStart(std::size_t index) const { return starts_[index]; }
    double playLength(std::size_t index) const { return lengths_[index]; }
    double momentEnd(std::size_t index) const { return starts_[index] + lengths_[index]; }
    // Where the clock goes on after moment `index`: the next moment's start, or the trip's end.
    double nextStart(std::size_t index) const;
    // The starts of the moments after the first.
    std::vector<double> boundaries() const;
    // Where one moment's clip ends before the next moment starts.
    const std::vector<TripGap>& gaps() const { return gaps_; }

    // `tripSeconds` held to [0, duration]; a trip without moments has no place.
    TripPlace locate(double tripSeconds) const;
    // The seek targets of moment steps: the first moment start after `tripSeconds`, and the
    // last one before it.
    std::optional<double> momentStartAfter(double tripSeconds) const;
    std::optional<double> momentStartBefore(double tripSeconds) const;

private:
    std::vector<double> starts_;
    std::vector<double> lengths_;
    std::vector<TripGap> gaps_;
    double duration_ = 0.0;
};

} // namespace trips
