// The route map item for QML: the clip's track as a red line with "Start" and "End" marks and
// a car marker that follows playback. A new route (another identity or point count) is drawn
// and fitted into view; any other change only moves the car, and only when it really moved.
#pragma once

#include "ClickZoomMapView.h"
#include "Coordinator.h"
#include "GeoCoordinate.h"

#include <QVariant>

class RouteMapView : public ClickZoomMapView {
    Q_OBJECT
    Q_PROPERTY(
        QString routeIdentity READ routeIdentity WRITE setRouteIdentity NOTIFY routeIdentityChanged)
    Q_PROPERTY(GeoCoordinateList coordinates READ coordinates WRITE setCoordinates NOTIFY
                   coordinatesChanged)
    // Each of these is undefined when not known; carCoordinate holds a GeoCoordinate (or an
    // object with latitude and longitude).
    Q_PROPERTY(QVariant carCoordinate READ carCoordinate WRITE setCarCoordinate NOTIFY
                   carCoordinateChanged)
    Q_PROPERTY(QVariant progress READ progress WRITE setProgress NOTIFY progressChanged)
    Q_PROPERTY(QVariant heading READ heading WRITE setHeading NOTIFY headingChanged)
    // Pans to keep the car in view as it moves; a drag turns it off.
    Q_PROPERTY(bool followCar READ followCar WRITE setFollowCar NOTIFY followCarChanged)

public:
    static constexpr double kFitEdgePadding = 24.0;
    // A route with no extent (one point, or all points equal) is shown over at least this span.
    static constexpr double kMinimumFitSpanMapPoints = 2048.0;
    // Following re-centres the car once it comes this close to the view's edge; less than the
    // fit padding, so that a fitted route is never moved.
    static constexpr double kFollowEdgeMargin = 16.0;

    explicit RouteMapView(QQuickItem* parent = nullptr);

    QString routeIdentity() const { return m_routeIdentity; }
    void setRouteIdentity(const QString& identity);
    GeoCoordinateList coordinates() const { return m_coordinates; }
    void setCoordinates(const GeoCoordinateList& coordinates);
    QVariant carCoordinate() const { return m_carCoordinate; }
    void setCarCoordinate(const QVariant& coordinate);
    QVariant progress() const { return m_progress; }
    void setProgress(const QVariant& progress);
    QVariant heading() const { return m_heading; }
    void setHeading(const QVariant& heading);
    bool followCar() const { return m_followCar; }
    void setFollowCar(bool follow);

    // Shows the whole route again, animated.
    Q_INVOKABLE void fitRoute();

    // Applies the current inputs now; otherwise it happens once before the next frame, so that
    // a new identity and its new coordinates arriving one after the other count as one change.
    void updateMap();

    const Coordinator& coordinator() const { return m_coordinator; }

signals:
    void routeIdentityChanged();
    void coordinatesChanged();
    void carCoordinateChanged();
    void progressChanged();
    void headingChanged();
    void followCarChanged();

protected:
    void updatePolish() override;
    void paintMapLayer(QPainter& painter, const mapgeo::MapViewport& viewport) override;
    void paintMarkerLayer(QPainter& painter, const mapgeo::MapViewport& viewport) override;
    void mapDragged() override;

private:
    void inputsChanged();
    RouteInputs currentInputs() const;
    mapgeo::MapRect routeFitRect() const;
    void keepCarInView();

    QString m_routeIdentity;
    GeoCoordinateList m_coordinates;
    QVariant m_carCoordinate;
    QVariant m_progress;
    QVariant m_heading;
    bool m_followCar = false;
    Coordinator m_coordinator;
};

// Makes RouteMapView available to QML as "import Veldrin.Map" (version 1.0).
void registerRouteMapType();
