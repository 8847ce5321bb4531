// The route map item: rebuild rules, car updates, click zoom and what ends up on screen.
#include "RouteMapView.h"
#include "Coordinator.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QTest>
#include <cmath>
#include <numbers>

namespace {

const GeoCoordinateList kTrack{{10.0, 20.0}, {10.0, 20.005}, {10.0, 20.01}};

RouteInputs inputs(std::optional<QString> id, GeoCoordinateList coordinates) {
    RouteInputs in;
    in.routeID = std::move(id);
    in.coordinates = std::move(coordinates);
    return in;
}

TEST(Coordinator, RebuildsOnlyForAnotherIdentityOrCount) {
    Coordinator coordinator;
    EXPECT_FALSE(coordinator.update(inputs("a", {})).rebuilt);
    EXPECT_EQ(coordinator.renderer(), nullptr);

    struct Step {
        std::optional<QString> id;
        GeoCoordinateList coordinates;
        bool rebuilt;
    };
    const GeoCoordinateList moved{{1.0, 1.0}, {2.0, 2.0}, {3.0, 3.0}};
    const Step steps[] = {
        {std::nullopt, kTrack, true},       // first route
        {std::nullopt, kTrack, false},      // both identities absent: same route
        {"clip-1", kTrack, true},           // identity appears
        {"clip-1", moved, false},           // same identity and count: only the car
        {"clip-1", kTrack.mid(0, 2), true}, // count changed
        {"clip-2", kTrack.mid(0, 2), true}, // identity changed
        {"clip-2", {}, false},              // empty input leaves everything alone
    };
    int rebuilds = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.id.value_or("<none>").toStdString());
        EXPECT_EQ(coordinator.update(inputs(step.id, step.coordinates)).rebuilt, step.rebuilt);
        rebuilds += step.rebuilt;
        EXPECT_EQ(coordinator.rebuildCount(), rebuilds);
    }
    EXPECT_EQ(coordinator.routeID(), QString("clip-2"));
    EXPECT_EQ(coordinator.routeCount(), 2);
}

TEST(Coordinator, MarksStartAndEnd) {
    Coordinator coordinator;
    coordinator.update(inputs("one", {{1.0, 2.0}}));
    ASSERT_EQ(coordinator.marks().size(), 1);
    EXPECT_EQ(coordinator.marks()[0].title, "Start");
    EXPECT_EQ(coordinator.renderer()->carCoordinate(), (GeoCoordinate{1.0, 2.0}));

    coordinator.update(inputs("two", kTrack));
    ASSERT_EQ(coordinator.marks().size(), 2);
    EXPECT_EQ(coordinator.marks()[1].title, "End");
    EXPECT_EQ(coordinator.marks()[1].coordinate, kTrack.last());
}

TEST(Coordinator, PlacesTheCarFromCoordinateThenProgressThenFirstPoint) {
    struct Case {
        std::optional<GeoCoordinate> current;
        std::optional<double> progress;
        std::optional<double> heading;
        GeoCoordinate car;
        double expectedHeading;
    };
    const Case table[] = {
        {GeoCoordinate{1.0, 1.0}, 1.0, 45.0, {1.0, 1.0}, 45.0},
        {std::nullopt, 1.0, std::nullopt, kTrack.last(), 0.0},
        {std::nullopt, 0.5, -30.0, kTrack[1], -30.0},
        {std::nullopt, std::nullopt, 400.0, kTrack.first(), 400.0},
    };
    for (const Case& c : table) {
        Coordinator coordinator;
        RouteInputs in = inputs("r", kTrack);
        in.currentCoordinate = c.current;
        in.currentProgress = c.progress;
        in.currentHeading = c.heading;
        coordinator.update(in);
        const std::optional<GeoCoordinate> car = coordinator.renderer()->carCoordinate();
        ASSERT_TRUE(car.has_value());
        EXPECT_NEAR(car->latitude, c.car.latitude, 1e-9);
        EXPECT_NEAR(car->longitude, c.car.longitude, 1e-9);
        EXPECT_EQ(coordinator.renderer()->carHeading(), c.expectedHeading);
    }
}

class RouteMapViewTest : public testing::Test {
protected:
    static constexpr QSizeF kSize{300, 200};

    void SetUp() override {
        view.setSize(kSize);
        view.setRouteIdentity("file:///tmp/VeldrinDrops/a.mp4");
        view.setCoordinates(kTrack);
        view.updateMap();
    }

    QImage render() {
        QImage image(kSize.toSize(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        view.paint(&painter);
        return image;
    }

    RouteMapView view;
};

TEST_F(RouteMapViewTest, FitsANewRouteWithPadding) {
    const QPointF start = view.viewPointForCoordinate(kTrack.first());
    const QPointF end = view.viewPointForCoordinate(kTrack.last());
    EXPECT_NEAR(start.x(), RouteMapView::kFitEdgePadding, 1e-6);
    EXPECT_NEAR(end.x(), kSize.width() - RouteMapView::kFitEdgePadding, 1e-6);
    EXPECT_NEAR(start.y(), kSize.height() / 2.0, 1e-6);

    // A user zoom survives car updates but not a grown route, which is fitted again.
    view.zoomAt(QPointF(50, 50), ClickZoomMapView::kClickZoomInFactor);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.isAnimating(); }));
    view.setHeading(90.0);
    view.updateMap();
    EXPECT_GT(view.viewPointForCoordinate(kTrack.last()).x(), kSize.width());
    view.setCoordinates(kTrack + GeoCoordinateList{{10.0, 20.02}});
    view.updateMap();
    EXPECT_NEAR(view.viewPointForCoordinate({10.0, 20.02}).x(),
                kSize.width() - RouteMapView::kFitEdgePadding, 1e-6);
}

TEST_F(RouteMapViewTest, CarUpdatesRepaintOnlyOnChange) {
    view.setCarCoordinate(QVariant::fromValue(GeoCoordinate{10.0, 20.004}));
    view.setHeading(12.5);
    view.updateMap();
    const int before = view.repaintRequestCount();

    // Progress changes while the current coordinate decides: nothing moves.
    view.setProgress(0.25);
    view.updateMap();
    view.setProgress(0.75);
    view.updateMap();
    view.updateMap();
    EXPECT_EQ(view.repaintRequestCount(), before);

    view.setHeading(13.0);
    view.updateMap();
    EXPECT_EQ(view.repaintRequestCount(), before + 1);
    // Without a current coordinate the progress places the car.
    view.setCarCoordinate(QVariant());
    view.updateMap();
    EXPECT_EQ(view.repaintRequestCount(), before + 2);
    EXPECT_NEAR(view.coordinator().renderer()->carCoordinate()->longitude, 20.0075, 1e-9);
    // A heading that is not a number is treated as absent.
    view.setHeading(std::nan(""));
    view.updateMap();
    EXPECT_EQ(view.coordinator().renderer()->carHeading(), 0.0);
}

TEST_F(RouteMapViewTest, AcceptsCoordinatesAsObjects) {
    QVariantMap map{{"latitude", 10.0}, {"longitude", 20.002}};
    view.setCarCoordinate(map);
    view.updateMap();
    EXPECT_EQ(view.coordinator().renderer()->carCoordinate(), (GeoCoordinate{10.0, 20.002}));
    // Out of range: the car falls back to the first point.
    view.setCarCoordinate(QVariantMap{{"latitude", 95.0}, {"longitude", 0.0}});
    view.updateMap();
    EXPECT_EQ(view.coordinator().renderer()->carCoordinate(), kTrack.first());
}

TEST_F(RouteMapViewTest, DrawsTheTrackWhereTheCoordinatesAre) {
    const QImage image = render();
    const QPoint onTrack = view.viewPointForCoordinate({10.0, 20.0025}).toPoint();
    const QColor track = image.pixelColor(onTrack);
    EXPECT_GT(track.red(), 220);
    EXPECT_LT(track.green(), 110);
    EXPECT_LT(track.blue(), 110);
    const QColor away = image.pixelColor(onTrack + QPoint(0, 30));
    EXPECT_GT(away.green(), 200);
}

double normalizedDegrees(double degrees) {
    double d = std::fmod(degrees, 180.0);
    if (d < 0)
        d += 180.0;
    return d;
}

TEST_F(RouteMapViewTest, DrawsTheCarCentredAndTurnedByHeading) {
    const QPointF carPoint =
        view.viewPointForCoordinate(kTrack[1]) + QPointF(0.0, 50.0); // clear of the track
    const GeoCoordinate car = view.coordinateForViewPoint(carPoint);
    for (double heading : {0.0, 30.0, 90.0, 135.0, -60.0}) {
        SCOPED_TRACE(heading);
        view.setCarCoordinate(QVariant::fromValue(car));
        view.setHeading(heading);
        view.updateMap();
        const QImage image = render();

        double n = 0, sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
        for (int y = int(carPoint.y()) - 20; y <= int(carPoint.y()) + 20; ++y)
            for (int x = int(carPoint.x()) - 20; x <= int(carPoint.x()) + 20; ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() > 230 && c.green() < 90 && c.blue() < 90) {
                    const double px = x + 0.5, py = y + 0.5;
                    n += 1;
                    sx += px, sy += py, sxx += px * px, syy += py * py, sxy += px * py;
                }
            }
        ASSERT_GT(n, 30);
        const double mx = sx / n, my = sy / n;
        EXPECT_NEAR(mx, carPoint.x(), 1.0);
        EXPECT_NEAR(my, carPoint.y(), 1.0);
        const double cxx = sxx / n - mx * mx, cyy = syy / n - my * my, cxy = sxy / n - mx * my;
        // The long axis points along (sin h, -cos h): clockwise from up on screen.
        const double axis = 0.5 * std::atan2(2 * cxy, cxx - cyy) * 180.0 / std::numbers::pi;
        const double expected = heading - 90.0;
        double difference = std::abs(normalizedDegrees(axis) - normalizedDegrees(expected));
        difference = std::min(difference, 180.0 - difference);
        EXPECT_LT(difference, 4.0);
    }
}

class RouteMapWindowTest : public testing::Test {
protected:
    static void SetUpTestSuite() { QQuickWindow::setGraphicsApi(QSGRendererInterface::Software); }

    void SetUp() override {
        window.resize(400, 300);
        view = new RouteMapView(window.contentItem());
        view->setSize(QSizeF(400, 300));
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    std::unique_ptr<QQuickWindow> windowHolder = std::make_unique<QQuickWindow>();
    QQuickWindow& window = *windowHolder;
    RouteMapView* view = nullptr;
};

TEST_F(RouteMapWindowTest, IdentityAndCoordinatesArrivingSeparatelyBuildOneRoute) {
    view->setRouteIdentity("first");
    view->setCoordinates(kTrack);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->coordinator().rebuildCount() == 1; }));
    // Another clip with as many points: its identity and its points come one at a time.
    const GeoCoordinateList other{{50.0, 8.0}, {50.01, 8.0}, {50.02, 8.01}};
    view->setRouteIdentity("second");
    view->setCoordinates(other);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->coordinator().rebuildCount() == 2; }));
    QTest::qWait(50);
    EXPECT_EQ(view->coordinator().rebuildCount(), 2);
    EXPECT_EQ(view->coordinator().renderer()->shape().coordinates(), other);
}

TEST_F(RouteMapWindowTest, ClicksZoomAroundThePointer) {
    view->setCoordinates(kTrack);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->coordinator().rebuildCount() == 1; }));
    const QPoint click(100, 80);
    const mapgeo::MapRect before = view->visibleMapRect();
    const mapgeo::MapPoint under = view->viewport().mapPointForViewPoint(click);

    QTest::mouseClick(&window, Qt::LeftButton, {}, click);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->isAnimating(); }));
    mapgeo::MapRect after = view->visibleMapRect();
    EXPECT_NEAR(after.size.width, before.size.width / 2.0, 1e-6);
    mapgeo::MapPoint now = view->viewport().mapPointForViewPoint(click);
    EXPECT_NEAR(now.x, under.x, 1e-6);
    EXPECT_NEAR(now.y, under.y, 1e-6);

    QTest::mouseClick(&window, Qt::RightButton, {}, click);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->isAnimating(); }));
    after = view->visibleMapRect();
    EXPECT_NEAR(after.size.width, before.size.width, 1e-6);
    now = view->viewport().mapPointForViewPoint(click);
    EXPECT_NEAR(now.x, under.x, 1e-6);

    // A drag pans and does not zoom.
    QTest::mousePress(&window, Qt::LeftButton, {}, click);
    QTest::mouseMove(&window, click + QPoint(20, 0));
    QTest::mouseMove(&window, click + QPoint(40, 0));
    QTest::mouseRelease(&window, Qt::LeftButton, {}, click + QPoint(40, 0));
    QTest::qWait(ClickZoomMapView::kZoomAnimationMs + 50);
    EXPECT_NEAR(view->visibleMapRect().size.width, before.size.width, 1e-6);
    now = view->viewport().mapPointForViewPoint(click + QPoint(40, 0));
    EXPECT_NEAR(now.x, under.x, 1e-6);
}

TEST_F(RouteMapWindowTest, ZoomStaysBetweenTheMinimumSpanAndTheWorld) {
    view->setCoordinates(kTrack);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->coordinator().rebuildCount() == 1; }));
    for (int i = 0; i < 12; ++i) {
        view->zoomAt(QPointF(300, 100), ClickZoomMapView::kClickZoomInFactor);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !view->isAnimating(); }));
    }
    mapgeo::MapRect visible = view->visibleMapRect();
    EXPECT_NEAR(std::min(visible.size.width, visible.size.height),
                ClickZoomMapView::kMinimumVisibleMapPoints, 1e-6);

    view->setCoordinates({{-60.0, -170.0}, {60.0, 170.0}});
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->coordinator().rebuildCount() == 2; }));
    for (int i = 0; i < 3; ++i) {
        view->zoomAt(QPointF(10, 10), ClickZoomMapView::kClickZoomOutFactor);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !view->isAnimating(); }));
    }
    visible = view->visibleMapRect();
    EXPECT_NEAR(std::max(visible.size.width, visible.size.height), mapgeo::kWorldMapPoints, 1e-3);
}

TEST_F(RouteMapWindowTest, NoViewportIgnoresClicks) {
    RouteMapView bare;
    bare.zoomAt(QPointF(1, 1), ClickZoomMapView::kClickZoomInFactor);
    EXPECT_FALSE(bare.isAnimating());
    EXPECT_TRUE(mapgeo::isNull(bare.visibleMapRect()));
}

} // namespace
