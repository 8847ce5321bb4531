// The route map item for QML: the clip's track as a line (red, or coloured by speed or by
// assistance) with "Start" and "End" marks, event pins, and a car marker that follows
// playback. A new route (another identity or point count) is drawn and fitted into view; any
// other change only moves the car, an item of its own, so the map is not repainted for it.
// A click near the route reports the time of its nearest point instead of zooming.
#pragma once

#include "ClickZoomMapView.h"
#include "Coordinator.h"
#include "DriveData.h"
#include "GeoCoordinate.h"
#include "RouteColouring.h"

#include <QPointer>

#include <QVariant>
#include <QtQml/qqmlregistration.h>
#include <limits>

class RouteMapView : public ClickZoomMapView {
    Q_OBJECT
    QML_ELEMENT
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
    // The drive behind the route: its events are pinned, its rows colour the route, and while
    // carTime is a number the car sits between its rows around that time.
    Q_PROPERTY(DriveData* drive READ drive WRITE setDrive NOTIFY driveChanged)
    Q_PROPERTY(double carTime READ carTime WRITE setCarTime NOTIFY carTimeChanged)
    // A RouteColouring.
    Q_PROPERTY(int colouring READ colouring WRITE setColouring NOTIFY colouringChanged)
    // The top of the speed gradient, in m/s.
    Q_PROPERTY(double topSpeed READ topSpeed NOTIFY driveChanged)

public:
    static constexpr double kFitEdgePadding = 24.0;
    // A route with no extent (one point, or all points equal) is shown over at least this span.
    static constexpr double kMinimumFitSpanMapPoints = 2048.0;
    // Following re-centres the car once it comes this close to the view's edge; less than the
    // fit padding, so that a fitted route is never moved.
    static constexpr double kFollowEdgeMargin = 16.0;
    // A click this close to the route seeks instead of zooming.
    static constexpr double kRouteClickDistance = 12.0;

    explicit RouteMapView(QQuickItem* parent = nullptr);

    QString routeIdentity() const { return routeIdentity_; }
    void setRouteIdentity(const QString& identity);
    GeoCoordinateList coordinates() const { return coordinates_; }
    void setCoordinates(const GeoCoordinateList& coordinates);
    QVariant carCoordinate() const { return carCoordinate_; }
    void setCarCoordinate(const QVariant& coordinate);
    QVariant progress() const { return progress_; }
    void setProgress(const QVariant& progress);
    QVariant heading() const { return heading_; }
    void setHeading(const QVariant& heading);
    bool followCar() const { return followCar_; }
    void setFollowCar(bool follow);
    DriveData* drive() const { return drive_; }
    void setDrive(DriveData* drive);
    double carTime() const { return carTime_; }
    void setCarTime(double seconds);
    int colouring() const { return static_cast<int>(colouring_); }
    void setColouring(int colouring);
    double topSpeed() const;
    QQuickItem* carItem() const { return carItem_; }

    // Shows the whole route again, animated.
    Q_INVOKABLE void fitRoute();

    // Applies the current inputs now; otherwise it happens once before the next frame, so that
    // a new identity and its new coordinates arriving one after the other count as one change.
    void updateMap();

    const Coordinator& coordinator() const { return coordinator_; }

signals:
    void routeIdentityChanged();
    void coordinatesChanged();
    void carCoordinateChanged();
    void progressChanged();
    void headingChanged();
    void followCarChanged();
    void driveChanged();
    void carTimeChanged();
    void colouringChanged();
    // A click near the route: the time of its nearest point, in seconds.
    void routeTimeClicked(double seconds);

protected:
    void updatePolish() override;
    void paintMapLayer(QPainter& painter, const mapgeo::MapViewport& viewport) override;
    void paintMarkerLayer(QPainter& painter, const mapgeo::MapViewport& viewport) override;
    void mapDragged() override;
    bool clickedAt(const QPointF& viewPoint) override;
    void viewportChanged() override;

private:
    void driveReplaced();
    void placeCarItem();
    void inputsChanged();
    RouteInputs currentInputs() const;
    mapgeo::MapRect routeFitRect() const;
    void keepCarInView();

    QString routeIdentity_;
    GeoCoordinateList coordinates_;
    QVariant carCoordinate_;
    QVariant progress_;
    QVariant heading_;
    bool followCar_ = false;
    QPointer<DriveData> drive_;
    double carTime_ = std::numeric_limits<double>::quiet_NaN();
    RouteColouring colouring_ = RouteColouring::Plain;
    std::vector<QRgb> colours_;
    Coordinator coordinator_;
    QQuickItem* carItem_;
};
