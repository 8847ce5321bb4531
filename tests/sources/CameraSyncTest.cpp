// How a follower camera takes up drift against the large one, and which cameras a leader's
// clip brings along.
#include "CameraSync.h"
#include "SourcesTestSupport.h"

#include "TestClips.h"

#include <QFile>
#include <QMediaPlayer>
#include <gtest/gtest.h>

#include <cmath>

TEST(DriftRule, HoldsNudgesWaitsOrSeeks) {
    using K = DriftStep::Kind;
    // The last six: a running nudge is kept as it is until the follower is ahead by the lag.
    const struct {
        double offsetMs, leaderRate, followerRate, rateLagMs;
        K kind;
        double rate;
    } cases[] = {
        {NAN, 1, 1, 0, K::Hold, 1},         {39, 2, 2, 0, K::Hold, 2},
        {-39, 1, 1, 0, K::Hold, 1},         {41, 1, 1, 0, K::Wait, 1},
        {2900, 1, 1, 0, K::Wait, 1},        {3100, 1, 1, 0, K::Reseek, 1},
        {-41, 2, 2, 0, K::Nudge, 2.08},     {-250, 1, 1, 0, K::Nudge, 1.04},
        {-251, 1, 1, 0, K::Reseek, 1},      {-4000, 0.5, 0.5, 0, K::Reseek, 0.5},
        {-60, 1, 1.04, 50, K::Nudge, 1.04}, {49, 1, 1.04, 50, K::Nudge, 1.04},
        {50, 1, 1.04, 50, K::Hold, 1},      {1, 1, 1.04, -10, K::Hold, 1},
        {130, 1, 1.04, 500, K::Hold, 1},    {-300, 1, 1.04, 50, K::Reseek, 1},
    };
    for (const auto& c : cases) {
        const DriftStep step = decideDrift(c.offsetMs, c.leaderRate, c.followerRate, c.rateLagMs);
        EXPECT_EQ(step.kind, c.kind) << c.offsetMs;
        EXPECT_NEAR(step.rate, c.rate, 1e-9) << c.offsetMs;
    }
}

class CameraSyncTest : public sourcestest::IsolatedTempTest {};

// The cameras of the leader's folder moment: a camera missing from a moment is an empty tile,
// a clip of an odd name has no others to show.
TEST_F(CameraSyncTest, TilesFollowTheLeadersMoment) {
    const QString root = dir() + "/drive";
    testclips::generate(root.toStdString(), {"--moments", "2", "--seconds", "1", "--cameras",
                                             "front,back,left", "--trip"});
    QFile::remove(root + "/2025-06-01_07-00-01-back.mp4");
    QFile::copy(root + "/2025-06-01_07-00-00-left.mp4", root + "/my clip.mp4");
    const struct {
        const char* leader;
        QString large;
        QStringList cameras, withClip;
    } cases[] = {
        {"2025-06-01_07-00-00-front.mp4",
         "front",
         {"back", "front", "left"},
         {"back", "front", "left"}},
        {"2025-06-01_07-00-01-left.mp4", "left", {"back", "front", "left"}, {"front", "left"}},
        {"my clip.mp4", "", {}, {}},
    };
    QMediaPlayer leader;
    CameraSync sync;
    sync.setLeader(&leader);
    for (const auto& c : cases) {
        leader.setSource(QUrl::fromLocalFile(root + "/" + c.leader));
        QStringList withClip;
        for (const QVariant& tile : sync.tiles())
            if (tile.toMap().value("hasClip").toBool())
                withClip << tile.toMap().value("camera").toString();
        EXPECT_EQ(sync.cameras(), c.cameras) << c.leader;
        EXPECT_EQ(withClip, c.withClip) << c.leader;
        EXPECT_EQ(sync.active(), !c.cameras.isEmpty()) << c.leader;
        EXPECT_EQ(sync.largeCamera(), c.large) << c.leader;
    }
}
