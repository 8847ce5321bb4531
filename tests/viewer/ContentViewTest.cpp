// The window state: the batch scan handle and the playback clock
// against the real player.
#include "ContentView.h"
#include "TestClips.h"

#include <gtest/gtest.h>

#include <QMediaPlayer>
#include <QSignalSpy>
#include <QTest>

namespace {

// The scan handle is held weakly: it reads null once its object is gone.
TEST(ContentViewState, ScanHandleReadsNullOnceDestroyed) {
    ContentView view;
    QSignalSpy task(&view, &ContentView::folderScanTaskChanged);
    auto* handle = new QObject;
    view.setFolderScanTask(handle);
    delete handle;
    EXPECT_EQ(view.folderScanTask(), nullptr);
    EXPECT_EQ(task.count(), 2);
}

TEST(PlaybackClock, TimerCopiesThePlayersDurationAndTime) {
    const std::string clip = testclips::makeTempDir() + "/clock.mp4";
    testclips::generate(clip, {"--duration", "2", "--fps", "10"});
    ContentView view;
    view.player()->replaceCurrentItem(QUrl::fromLocalFile(QString::fromStdString(clip)));
    view.startObservingPlaybackClock();
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.playbackDuration() > 0; }, 10000));
    EXPECT_NEAR(view.playbackDuration(), 2.0, 0.15);
    // A seek made with the player's controls shows within a tick.
    view.player()->mediaPlayer()->setPosition(1000);
    view.player()->play();
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.playbackTime() > 0.9; }, 5000));
    view.stopObservingPlaybackClock();
    // Without an item the clock reads zero, whatever was written before.
    view.player()->clearCurrentItem();
    view.setPlaybackDuration(12);
    view.refreshPlaybackClock();
    EXPECT_EQ(view.playbackDuration(), 0);
    EXPECT_EQ(view.playbackTime(), 0);
}

} // namespace
