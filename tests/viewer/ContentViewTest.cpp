// The window state: initial values, change signals, batch status map, shared settings, and
// the playback clock against the real player.
#include "ContentView.h"
#include "Settings.h"
#include "TestClips.h"

#include <gtest/gtest.h>

#include <QMediaPlayer>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

namespace {

TEST(ContentViewState, FreshWindow) {
    ContentView view;
    EXPECT_NE(view.player(), nullptr);
    EXPECT_EQ(view.player()->currentItem(), VideoPlayer::kNoItem);
    EXPECT_FALSE(view.isDropTargeted());
    EXPECT_EQ(view.status(), "Drop an MP4 file to begin");
    EXPECT_EQ(view.selectedFileName(), "No file loaded");
    EXPECT_EQ(view.extractorMessage(), "No metadata loaded");
    EXPECT_TRUE(view.extractorDebug().isEmpty());
    EXPECT_TRUE(view.csvHeaders().isEmpty());
    EXPECT_EQ(view.csvRowCount(), 0);
    EXPECT_TRUE(view.routeCoordinates().isEmpty());
    EXPECT_TRUE(view.stagedFileURL().isEmpty());
    EXPECT_TRUE(view.selectedFolderClipPath().isNull());
    EXPECT_EQ(view.folderScanTask(), nullptr);
    EXPECT_EQ(view.playbackTime(), 0);
    EXPECT_EQ(view.playbackDuration(), 0);
    EXPECT_FALSE(view.fileLoadID().isNull());
    EXPECT_NE(view.fileLoadID(), ContentView().fileLoadID());
    EXPECT_EQ(view.uiTimer()->interval(), 250);
    EXPECT_FALSE(view.uiTimer()->isActive());
    EXPECT_EQ(ContentView::detailKeys().size(), 14);
    EXPECT_FALSE(ContentView::detailKeys().contains("gear_state"));
}

TEST(ContentViewState, SettersSignalOnlyOnChange) {
    ContentView view;
    QSignalSpy status(&view, &ContentView::statusChanged);
    view.setStatus("x");
    view.setStatus("x");
    EXPECT_EQ(status.count(), 1);

    QSignalSpy path(&view, &ContentView::selectedFolderClipPathChanged);
    view.setSelectedFolderClipPath(QString());         // none -> none
    view.setSelectedFolderClipPath(QLatin1String("")); // none -> empty path
    view.setSelectedFolderClipPath(QString());
    EXPECT_EQ(path.count(), 2);

    QSignalSpy id(&view, &ContentView::fileLoadIDChanged);
    const QUuid before = view.fileLoadID();
    EXPECT_NE(view.renewFileLoadID(), before);
    EXPECT_EQ(id.count(), 1);
}

TEST(ContentViewState, StatusMapAndScanHandle) {
    ContentView view;
    QSignalSpy changed(&view, &ContentView::folderClipMetadataStatusChanged);
    EXPECT_EQ(view.statusFor("/a.mp4"), ClipMetadataStatus::unknown);
    view.setStatus("/a.mp4", ClipMetadataStatus::noMetadata);
    view.setStatus("/a.mp4", ClipMetadataStatus::noMetadata);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(view.statusFor("/a.mp4"), ClipMetadataStatus::noMetadata);
    EXPECT_EQ(view.folderClipMetadataStatusMap().value("/a.mp4").toInt(),
              static_cast<int>(ClipMetadataStatus::noMetadata));
    view.clearStatuses();
    view.clearStatuses();
    EXPECT_EQ(changed.count(), 2);

    QSignalSpy task(&view, &ContentView::folderScanTaskChanged);
    auto* handle = new QObject;
    view.setFolderScanTask(handle);
    delete handle;
    EXPECT_EQ(view.folderScanTask(), nullptr);
    EXPECT_EQ(task.count(), 2);
}

TEST(SharedSettings, ChangeInOneHolderIsSeenByTheOtherAtOnce) {
    Settings* settings = Settings::instance();
    settings->setUseMilesPerHour(false);
    settings->setOnlyWithMetadata(false);
    ContentView mainWindow;
    ContentView otherWindow;
    QSignalSpy unit(&otherWindow, &ContentView::useMilesPerHourChanged);
    QSignalSpy filter(settings, &Settings::onlyWithMetadataChanged);

    mainWindow.setUseMilesPerHour(true);
    EXPECT_TRUE(otherWindow.useMilesPerHour());
    EXPECT_EQ(unit.count(), 1);
    EXPECT_TRUE(QSettings().value(Settings::kUseMilesPerHourKey).toBool());

    settings->setOnlyWithMetadata(true);
    EXPECT_TRUE(mainWindow.showOnlyMetadataClips());
    otherWindow.setShowOnlyMetadataClips(false);
    EXPECT_FALSE(settings->onlyWithMetadata());
    EXPECT_FALSE(QSettings().value(Settings::kOnlyWithMetadataKey).toBool());
    EXPECT_EQ(filter.count(), 2);
    settings->setUseMilesPerHour(false);
}

TEST(PlaybackClock, NoItemReadsZero) {
    ContentView view;
    view.setPlaybackDuration(12);
    view.setPlaybackTime(3);
    view.refreshPlaybackClock();
    EXPECT_EQ(view.playbackDuration(), 0);
    EXPECT_EQ(view.playbackTime(), 0);
}

TEST(PlaybackClock, TimerCopiesThePlayersDurationAndTime) {
    const std::string clip = testclips::makeTempDir() + "/clock.mp4";
    testclips::generate(clip, {"--duration", "2", "--fps", "10"});
    ContentView view;
    view.player()->replaceCurrentItem(QUrl::fromLocalFile(QString::fromStdString(clip)));
    view.startObservingPlaybackClock();
    EXPECT_TRUE(view.uiTimer()->isActive());
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.playbackDuration() > 0; }, 10000));
    EXPECT_NEAR(view.playbackDuration(), 2.0, 0.15);
    EXPECT_GE(view.playbackTime(), 0);
    // A seek made with the player's controls shows within a tick.
    view.player()->mediaPlayer()->setPosition(1000);
    view.player()->play();
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.playbackTime() > 0.9; }, 5000));
    view.stopObservingPlaybackClock();
    EXPECT_FALSE(view.uiTimer()->isActive());
    view.player()->clearCurrentItem();
    view.refreshPlaybackClock();
    EXPECT_EQ(view.playbackDuration(), 0);
}

} // namespace
