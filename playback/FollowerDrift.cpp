#include "FollowerDrift.h"

#include <algorithm>
#include <cmath>

namespace playback {
namespace {
// A seek lands late by the time the follower takes to decode up to it and start again, so the
// next one aims that far ahead of the leader; no further than this.
constexpr double kMaxSeekLeadMs = 2000.0;
// A seek that has not played on this long is asked again: a pipeline can stay on the first
// frame it found.
constexpr qint64 kSeekPatienceMs = 1500;
} // namespace

void FollowerDrift::framePresented(qint64 mediaUs, double offsetMs) {
    if (seekAskedNs_ == 0)
        return;
    if (seekFrameUs_ < 0) {
        seekFrameUs_ = mediaUs;
    } else if (mediaUs > seekFrameUs_) {
        if (!std::isnan(offsetMs))
            seekLeadMs_ = std::clamp(seekLeadMs_ - offsetMs, 0.0, kMaxSeekLeadMs);
        seekAskedNs_ = 0;
    }
}

bool FollowerDrift::awaitingSeek(const CameraClock& clock) {
    if (seekAskedNs_ != 0 && !clock.olderThan(seekAskedNs_, kSeekPatienceMs))
        return true;
    seekAskedNs_ = 0;
    return false;
}

DriftStep FollowerDrift::next(double offsetMs, double leaderRate, double followerRate) {
    if (!std::isnan(offsetAtRateChangeMs_) && !std::isnan(offsetMs)) {
        rateLagMs_ = boundedRateLag(offsetAtRateChangeMs_ - offsetMs);
        offsetAtRateChangeMs_ = kUnknownMs;
    }
    return decideDrift(offsetMs, leaderRate, followerRate, rateLagMs_);
}

double FollowerDrift::seekTarget(double leaderMs, const CameraClock& clock) {
    seekAskedNs_ = clock.nowNs();
    seekFrameUs_ = -1;
    return leaderMs + seekLeadMs_;
}

void FollowerDrift::rateChanging(const DriftStep& step, double offsetMs) {
    // The return to the leader's rate is where the lag is learnt.
    if (step.kind == DriftStep::Kind::Hold && !std::isnan(offsetMs))
        offsetAtRateChangeMs_ = offsetMs;
}

} // namespace playback
