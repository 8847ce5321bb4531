// XYZ raster tile arithmetic: which tiles cover a part of the map at a zoom level, where each
// one sits in map points, and the tile address from a URL template ({z}, {x}, {y}).
#pragma once

#include "MapGeometry.h"

#include <QHashFunctions>
#include <QList>
#include <QString>
#include <QUrl>

struct TileKey {
    int zoom = 0;
    int x = 0;
    int y = 0;
    friend bool operator==(const TileKey&, const TileKey&) = default;
};

inline size_t qHash(const TileKey& key, size_t seed = 0) {
    return qHashMulti(seed, key.zoom, key.x, key.y);
}

namespace tiles {

inline constexpr int kTilePixels = 256;
inline constexpr int kMaxZoom = 19;

// The zoom level whose tiles are closest to one tile pixel per view pixel.
int zoomLevelForScale(double pixelsPerMapPoint);
double tileSpanMapPoints(int zoom);
mapgeo::MapRect tileMapRect(const TileKey& key);
// Tiles covering `visible` (clipped to the world), nearest the centre first.
QList<TileKey> tilesCovering(const mapgeo::MapRect& visible, int zoom);
// The tile one level up that holds this one.
TileKey parentTile(const TileKey& key);

QUrl tileUrl(const QString& urlTemplate, const TileKey& key);

} // namespace tiles
