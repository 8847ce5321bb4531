// Draws a route track as a red polyline (or one colour per point), and the car marker's shape.
// Drawing happens in view points through a MapViewport; the track's map points are projected
// once per route, and only the part inside the view is stroked.
#pragma once

#include "MapGeometry.h"
#include "RouteShape.h"

#include <QColor>
#include <optional>
#include <vector>

class QPainter;

class RouteAndCarRenderer {
public:
    static inline const QColor kSystemRed{255, 59, 48};
    static constexpr double kStrokeAlpha = 0.9;
    static constexpr double kLineWidth = 3.0;
    // One marker unit is this many view points, whatever the zoom.
    static constexpr double kMarkerUnitPoints = 0.5;

    explicit RouteAndCarRenderer(RouteShape shape);

    const RouteShape& shape() const { return m_shape; }
    QColor strokeColor() const { return m_strokeColor; }
    double lineWidth() const { return m_lineWidth; }
    std::optional<GeoCoordinate> carCoordinate() const { return m_carCoordinate; }
    double carHeading() const { return m_carHeading; }

    // Places the car; false when it is already there with that heading (nothing to redraw).
    bool updateCar(const GeoCoordinate& coordinate, double heading);

    // `colours`, when there is one per point, colours each segment by its first point.
    void drawTrack(QPainter& painter, const mapgeo::MapViewport& viewport,
                   const std::vector<QRgb>& colours = {}) const;
    // The car pointing up, centred on the origin, in view points.
    static void drawCar(QPainter& painter);

private:
    RouteShape m_shape;
    QColor m_strokeColor;
    double m_lineWidth = kLineWidth;
    std::optional<GeoCoordinate> m_carCoordinate;
    double m_carHeading = 0.0;
};
