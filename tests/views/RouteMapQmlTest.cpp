// The map item as QML sees it: registered under "Veldrin.Map", fed a C++ coordinate list and
// JavaScript values for the car, with undefined meaning "not known".
#include "RouteMapView.h"

#include <gtest/gtest.h>

#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <memory>

namespace {

TEST(RouteMapQml, BindsRouteAndCarFromQml) {
    registerRouteMapType();
    QQmlEngine engine;
    const GeoCoordinateList track{{47.0, 8.0}, {47.001, 8.002}};
    engine.rootContext()->setContextProperty("track", QVariant::fromValue(track));
    QQmlComponent component(&engine);
    component.setData(R"(
        import QtQuick
        import Veldrin.Map
        RouteMapView {
            width: 300; height: 170
            routeIdentity: "file:///tmp/a.mp4"
            coordinates: track
            carCoordinate: ({ latitude: 47.0005, longitude: 8.001 })
            progress: undefined
            heading: 30
        }
    )",
                      QUrl());
    std::unique_ptr<QObject> object(component.create());
    ASSERT_TRUE(object) << component.errorString().toStdString();
    auto* view = qobject_cast<RouteMapView*>(object.get());
    ASSERT_NE(view, nullptr);
    view->updateMap();
    ASSERT_NE(view->coordinator().renderer(), nullptr);
    EXPECT_EQ(view->coordinator().routeCount(), 2);
    EXPECT_EQ(view->coordinator().renderer()->carCoordinate(), (GeoCoordinate{47.0005, 8.001}));
    EXPECT_EQ(view->coordinator().renderer()->carHeading(), 30.0);

    view->setProperty("carCoordinate", QVariant());
    view->setProperty("progress", 1.0);
    view->updateMap();
    EXPECT_EQ(view->coordinator().renderer()->carCoordinate(), track.last());
}

} // namespace
