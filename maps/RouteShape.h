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

    const GeoCoordinateList& coordinates() const { return coordinates_; }
    const QList<mapgeo::MapPoint>& mapPoints() const { return mapPoints_; }
    // The null rectangle for an empty track.
    mapgeo::MapRect boundingMapRect() const { return bounds_; }
    double totalMeters() const { return totalMeters_; }

    // The point at a fraction of the track's length, walking segment by segment.
    std::optional<GeoCoordinate> coordinateAtProgress(double progress) const;

private:
    GeoCoordinateList coordinates_;
    QList<mapgeo::MapPoint> mapPoints_;
    QList<double> segmentMeters_;
    double totalMeters_ = 0.0;
    mapgeo::MapRect bounds_ = mapgeo::mapRectNull();
};

// The same walk for callers holding only coordinates.
std::optional<GeoCoordinate> coordinateAtProgress(const GeoCoordinateList& coordinates,
                                                  double progress);
