// Route track preparation and the walk along it (see RouteShape.h).
#include "RouteShape.h"

#include <algorithm>
#include <cmath>

RouteShape::RouteShape(const GeoCoordinateList& coordinates) : coordinates_(coordinates) {
    mapPoints_.reserve(coordinates.size());
    double minX = 0.0, minY = 0.0, maxX = 0.0, maxY = 0.0;
    for (const GeoCoordinate& coordinate : coordinates) {
        const mapgeo::MapPoint point = mapgeo::mapPointForCoordinate(coordinate);
        if (mapPoints_.isEmpty()) {
            minX = maxX = point.x;
            minY = maxY = point.y;
        } else {
            minX = std::min(minX, point.x);
            maxX = std::max(maxX, point.x);
            minY = std::min(minY, point.y);
            maxY = std::max(maxY, point.y);
        }
        mapPoints_.append(point);
    }
    if (!mapPoints_.isEmpty())
        bounds_ = {{minX, minY}, {maxX - minX, maxY - minY}};

    if (mapPoints_.size() > 1)
        segmentMeters_.reserve(mapPoints_.size() - 1);
    for (qsizetype i = 1; i < mapPoints_.size(); ++i) {
        const double meters = mapgeo::metersBetweenMapPoints(mapPoints_[i - 1], mapPoints_[i]);
        segmentMeters_.append(meters);
        totalMeters_ += meters;
    }
}

std::optional<GeoCoordinate> RouteShape::coordinateAtProgress(double progress) const {
    if (coordinates_.isEmpty() || std::isnan(progress))
        return std::nullopt;
    if (coordinates_.size() == 1 || progress <= 0.0)
        return coordinates_.first();
    if (progress >= 1.0)
        return coordinates_.last();
    if (!(totalMeters_ > 0.0))
        return coordinates_.first();

    double remaining = progress * totalMeters_;
    for (qsizetype i = 0; i < segmentMeters_.size(); ++i) {
        const double length = segmentMeters_[i];
        if (remaining > length) {
            remaining -= length;
            continue;
        }
        const double t = length > 0.0 ? remaining / length : 0.0;
        const GeoCoordinate& start = coordinates_[i];
        const GeoCoordinate& end = coordinates_[i + 1];
        return GeoCoordinate{start.latitude + t * (end.latitude - start.latitude),
                             start.longitude + t * (end.longitude - start.longitude)};
    }
    return coordinates_.last();
}

std::optional<GeoCoordinate> coordinateAtProgress(const GeoCoordinateList& coordinates,
                                                  double progress) {
    return RouteShape(coordinates).coordinateAtProgress(progress);
}
