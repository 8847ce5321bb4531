// How a follower camera takes up drift against the large one, and which cameras a leader's
// clip brings along from its trip.
#include "CameraSync.h"
#include "DriftRule.h"
#include "MomentCameras.h"

#include "TestClips.h"

#include <QDir>
#include <QFile>
#include <QMediaPlayer>
#include <gtest/gtest.h>

#include <cmath>

using namespace playback;

namespace {
// The moments 07-00-00 (front, back, left) and 07-00-01 (front, left) of one trip in `folder`,
// beside a clip of an odd name.
std::vector<trips::Trip> twoMoments(const QString& folder) {
    std::vector<trips::ClipFacts> facts;
    for (const char* name : {"2025-06-01_07-00-00-front.mp4", "2025-06-01_07-00-00-back.mp4",
                             "2025-06-01_07-00-00-left.mp4", "2025-06-01_07-00-01-front.mp4",
                             "2025-06-01_07-00-01-left.mp4", "my clip.mp4"})
        facts.push_back({folder.toStdString(), name, 1.0, 0});
    return trips::groupTrips(std::move(facts));
}

QUrl clipIn(const QString& folder, const char* name) {
    return QUrl::fromLocalFile(QDir(folder).filePath(name));
}
} // namespace

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

// The trip's moment of a clip, found by its folder and name alone: no media needed.
TEST(MomentCameras, AClipFindsItsMomentsCamerasInTheTrip) {
    const QString folder = "/drive";
    const trips::Trip trip = twoMoments(folder).front();
    ASSERT_EQ(trip.moments.size(), 2u);
    EXPECT_EQ(tripCameras(trip), (QStringList{"back", "front", "left"}));
    const struct {
        QUrl clip;
        std::optional<std::size_t> index;
        QString camera;
        QStringList cameras;
    } cases[] = {
        {clipIn(folder, "2025-06-01_07-00-00-back.mp4"), 0, "back", {"back", "front", "left"}},
        {clipIn(folder, "2025-06-01_07-00-01-left.mp4"), 1, "left", {"front", "left"}},
        {clipIn("/elsewhere", "2025-06-01_07-00-00-back.mp4"), std::nullopt, "", {}},
        {clipIn(folder, "my clip.mp4"), std::nullopt, "", {}},
        {QUrl("https://example.org/drive/2025-06-01_07-00-00-back.mp4"), std::nullopt, "", {}},
    };
    for (const auto& c : cases) {
        const MomentCameras found = findMoment(trip, c.clip);
        QStringList cameras;
        for (const auto& [camera, clip] : found.clips) {
            cameras << camera;
            EXPECT_EQ(findMoment(trip, clip).index, found.index) << clip.toString().toStdString();
        }
        EXPECT_EQ(std::tuple(found.index, found.camera, cameras),
                  std::tuple(c.index, c.camera, c.cameras))
            << c.clip.toString().toStdString();
    }
}

// The cameras of the leader's moment in the trip given: a camera missing from a moment is an
// empty tile, a clip outside the trip, or any clip without a trip, has no others to show.
TEST(CameraSync, TilesFollowTheLeadersMomentInItsTrip) {
    const QString root = QString::fromStdString(testclips::makeTempDir()) + "/drive";
    testclips::generate(root.toStdString(), {"--moments", "2", "--seconds", "1", "--cameras",
                                             "front,back,left", "--trip"});
    QFile::remove(root + "/2025-06-01_07-00-01-back.mp4");
    QFile::copy(root + "/2025-06-01_07-00-00-left.mp4", root + "/my clip.mp4");
    const std::optional<trips::Trip> trip = twoMoments(root).front();
    const QStringList all{"back", "front", "left"};
    const struct {
        std::optional<trips::Trip> trip;
        const char* leader;
        QString large;
        QStringList cameras, withClip;
    } cases[] = {
        {trip, "2025-06-01_07-00-00-front.mp4", "front", all, all},
        {trip, "2025-06-01_07-00-01-left.mp4", "left", all, {"front", "left"}},
        {trip, "my clip.mp4", "", {}, {}},
        {std::nullopt, "2025-06-01_07-00-00-front.mp4", "", {}, {}},
    };
    QMediaPlayer leader;
    CameraSync sync;
    sync.setLeader(&leader);
    for (const auto& c : cases) {
        sync.useTrip(c.trip);
        leader.setSource(QUrl::fromLocalFile(root + "/" + c.leader));
        QStringList withClip;
        for (const QVariant& tile : sync.tiles())
            if (tile.toMap().value("hasClip").toBool())
                withClip << tile.toMap().value("camera").toString();
        EXPECT_EQ(std::tuple(sync.cameras(), withClip, sync.active(), sync.largeCamera(),
                             sync.followerPlayer("front") != nullptr),
                  std::tuple(c.cameras, c.withClip, !c.cameras.isEmpty(), c.large,
                             c.withClip.contains("front") && c.large != "front"))
            << c.leader;
    }
}
