#include "DriftRule.h"

#include <algorithm>
#include <cmath>

namespace playback {
namespace {
// Closer than this is in step: each correction costs a seek on this backend, so it waits for
// a little over a frame at 30 fps.
constexpr double kDeadBandMs = 40.0;
// Rate nudges stay slight so that neither picture nor sound visibly changes speed.
constexpr double kMaxNudge = 0.04;
// A rate change sets a follower back by no more than this.
constexpr double kMaxRateLagMs = 120.0;
// Rates closer than this are the same; saves the backend needless rate changes.
constexpr double kRateEpsilon = 0.002;
// A follower this far ahead, or less, waits paused for the leader rather than seeking back.
constexpr double kMaxWaitMs = 3000.0;

bool sameRate(double a, double b) {
    return std::abs(a - b) < kRateEpsilon;
}
} // namespace

double boundedRateLag(double lagMs) {
    return std::clamp(lagMs, 0.0, kMaxRateLagMs);
}

DriftStep decideDrift(double offsetMs, double leaderRate, double followerRate, double rateLagMs) {
    if (std::isnan(offsetMs))
        return {DriftStep::Kind::Hold, leaderRate};
    if (std::abs(offsetMs) > kReseekMs && !(offsetMs > 0 && offsetMs < kMaxWaitMs))
        return {DriftStep::Kind::Reseek, leaderRate};
    if (!sameRate(followerRate, leaderRate)) {
        // Re-tuning a nudge would cost another seek: it runs until the follower is far enough
        // ahead for the seek back to the leader's rate to land it in step.
        if (offsetMs >= boundedRateLag(rateLagMs))
            return {DriftStep::Kind::Hold, leaderRate};
        return {DriftStep::Kind::Nudge, followerRate};
    }
    if (offsetMs > kDeadBandMs)
        return {DriftStep::Kind::Wait, leaderRate};
    if (offsetMs < -kDeadBandMs)
        return {DriftStep::Kind::Nudge, leaderRate * (1.0 + kMaxNudge)};
    return {DriftStep::Kind::Hold, leaderRate};
}

} // namespace playback
