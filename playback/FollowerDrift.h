// What a follower camera learns from its own seeks and rate changes, and the step it takes
// next against the leader.
#pragma once

#include "CameraClock.h"
#include "DriftRule.h"

namespace playback {

class FollowerDrift {
public:
    // A frame at `mediaUs` arrived, `offsetMs` from the leader. After a seek the first frame
    // shows before playback starts again; the next one tells how far off the seek landed.
    void framePresented(qint64 mediaUs, double offsetMs);
    // A seek asked for lately is still on its way, which is not drift.
    bool awaitingSeek(const CameraClock& clock);
    // The step for `offsetMs`; the first check after a return to the leader's rate learns how
    // far back that return set the follower.
    DriftStep next(double offsetMs, double leaderRate, double followerRate);
    // Where a seek asked for now aims: ahead of the leader by the delay the last ones showed.
    double seekTarget(double leaderMs, const CameraClock& clock);
    // The rate changes to `step`'s, `offsetMs` from the leader.
    void rateChanging(const DriftStep& step, double offsetMs);

private:
    // When the last seek was asked for, until the follower plays on from it; 0 when none.
    qint64 seekAskedNs_ = 0;
    qint64 seekFrameUs_ = -1;
    double seekLeadMs_ = 0.0;
    double rateLagMs_ = 0.0;
    // The offset at a return to the leader's rate, until the next check measures the lag.
    double offsetAtRateChangeMs_ = kUnknownMs;
};

} // namespace playback
