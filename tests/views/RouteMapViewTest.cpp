// The route map item: rebuild rules, car updates, following the car, click zoom, what ends up
// on screen, and tiles coming back after the network was gone.
#include "RouteMapView.h"
#include "Coordinator.h"
#include "TileLayer.h"
#include "TileServer.h"
#include "ViewportMotion.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickPaintedItem>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>
#include <cmath>
#include <numbers>

Q_IMPORT_QML_PLUGIN(Veldrin_MapPlugin)

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
    ASSERT_EQ(coordinator.marks().size(), 2);
    EXPECT_EQ(coordinator.marks()[1].title, "End");
    EXPECT_EQ(coordinator.marks()[1].coordinate, kTrack[1]);
    coordinator.update(inputs("one", {{1.0, 2.0}}));
    ASSERT_EQ(coordinator.marks().size(), 1);
    EXPECT_EQ(coordinator.marks()[0].title, "Start");
}

// From QML: a C++ coordinate list, JavaScript values for the car, undefined for "not known".
TEST(RouteMapQml, BindsRouteAndCar) {
    QQmlEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/"));
    engine.rootContext()->setContextProperty("track", QVariant::fromValue(kTrack));
    QQmlComponent component(&engine);
    component.setData("import QtQuick; import Veldrin.Map; RouteMapView { width: 300; "
                      "height: 170; routeIdentity: 'file:///tmp/a.mp4'; coordinates: track; "
                      "carCoordinate: ({ latitude: 10.0, longitude: 20.001 }); "
                      "progress: undefined; heading: 30 }",
                      QUrl());
    std::unique_ptr<QObject> object(component.create());
    auto* view = qobject_cast<RouteMapView*>(object.get());
    ASSERT_NE(view, nullptr) << component.errorString().toStdString();
    view->updateMap();
    EXPECT_EQ(std::pair(view->coordinator().renderer()->carCoordinate(),
                        view->coordinator().renderer()->carHeading()),
              std::pair(std::optional(GeoCoordinate{10.0, 20.001}), 30.0));
    // A coordinate out of range counts as unknown: the progress places the car.
    view->setProperty("carCoordinate", QVariantMap{{"latitude", 95.0}, {"longitude", 0.0}});
    view->setProperty("progress", 1.0);
    view->updateMap();
    EXPECT_EQ(view->coordinator().renderer()->carCoordinate(), kTrack.last());
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
        // The car item as the scene graph places it: moved, then turned about its centre.
        auto* car = static_cast<QQuickPaintedItem*>(view.carItem());
        if (car->isVisible()) {
            const QPointF centre(car->width() / 2, car->height() / 2);
            painter.translate(car->position() + centre);
            painter.rotate(car->rotation());
            painter.translate(-centre);
            car->paint(&painter);
        }
        return image;
    }

    RouteMapView view;
};

TEST_F(RouteMapViewTest, FitsNewRoutesAndFollowsTheCarWhileZoomedIn) {
    const auto fittedTo = [&](const GeoCoordinate& last) {
        const QPointF start = view.viewPointForCoordinate(kTrack.first());
        const double right = kSize.width() - RouteMapView::kFitEdgePadding;
        return std::abs(start.x() - RouteMapView::kFitEdgePadding) < 1e-6 &&
               std::abs(start.y() - kSize.height() / 2.0) < 1e-6 &&
               std::abs(view.viewPointForCoordinate(last).x() - right) < 1e-6;
    };
    EXPECT_TRUE(fittedTo(kTrack.last()));
    // Following never moves a fitted route, whose ends are near the edge.
    view.setFollowCar(true);
    view.setProgress(1.0);
    view.updateMap();
    EXPECT_TRUE(fittedTo(kTrack.last()));

    view.zoomAt(view.viewPointForCoordinate(kTrack.first()), 0.25);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.isAnimating(); }));
    const double zoomedWidth = view.visibleMapRect().size.width;
    for (const double progress : {0.5, 0.0, 1.0}) {
        view.setProgress(progress);
        view.updateMap();
        const QPointF car =
            view.viewPointForCoordinate(*view.coordinator().renderer()->carCoordinate());
        EXPECT_TRUE(QRectF(QPointF(0, 0), kSize).contains(car)) << progress;
    }
    EXPECT_EQ(view.visibleMapRect().size.width, zoomedWidth); // a user zoom survives the car
    view.fitRoute();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.isAnimating(); }));
    EXPECT_TRUE(fittedTo(kTrack.last()));
    // A grown route is fitted again, whatever the user did.
    view.zoomAt(QPointF(50, 50), MapGestures::kClickZoomInFactor);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.isAnimating(); }));
    view.setCoordinates(kTrack + GeoCoordinateList{{10.0, 20.02}});
    view.updateMap();
    EXPECT_TRUE(fittedTo({10.0, 20.02}));
    // Below the buttons laid over the map's top, at the same scale.
    view.setFitTopInset(30);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.isAnimating(); }));
    const QPointF start = view.viewPointForCoordinate(kTrack.first());
    EXPECT_NEAR(start.y(), (kSize.height() + 30) / 2.0, 1e-6);
    EXPECT_NEAR(start.x(), RouteMapView::kFitEdgePadding, 1e-6);
}

TEST_F(RouteMapViewTest, CarMovesWithoutRepaintingTheMap) {
    EXPECT_EQ(view.coordinator().renderer()->carCoordinate(), kTrack.first()); // nothing known
    view.setCarCoordinate(QVariant::fromValue(GeoCoordinate{10.0, 20.004}));
    view.setHeading(12.5);
    view.updateMap();
    const int before = view.repaintRequestCount();
    const QPointF placed = view.carItem()->position();

    // Progress changes while the current coordinate decides: nothing moves.
    for (const double progress : {0.25, 0.75, 0.75}) {
        view.setProgress(progress);
        view.updateMap();
    }
    EXPECT_EQ(view.carItem()->position(), placed);

    // The car is an item of its own: moving or turning it never repaints the map.
    view.setHeading(13.0);
    view.updateMap();
    EXPECT_EQ(view.carItem()->rotation(), 13.0);
    // Without a current coordinate the progress places the car.
    view.setCarCoordinate(QVariant());
    view.updateMap();
    EXPECT_NE(view.carItem()->position(), placed);
    EXPECT_EQ(view.repaintRequestCount(), before);
    // A heading that is not a number is treated as absent.
    view.setHeading(std::nan(""));
    view.updateMap();
    EXPECT_EQ(view.coordinator().renderer()->carHeading(), 0.0);
}

TEST_F(RouteMapViewTest, DrawsTheTrackAndTheCarCentredAndTurnedByHeading) {
    const QImage plain = render();
    const QPoint onTrack = view.viewPointForCoordinate({10.0, 20.0025}).toPoint();
    EXPECT_GT(plain.pixelColor(onTrack).red(), 220);
    EXPECT_LT(plain.pixelColor(onTrack).green(), 110);
    EXPECT_GT(plain.pixelColor(onTrack + QPoint(0, 30)).green(), 200);
    const QPointF at = view.viewPointForCoordinate(kTrack[1]) + QPointF(0.0, 50.0); // off track
    view.setCarCoordinate(QVariant::fromValue(view.coordinateForViewPoint(at)));
    for (double heading : {0.0, 30.0, 90.0, 135.0, -60.0}) {
        SCOPED_TRACE(heading);
        view.setHeading(heading);
        view.updateMap();
        const QImage image = render();
        // The red body's centre and the direction of its long axis, from its pixel moments.
        double n = 0, sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
        for (int y = int(at.y()) - 20; y <= int(at.y()) + 20; ++y)
            for (int x = int(at.x()) - 20; x <= int(at.x()) + 20; ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() > 230 && c.green() < 90 && c.blue() < 90) {
                    const double px = x + 0.5, py = y + 0.5;
                    n += 1, sx += px, sy += py, sxx += px * px, syy += py * py, sxy += px * py;
                }
            }
        ASSERT_GT(n, 30);
        const double mx = sx / n, my = sy / n;
        EXPECT_NEAR(mx, at.x(), 1.0);
        EXPECT_NEAR(my, at.y(), 1.0);
        const double cxx = sxx / n - mx * mx, cyy = syy / n - my * my, cxy = sxy / n - mx * my;
        // The long axis points along (sin h, -cos h): clockwise from up on screen.
        const double axis = 0.5 * std::atan2(2 * cxy, cxx - cyy) * 180.0 / std::numbers::pi;
        const double difference = std::remainder(axis - (heading - 90.0), 180.0);
        EXPECT_LT(std::abs(difference), 4.0);
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

TEST_F(RouteMapWindowTest, ClicksZoomAroundThePointerWithinBoundsAndDragsPan) {
    view->setCoordinates(kTrack);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->coordinator().rebuildCount() == 1; }));
    const QPoint click(100, 80);
    const double width = view->visibleMapRect().size.width;
    const mapgeo::MapPoint under = view->viewport().mapPointForViewPoint(click);
    // The place first under the click is under `at`, and the view is this wide.
    const auto expectView = [&](QPoint at, double expectedWidth) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !view->isAnimating(); }));
        EXPECT_NEAR(view->visibleMapRect().size.width, expectedWidth, 1e-6);
        EXPECT_NEAR(view->viewport().mapPointForViewPoint(at).x, under.x, 1e-6);
        EXPECT_NEAR(view->viewport().mapPointForViewPoint(at).y, under.y, 1e-6);
    };
    QTest::mouseClick(&window, Qt::LeftButton, {}, click);
    expectView(click, width / 2.0);
    QTest::mouseClick(&window, Qt::RightButton, {}, click);
    expectView(click, width);
    // A drag pans, does not zoom, and stops following the car.
    view->setFollowCar(true);
    QTest::mousePress(&window, Qt::LeftButton, {}, click);
    QTest::mouseMove(&window, click + QPoint(20, 0));
    QTest::mouseMove(&window, click + QPoint(40, 0));
    QTest::mouseRelease(&window, Qt::LeftButton, {}, click + QPoint(40, 0));
    expectView(click + QPoint(40, 0), width);
    EXPECT_FALSE(view->followCar());

    // Neither side below the minimum span, nor above the world.
    view->zoomAt(click, 1e-6);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->isAnimating(); }));
    const mapgeo::MapSize near = view->visibleMapRect().size;
    EXPECT_NEAR(std::min(near.width, near.height), mapgeo::kMinimumVisibleMapPoints, 1e-6);
    view->zoomAt(click, 1e12);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->isAnimating(); }));
    const mapgeo::MapSize far = view->visibleMapRect().size;
    EXPECT_NEAR(std::max(far.width, far.height), mapgeo::kWorldMapPoints, 1e-3);
    RouteMapView bare; // no size, no viewport: nothing to zoom
    bare.zoomAt(QPointF(1, 1), MapGestures::kClickZoomInFactor);
    EXPECT_FALSE(bare.isAnimating());
}

TEST_F(RouteMapWindowTest, FillsInOnItsOwnOnceTheTileServerIsBack) {
    TileServer server;
    ASSERT_TRUE(server.start());
    server.stop();
    view->tileLayer()->setRetryBaseDelayMs(20);
    view->setTileUrlTemplate(server.urlTemplate());
    view->setCoordinates(kTrack);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return view->tilesUnavailable() && view->tileLayer()->inFlightCount() == 0; }));
    ASSERT_TRUE(server.start(server.port()));
    // Nothing here repaints the window: the first tiles come back by themselves.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->tilesUnavailable(); }));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return window.grabWindow().pixelColor(5, 5) == TileServer::tileColor(); }));
}

} // namespace
