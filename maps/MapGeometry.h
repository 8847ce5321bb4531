// Web-Mercator map geometry: a square world of 2^28 map points, conversions between
// coordinates and map points, great-circle distances, map rectangles and view fitting.
#pragma once

#include "GeoCoordinate.h"

#include <QPointF>
#include <QSizeF>

namespace mapgeo {

struct MapPoint {
    double x = 0.0;
    double y = 0.0;
    friend bool operator==(const MapPoint&, const MapPoint&) = default;
};

struct MapSize {
    double width = 0.0;
    double height = 0.0;
    friend bool operator==(const MapSize&, const MapSize&) = default;
};

struct MapRect {
    MapPoint origin;
    MapSize size;
    friend bool operator==(const MapRect&, const MapRect&) = default;

    double minX() const { return origin.x; }
    double minY() const { return origin.y; }
    double maxX() const { return origin.x + size.width; }
    double maxY() const { return origin.y + size.height; }
    MapPoint center() const { return {origin.x + size.width / 2.0, origin.y + size.height / 2.0}; }
};

inline constexpr double kWorldMapPoints = 268435456.0; // 2^28
inline constexpr double kEarthMeanRadiusMeters = 6371008.8;
// Web-Mercator cannot show the poles; latitudes are clamped to the square world's edge.
inline constexpr double kMaxMercatorLatitude = 85.05112877980659;

MapSize mapSizeWorld();
MapRect mapRectWorld();
// The null rectangle: an infinite origin, as returned for "no rectangle".
MapRect mapRectNull();
bool isNull(const MapRect& rect);

MapPoint mapPointForCoordinate(const GeoCoordinate& coordinate);
GeoCoordinate coordinateForMapPoint(const MapPoint& point);
double metersBetweenMapPoints(const MapPoint& a, const MapPoint& b);

// Smallest rectangle holding both; the null rectangle is the identity.
MapRect unionRect(const MapRect& a, const MapRect& b);

// What part of the map a view of a given size shows, and how view points relate to it.
// The visible rectangle always has the view's aspect ratio.
class MapViewport {
public:
    MapViewport() = default;
    MapViewport(const MapPoint& center, double pixelsPerMapPoint, const QSizeF& viewSize);

    bool isValid() const;
    const QSizeF& viewSize() const { return m_viewSize; }
    double pixelsPerMapPoint() const { return m_scale; }
    MapPoint center() const { return m_center; }
    MapRect visibleMapRect() const;

    QPointF viewPointForMapPoint(const MapPoint& point) const;
    MapPoint mapPointForViewPoint(const QPointF& point) const;

    // Shows `rect` whole inside the view less `edgePadding` view points on each side, centred.
    static MapViewport fitting(const MapRect& rect, const QSizeF& viewSize, double edgePadding);

private:
    MapPoint m_center;
    double m_scale = 0.0;
    QSizeF m_viewSize;
};

} // namespace mapgeo
