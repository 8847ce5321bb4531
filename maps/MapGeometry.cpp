// Web-Mercator map geometry (see MapGeometry.h).
#include "MapGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace mapgeo {

namespace {
constexpr double kDegreesToRadians = std::numbers::pi / 180.0;
} // namespace

MapSize mapSizeWorld() {
    return {kWorldMapPoints, kWorldMapPoints};
}

MapRect mapRectWorld() {
    return {{0.0, 0.0}, mapSizeWorld()};
}

MapRect mapRectNull() {
    const double inf = std::numeric_limits<double>::infinity();
    return {{inf, inf}, {0.0, 0.0}};
}

bool isNull(const MapRect& rect) {
    return std::isinf(rect.origin.x) || std::isinf(rect.origin.y);
}

MapPoint mapPointForCoordinate(const GeoCoordinate& coordinate) {
    const double latitude =
        std::clamp(coordinate.latitude, -kMaxMercatorLatitude, kMaxMercatorLatitude);
    const double x = (coordinate.longitude + 180.0) / 360.0 * kWorldMapPoints;
    const double sinLat = std::sin(latitude * kDegreesToRadians);
    const double y = (0.5 - std::log((1.0 + sinLat) / (1.0 - sinLat)) / (4.0 * std::numbers::pi)) *
                     kWorldMapPoints;
    return {x, y};
}

GeoCoordinate coordinateForMapPoint(const MapPoint& point) {
    const double longitude = point.x / kWorldMapPoints * 360.0 - 180.0;
    const double n = std::numbers::pi * (1.0 - 2.0 * point.y / kWorldMapPoints);
    const double latitude = std::atan(std::sinh(n)) / kDegreesToRadians;
    return {latitude, longitude};
}

double metersBetweenMapPoints(const MapPoint& a, const MapPoint& b) {
    const GeoCoordinate ca = coordinateForMapPoint(a);
    const GeoCoordinate cb = coordinateForMapPoint(b);
    const double lat1 = ca.latitude * kDegreesToRadians;
    const double lat2 = cb.latitude * kDegreesToRadians;
    const double dLat = lat2 - lat1;
    const double dLon = (cb.longitude - ca.longitude) * kDegreesToRadians;
    const double h = std::sin(dLat / 2.0) * std::sin(dLat / 2.0) +
                     std::cos(lat1) * std::cos(lat2) * std::sin(dLon / 2.0) * std::sin(dLon / 2.0);
    return 2.0 * kEarthMeanRadiusMeters * std::asin(std::sqrt(std::min(1.0, h)));
}

MapRect unionRect(const MapRect& a, const MapRect& b) {
    if (isNull(a))
        return b;
    if (isNull(b))
        return a;
    const double minX = std::min(a.minX(), b.minX());
    const double minY = std::min(a.minY(), b.minY());
    const double maxX = std::max(a.maxX(), b.maxX());
    const double maxY = std::max(a.maxY(), b.maxY());
    return {{minX, minY}, {maxX - minX, maxY - minY}};
}

MapViewport::MapViewport(const MapPoint& center, double pixelsPerMapPoint, const QSizeF& viewSize)
    : m_center(center), m_scale(pixelsPerMapPoint), m_viewSize(viewSize) {}

bool MapViewport::isValid() const {
    return m_scale > 0.0 && std::isfinite(m_scale) && m_viewSize.width() > 0.0 &&
           m_viewSize.height() > 0.0;
}

MapRect MapViewport::visibleMapRect() const {
    if (!isValid())
        return mapRectNull();
    const double width = m_viewSize.width() / m_scale;
    const double height = m_viewSize.height() / m_scale;
    return {{m_center.x - width / 2.0, m_center.y - height / 2.0}, {width, height}};
}

QPointF MapViewport::viewPointForMapPoint(const MapPoint& point) const {
    return {(point.x - m_center.x) * m_scale + m_viewSize.width() / 2.0,
            (point.y - m_center.y) * m_scale + m_viewSize.height() / 2.0};
}

MapPoint MapViewport::mapPointForViewPoint(const QPointF& point) const {
    return {m_center.x + (point.x() - m_viewSize.width() / 2.0) / m_scale,
            m_center.y + (point.y() - m_viewSize.height() / 2.0) / m_scale};
}

MapViewport MapViewport::fitting(const MapRect& rect, const QSizeF& viewSize, double edgePadding) {
    if (isNull(rect) || rect.size.width <= 0.0 || rect.size.height <= 0.0)
        return {};
    // A view smaller than its padding still shows the rectangle, just without the margin.
    const double usableWidth = viewSize.width() > 2.0 * edgePadding
                                   ? viewSize.width() - 2.0 * edgePadding
                                   : viewSize.width();
    const double usableHeight = viewSize.height() > 2.0 * edgePadding
                                    ? viewSize.height() - 2.0 * edgePadding
                                    : viewSize.height();
    const double scale = std::min(usableWidth / rect.size.width, usableHeight / rect.size.height);
    return MapViewport(rect.center(), scale, viewSize);
}

} // namespace mapgeo
