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
    void invalidate() { dirty_ = true; }
    // From paint, on the render thread while the GUI thread is blocked: the image of
    // `pixelSize` for `viewport`, drawn anew when stale, `paintOver` drawing over the tiles.
    const QImage& image(const mapgeo::MapViewport& viewport, const QSize& pixelSize,
                        qreal devicePixelRatio, const std::function<void(QPainter&)>& paintOver);

    // Tiles are failing and none is shown.
    bool tilesUnavailable() const { return tilesUnavailable_; }
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

    TileLayer& tiles_;
    QImage image_;
    bool dirty_ = true;
    // Written by paint, on the render thread while the GUI thread is blocked.
    QList<TileKey> paintMissing_;
    bool paintShowedTile_ = false;
    bool tileReportPending_ = false;
    // The GUI thread's copies.
    QList<TileKey> missingTiles_;
    bool anyTileShown_ = false;
    bool tilesUnavailable_ = false;
};
