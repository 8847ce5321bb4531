// Two cameras of a trip in the real window, opened and played as a person would: keys, buttons
// and tiles choose the camera the large picture and the sound come from, G shows them all; the
// cameras keep together across a moment switch, and one whose file is cut stops alone.
#include "StudioDriver.h"

#include "CameraSync.h"
#include "VeldrinApp.h"

#include <gtest/gtest.h>

#include <functional>

#include <QAudioOutput>
#include <QFile>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QTest>
#include <QVideoFrame>
#include <QVideoSink>

using namespace studio;

TEST(CameraStripTest, TheChosenCameraShowsLargeWithItsSoundAndTheCamerasPlayTogether) {
    StudioSession studio;
    ASSERT_TRUE(studio.launch());
    QQuickWindow* window = studio.window;
    const QString trip = openTrip(window, "20", "front,back");
    // The smallest screen: the other cameras are buttons.
    ASSERT_TRUE(waitFor([&] { return isShown(window, "cameraButton_back"); }));
    EXPECT_TRUE(window->title().startsWith("Trip 2025-06-01_07-00-00"))
        << window->title().toStdString();
    auto* sync = findItem(window, "cameraStrip")->property("sync").value<CameraSync*>();
    QQuickItem* view = findItem(window, "playerView");
    auto* audio = view->property("audioOutput").value<QAudioOutput*>();
    const auto frameOf = [&](const QString& camera) {
        const QMediaPlayer* player = sync->followerPlayer(camera);
        return player ? player->videoSink()->videoFrame() : QVideoFrame();
    };
    const auto largeFrame = [&] {
        const QQuickItem* cover = findItem(window, "largeCamera");
        return cover ? cover->property("videoSink").value<QVideoSink*>()->videoFrame()
                     : QVideoFrame();
    };
    ASSERT_TRUE(waitFor([&] { return frameOf("back").isValid(); }));

    QTest::keyClick(window, Qt::Key_1);
    EXPECT_TRUE(waitFor([&] { return largeFrame() == frameOf("back"); }));
    EXPECT_FALSE(sync->followerPlayer("back")->audioOutput()->isMuted());
    EXPECT_EQ(audio->volume(), 0);
    click(window, "cameraButton_front");
    EXPECT_TRUE(waitFor([&] { return !findItem(window, "largeCamera"); }));
    EXPECT_TRUE(sync->followerPlayer("back")->audioOutput()->isMuted());
    EXPECT_EQ(audio->volume(), 1);
    QTest::keyClick(window, Qt::Key_G);
    EXPECT_TRUE(waitFor([&] { return isShown(window, "cameraGrid"); }));
    // The cameras' names stay clear of the player's controls over the grid's lower edge.
    const QQuickItem* controls = findItem(window, "playerControls");
    const QRectF controlsArea = controls->mapRectToScene(controls->boundingRect());
    int names = 0;
    const std::function<void(const QQuickItem*)> checkNames = [&](const QQuickItem* item) {
        if (item->objectName() == "cameraLabel" && item->isVisible()) {
            ++names;
            EXPECT_FALSE(item->mapRectToScene(item->boundingRect()).intersects(controlsArea));
        }
        for (const QQuickItem* child : item->childItems())
            checkNames(child);
    };
    checkNames(findItem(window, "cameraGrid"));
    EXPECT_EQ(names, 2);
    QTest::keyClick(window, Qt::Key_G);
    EXPECT_TRUE(waitFor([&] { return !isShown(window, "cameraGrid"); }));

    // Played on past the switch to the second moment, back shown large.
    QTest::keyClick(window, Qt::Key_1);
    QTest::keyClick(window, Qt::Key_Space);
    QObject* playback = view->property("trip").value<QObject*>();
    const auto time = [&] { return playback->property("time").toDouble(); };
    ASSERT_TRUE(waitFor([&] { return time() >= 30; }, std::chrono::seconds(90))) << time();
    EXPECT_LT(std::abs(sync->presentedMs("back") - sync->presentedMs("front")), 150.0)
        << sync->presentedMs("back") << " " << sync->presentedMs("front");
    EXPECT_EQ(largeFrame(), frameOf("back"));

    const QString cut = trip + "/2025-06-01_07-00-20-back.mp4";
    ASSERT_TRUE(QFile::resize(cut, QFileInfo(cut).size() / 3));
    const auto backNote = [&] { return sync->tiles().value(0).toMap().value("note").toString(); };
    ASSERT_TRUE(waitFor([&] { return !backNote().isEmpty(); }));
    const double stoppedAt = time();
    EXPECT_TRUE(waitFor([&] { return time() > stoppedAt + 1; })) << "front stopped too";

    // A tall window: the other cameras are small pictures to click.
    window->resize(1600, 1000);
    ASSERT_TRUE(waitFor([&] { return isShown(window, "cameraTile_front"); }));
    click(window, "cameraTile_front");
    EXPECT_TRUE(waitFor([&] { return !findItem(window, "largeCamera"); }));
}
