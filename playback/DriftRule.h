// How a follower camera answers its offset from the leader: a pure rule, table-tested.
#pragma once

namespace playback {

// Past this a nudge would take too long to catch up; a seek is quicker. A leader whose frame
// time jumps by more than this was sought.
inline constexpr double kReseekMs = 250.0;

struct DriftStep {
    enum class Kind { Hold, Nudge, Wait, Reseek };
    Kind kind = Kind::Hold;
    // The follower's playback rate; the leader's own while holding, waiting or after a seek.
    double rate = 1.0;
};

// `offsetMs` is the follower's presented time minus the leader's (positive: ahead). On this
// media backend a rate change is a flushing seek that sets the follower back by about
// `rateLagMs`, so a nudge is kept until the follower is that far ahead, and a follower ahead
// waits paused instead of slowing down.
DriftStep decideDrift(double offsetMs, double leaderRate, double followerRate, double rateLagMs);

// The most a rate change sets a follower back.
double boundedRateLag(double lagMs);

} // namespace playback
