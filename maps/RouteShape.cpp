// Route track preparation and the walk along it (see RouteShape.h).
#include "RouteShape.h"

#include <algorithm>
#include <cmath>

RouteShape::RouteShape(const GeoCoordinateList& coordinates) : m_coordinates(coordinates) {
    m_mapPoints.reserve(coordinates.size());
    double minX = 0.0, minY = 0.0, maxX = 0.0, maxY = 0.0;
    for (const GeoCoordinate& coordinate : coordinates) {
        const mapgeo::MapPoint point = mapgeo::mapPointForCoordinate(coordinate);
        if (m_mapPoints.isEmpty()) {
            minX = maxX = point.x;
            minY = maxY = point.y;
        } else {
            minX = std::min(minX, point.x);
            maxX = std::max(maxX, point.x);
            minY = std::min(minY, point.y);
            maxY = std::max(maxY, point.y);
        }
        m_mapPoints.append(point);
    }
    if (!m_mapPoints.isEmpty())
        m_bounds = {{minX, minY}, {maxX - minX, maxY - minY}};

    if (m_mapPoints.size() > 1)
        m_segmentMeters.reserve(m_mapPoints.size() - 1);
    for (qsizetype i = 1; i < m_mapPoints.size(); ++i) {
        const double meters = mapgeo::metersBetweenMapPoints(m_mapPoints[i - 1], m_mapPoints[i]);
        m_segmentMeters.append(meters);
        m_totalMeters += meters;
    }
}

std::optional<GeoCoordinate> RouteShape::coordinateAtProgress(double progress) const {
    if (m_coordinates.isEmpty() || std::isnan(progress))
        return std::nullopt;
    if (m_coordinates.size() == 1 || progress <= 0.0)
        return m_coordinates.first();
    if (progress >= 1.0)
        return m_coordinates.last();
    if (!(m_totalMeters > 0.0))
        return m_coordinates.first();

    double remaining = progress * m_totalMeters;
    for (qsizetype i = 0; i < m_segmentMeters.size(); ++i) {
        const double length = m_segmentMeters[i];
        if (remaining > length) {
            remaining -= length;
            continue;
        }
        const double t = length > 0.0 ? remaining / length : 0.0;
        const GeoCoordinate& start = m_coordinates[i];
        const GeoCoordinate& end = m_coordinates[i + 1];
        return GeoCoordinate{start.latitude + t * (end.latitude - start.latitude),
                             start.longitude + t * (end.longitude - start.longitude)};
    }
    return m_coordinates.last();
}

std::optional<GeoCoordinate> coordinateAtProgress(const GeoCoordinateList& coordinates,
                                                  double progress) {
    return RouteShape(coordinates).coordinateAtProgress(progress);
}
