// The tiles under the map's viewport and what is drawn with them, kept in one image so that a
// repaint that moves only a marker draws that image again rather than every tile. A missing
// tile is stood in for by an enlarged part of a loaded one a few levels up; the tiles a paint
// lacked are asked of the tile layer on the GUI thread. Also the tile source's attribution.
#pragma once

#include "MapGeometry.h"
#include "TileMath.h"

#include <QColor>
#include <QImage>
#include <QObject>
#include <functional>

class QPainter;
class TileLayer;

class TilePainter : public QObject {
    Q_OBJECT

public:
    static const QColor kBackgroundColor;

    TilePainter(TileLayer& tiles, QObject* parent);

    // What is drawn with the tiles changed.
    void invalidate() { m_dirty = true; }
    // From paint, on the render thread while the GUI thread is blocked: the image of
    // `pixelSize` for `viewport`, drawn anew when stale, `paintOver` drawing over the tiles.
    const QImage& image(const mapgeo::MapViewport& viewport, const QSize& pixelSize,
                        qreal devicePixelRatio, const std::function<void(QPainter&)>& paintOver);

    // Tiles are failing and none is shown.
    bool tilesUnavailable() const { return m_tilesUnavailable; }
    // Reads the tile layer's failures again.
    void updateTilesUnavailable();

    // The strip along the bottom of the view that the attribution's box takes.
    static double attributionHeight();
    void paintAttribution(QPainter& painter, const QSizeF& viewSize) const;

signals:
    void tilesUnavailableChanged();

private:
    void render(const mapgeo::MapViewport& viewport, const QSize& pixelSize, qreal devicePixelRatio,
                const std::function<void(QPainter&)>& paintOver);
    void paintTiles(QPainter& painter, const mapgeo::MapViewport& viewport);
    // On the GUI thread: what the last paint lacked.
    void tilesMissing(const QList<TileKey>& missing, bool anyTileShown);

    TileLayer& m_tiles;
    QImage m_image;
    bool m_dirty = true;
    // Written by paint, on the render thread while the GUI thread is blocked.
    QList<TileKey> m_paintMissing;
    bool m_paintShowedTile = false;
    bool m_tileReportPending = false;
    // The GUI thread's copies.
    QList<TileKey> m_missingTiles;
    bool m_anyTileShown = false;
    bool m_tilesUnavailable = false;
};
