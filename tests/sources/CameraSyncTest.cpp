// Cameras of one moment played together through real players: the drift rule, followers
// kept in step, the large camera switched, a missing clip.
#include "CameraSync.h"
#include "SourcesTestSupport.h"
#include "TestClips.h"

#include <QAudioOutput>
#include <QFile>
#include <QTest>
#include <QVideoFrame>

#include <cmath>

using namespace sourcestest;

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

class CameraSyncTest : public IsolatedTempTest {};

TEST_F(CameraSyncTest, CamerasPlayInStepAndTheLargeOneHasTheSound) {
    const QString trip = dir() + "/trip";
    testclips::generate(trip.toStdString(), {"--moments", "2", "--seconds", "35", "--cameras",
                                             "front,back,left", "--trip"});
    const QString first = trip + "/2025-06-01_07-00-00-";
    const QString second = trip + "/2025-06-01_07-00-35-";
    ASSERT_TRUE(QFile::remove(second + "left.mp4"));

    QMediaPlayer leader;
    QVideoSink leaderSink, display;
    QAudioOutput audio;
    leader.setVideoSink(&leaderSink);
    leader.setAudioOutput(&audio);
    CameraSync sync;
    sync.setLeaderSink(&leaderSink);
    sync.setAudioOutput(&audio);
    sync.setLeader(&leader);
    leader.setSource(fileUrl(second + "front.mp4"));
    EXPECT_EQ(sync.cameras(), QStringList({"back", "front", "left"}));
    const QVariantList tiles = sync.tiles();
    ASSERT_EQ(tiles.size(), 3);
    EXPECT_EQ(tiles[2].toMap().value("hasClip"), false);
    EXPECT_EQ(sync.followerPlayer("left"), nullptr);

    leader.setSource(fileUrl(first + "front.mp4"));
    QMediaPlayer* back = sync.followerPlayer("back");
    ASSERT_TRUE(back && sync.followerPlayer("left"));
    EXPECT_TRUE(waitFor([&] { return back->source() == fileUrl(first + "back.mp4"); }));
    EXPECT_EQ(back->audioOutput(), nullptr);

    // The large camera takes the sound; any display shows the camera it was given.
    sync.show("back", &display);
    sync.setLargeCamera("back");
    EXPECT_EQ(std::pair(back->audioOutput(), leader.audioOutput()),
              std::pair(&audio, static_cast<QAudioOutput*>(nullptr)));

    // A seek while paused reaches every camera.
    ASSERT_TRUE(waitFor([&] { return back->playbackState() == QMediaPlayer::PausedState; }));
    leader.setPosition(3000);
    ASSERT_TRUE(waitFor([&] { return back->position() == 3000; }));

    leader.play();
    ASSERT_TRUE(waitFor([&] { return back->playbackState() == QMediaPlayer::PlayingState; }));
    ASSERT_TRUE(waitFor([&] { return leader.position() > 6000; }));
    ASSERT_TRUE(waitFor([&] { return leader.position() > 30000; }, 90000))
        << leader.errorString().toStdString();
    const double drift = sync.presentedMs("back") - sync.presentedMs("front");
    EXPECT_LT(std::abs(drift), 150.0) << drift;
    EXPECT_TRUE(display.videoFrame().isValid());
    EXPECT_EQ(back->playbackState(), QMediaPlayer::PlayingState);

    leader.pause();
    EXPECT_EQ(back->playbackState(), QMediaPlayer::PausedState);
}
