// A route track prepared once per rebuild: its points projected to map points, its bounding
// map rectangle and its segment lengths, so that drawing and progress lookups stay cheap.
#pragma once

#include "GeoCoordinate.h"
#include "MapGeometry.h"

#include <QList>
#include <optional>

class RouteShape {
public:
    RouteShape() = default;
    explicit RouteShape(const GeoCoordinateList& coordinates);

    const GeoCoordinateList& coordinates() const { return m_coordinates; }
    const QList<mapgeo::MapPoint>& mapPoints() const { return m_mapPoints; }
    // The null rectangle for an empty track.
    mapgeo::MapRect boundingMapRect() const { return m_bounds; }
    double totalMeters() const { return m_totalMeters; }

    // The point at a fraction of the track's length, walking segment by segment.
    std::optional<GeoCoordinate> coordinateAtProgress(double progress) const;

private:
    GeoCoordinateList m_coordinates;
    QList<mapgeo::MapPoint> m_mapPoints;
    QList<double> m_segmentMeters;
    double m_totalMeters = 0.0;
    mapgeo::MapRect m_bounds = mapgeo::mapRectNull();
};

// The same walk for callers holding only coordinates.
std::optional<GeoCoordinate> coordinateAtProgress(const GeoCoordinateList& coordinates,
                                                  double progress);
