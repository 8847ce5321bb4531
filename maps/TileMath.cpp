// XYZ raster tile arithmetic (see TileMath.h).
#include "TileMath.h"

#include <algorithm>
#include <cmath>

namespace tiles {

int zoomLevelForScale(double pixelsPerMapPoint) {
    if (!(pixelsPerMapPoint > 0.0) || !std::isfinite(pixelsPerMapPoint))
        return 0;
    const double worldPixels = pixelsPerMapPoint * mapgeo::kWorldMapPoints;
    const double zoom = std::log2(worldPixels / kTilePixels);
    return std::clamp(static_cast<int>(std::lround(zoom)), 0, kMaxZoom);
}

double tileSpanMapPoints(int zoom) {
    return mapgeo::kWorldMapPoints / std::ldexp(1.0, zoom);
}

mapgeo::MapRect tileMapRect(const TileKey& key) {
    const double span = tileSpanMapPoints(key.zoom);
    return {{key.x * span, key.y * span}, {span, span}};
}

QList<TileKey> tilesCovering(const mapgeo::MapRect& visible, int zoom) {
    QList<TileKey> keys;
    if (mapgeo::isNull(visible) || visible.size.width <= 0.0 || visible.size.height <= 0.0)
        return keys;
    const double span = tileSpanMapPoints(zoom);
    const int last = (1 << zoom) - 1;
    const auto index = [&](double mapCoordinate) {
        return static_cast<int>(std::clamp(std::floor(mapCoordinate / span), -1.0, last + 1.0));
    };
    const int x0 = std::max(0, index(visible.minX()));
    const int x1 = std::min(last, index(visible.maxX()));
    const int y0 = std::max(0, index(visible.minY()));
    const int y1 = std::min(last, index(visible.maxY()));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            keys.append({zoom, x, y});
    const mapgeo::MapPoint center = visible.center();
    const auto distance = [&](const TileKey& key) {
        const mapgeo::MapPoint c = tileMapRect(key).center();
        return std::hypot(c.x - center.x, c.y - center.y);
    };
    std::stable_sort(keys.begin(), keys.end(),
                     [&](const TileKey& a, const TileKey& b) { return distance(a) < distance(b); });
    return keys;
}

TileKey parentTile(const TileKey& key) {
    if (key.zoom == 0)
        return key;
    return {key.zoom - 1, key.x / 2, key.y / 2};
}

QUrl tileUrl(const QString& urlTemplate, const TileKey& key) {
    QString text = urlTemplate;
    text.replace(QLatin1String("{z}"), QString::number(key.zoom));
    text.replace(QLatin1String("{x}"), QString::number(key.x));
    text.replace(QLatin1String("{y}"), QString::number(key.y));
    return QUrl(text);
}

} // namespace tiles
