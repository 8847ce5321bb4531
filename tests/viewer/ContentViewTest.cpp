// The window's clock against the real player, and the parts it feeds.
#include "ContentView.h"
#include "TestClips.h"

#include <gtest/gtest.h>

#include <QMediaPlayer>
#include <QSignalSpy>
#include <QTest>

namespace {

TEST(PlaybackClock, TimerCopiesThePlayersDurationAndTime) {
    const std::string clip = testclips::makeTempDir() + "/clock.mp4";
    testclips::generate(clip, {"--duration", "2", "--fps", "10"});
    ContentView view;
    PlaybackClock& clock = *view.clock();
    view.player()->replaceCurrentItem(QUrl::fromLocalFile(QString::fromStdString(clip)));
    clock.startObservingPlaybackClock();
    EXPECT_TRUE(QTest::qWaitFor([&] { return clock.playbackDuration() > 0; }, 10000));
    EXPECT_NEAR(clock.playbackDuration(), 2.0, 0.15);
    // A seek made with the player's controls shows within a tick.
    view.player()->mediaPlayer()->setPosition(1000);
    view.player()->play();
    EXPECT_TRUE(QTest::qWaitFor([&] { return clock.playbackTime() > 0.9; }, 5000));
    clock.stopObservingPlaybackClock();
    // Without an item the clock reads zero, whatever was written before.
    view.player()->clearCurrentItem();
    clock.setPlaybackDuration(12);
    clock.refreshPlaybackClock();
    EXPECT_EQ(clock.playbackDuration(), 0);
    EXPECT_EQ(clock.playbackTime(), 0);
}

// Recovered rows keep their own clock until the table is emptied; untimed, the drive finds no
// events on a length that counts rows.
TEST(PlaybackClock, RecoveredRowsEndWithTheirTable) {
    ContentView view;
    view.telemetry()->show(ClipTelemetry::Clip::fromCsv("vehicle_speed_mps\n1\n2\n3\n4"));
    view.clock()->browseRows(4, std::nullopt);
    EXPECT_EQ(std::tuple(view.clock()->recoveredRows(), view.clock()->playbackDuration(),
                         view.drive()->duration()),
              std::tuple(4, 4.0, 4.0));
    view.clock()->refreshPlaybackClock();
    EXPECT_EQ(view.clock()->playbackDuration(), 4.0);
    view.telemetry()->clear();
    EXPECT_EQ(view.clock()->recoveredRows(), 0);
    view.clock()->refreshPlaybackClock();
    EXPECT_EQ(view.clock()->playbackDuration(), 0.0);
}

} // namespace
