// How a follower camera takes up drift against the large one.
#include "CameraSync.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(DriftRule, HoldsNudgesOrSeeks) {
    using K = DriftStep::Kind;
    const struct {
        double offsetMs, leaderRate;
        K kind;
        double rate;
    } cases[] = {
        {NAN, 1, K::Hold, 1},      {14, 2, K::Hold, 2},      {-14, 1, K::Hold, 1},
        {40, 1, K::Nudge, 0.98},   {-40, 2, K::Nudge, 2.04}, {200, 1, K::Nudge, 0.96},
        {-250, 1, K::Nudge, 1.04}, {251, 1, K::Reseek, 1},   {-4000, 0.5, K::Reseek, 0.5},
    };
    for (const auto& c : cases) {
        const DriftStep step = decideDrift(c.offsetMs, c.leaderRate);
        EXPECT_EQ(step.kind, c.kind) << c.offsetMs;
        EXPECT_NEAR(step.rate, c.rate, 1e-9) << c.offsetMs;
    }
}
