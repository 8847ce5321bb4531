// The timeline, the events list and the route in the real window over a clip with a known
// drive: clicks and drags seek the real player, an event plays from 3 s before it, N and
// Shift+N step through the events, a click on the route seeks to its point, and the route's
// colouring is stored.
#include "StudioDriver.h"

#include "RouteMapView.h"
#include "Settings.h"
#include "TestClips.h"
#include "VeldrinApp.h"

#include <gtest/gtest.h>

#include <QMediaPlayer>
#include <QSettings>
#include <QTest>

using namespace studio;

// 10 s at 10 rows/s heading north: assistance until 3 s, 20 m/s until 5 s, then braking at
// 5 m/s² (hard from 5.1 s, where the speed change over ±0.3 s first reaches it) to a stop at 9 s.
TEST(TimelineTest, StripEventsAndRouteSeekThePlayer) {
    const std::string dir = testclips::makeTempDir();
    std::string csv = testclips::kCsvHeader;
    for (int i = 0; i < 100; ++i) {
        char row[160];
        std::snprintf(row, sizeof row, "\n1,,%d,%g,30,0,False,False,False,%s,%.6f,11,0,0,0,0", i,
                      std::max(0.0, i < 50 ? 20.0 : 20.0 - (i - 50) * 0.5),
                      i < 30 ? "FULL_GUIDE" : "IDLE", 48.0 + i * 0.0002);
        csv += row;
    }
    testclips::writeFile(dir + "/drive.csv", csv);
    const std::string clip =
        testclips::generate(dir + "/drive.mp4", {"--from-csv", dir + "/drive.csv", "--fps", "10"});
    Settings::instance()->setRouteColouring(0);
    StudioSession studio;
    ASSERT_TRUE(studio.launch());
    QQuickWindow* window = studio.window;
    ASSERT_TRUE(drop(window, {QUrl::fromLocalFile(QString::fromStdString(clip))}));
    QObject* media = findItem(window, "playerView")->property("mediaPlayer").value<QObject*>();
    ASSERT_TRUE(waitFor([&] {
        return media->property("mediaStatus").toInt() == QMediaPlayer::LoadedMedia &&
               isShown(window, "timeline") && isShown(window, "event_2");
    }));
    const auto position = [&] { return media->property("position").toInt(); };
    const auto at = [&](const char* name, double fraction) {
        QQuickItem* item = findItem(window, name);
        return item->mapToScene({item->width() * fraction, item->height() / 2}).toPoint();
    };
    const auto seeksTo = [&](int ms) {
        return waitFor([&] { return std::abs(position() - ms) <= 20; });
    };

    QTest::mouseClick(window, Qt::LeftButton, {}, at("timelineMouse", 0.5));
    EXPECT_TRUE(seeksTo(5000)) << position();
    QTest::mousePress(window, Qt::LeftButton, {}, at("timelineMouse", 0.25));
    QTest::mouseMove(window, at("timelineMouse", 0.75));
    QTest::mouseRelease(window, Qt::LeftButton, {}, at("timelineMouse", 0.75));
    EXPECT_TRUE(seeksTo(7500)) << position();

    QTest::keyClick(window, Qt::Key_Home);
    ASSERT_TRUE(seeksTo(0));
    for (const auto& [modifiers, ms] :
         {std::pair{Qt::NoModifier, 3000}, {Qt::NoModifier, 5100}, {Qt::ShiftModifier, 3000}}) {
        QTest::keyClick(window, Qt::Key_N, modifiers);
        EXPECT_TRUE(seeksTo(ms)) << position();
    }

    // The stop at 9 s plays from 6 s.
    click(window, "event_2");
    EXPECT_TRUE(waitFor([&] {
        return findItem(window, "playerView")->property("playing").toBool() && position() >= 6000 &&
               position() < 9000;
    })) << position();
    QTest::keyClick(window, Qt::Key_K);

    auto* map = qobject_cast<RouteMapView*>(findItem(window, "routeMap"));
    ASSERT_NE(map, nullptr);
    const double width = map->visibleMapRect().size.width;
    const QPointF onRoute = map->viewPointForCoordinate({48.0 + 20 * 0.0002, 11.0});
    QTest::mouseClick(
        window, Qt::LeftButton, {},
        map->mapToScene(onRoute + QPointF(RouteMapView::kRouteClickDistance - 2, 0)).toPoint());
    EXPECT_TRUE(seeksTo(2000)) << position();
    EXPECT_EQ(map->visibleMapRect().size.width, width); // no zoom

    click(window, "colouringButton");
    EXPECT_EQ(Settings::instance()->routeColouring(), 1);
    EXPECT_EQ(QSettings().value(Settings::kRouteColouringKey).toInt(), 1);
    EXPECT_EQ(map->property("colouring").toInt(), 1);
    saveScreenshot(window, "timeline-and-speed-route");
    Settings::instance()->setRouteColouring(0);
}
