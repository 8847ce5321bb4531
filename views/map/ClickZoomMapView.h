// A slippy map item: raster tiles under a Web-Mercator viewport, zoomed by clicks (left: in
// around the pointer, right: out), the wheel and pinches, and panned by dragging. Subclasses
// add what is drawn over the tiles. The item holds the viewport and what fits it; the moves
// are in ViewportMotion, the gestures in MapGestures, the tiles' image in TilePainter.
#pragma once

#include "MapGeometry.h"
#include "MapGestures.h"

#include <QQuickPaintedItem>
#include <QtQml/qqmlregistration.h>
#include <optional>

class TileLayer;
class TilePainter;
class ViewportAnimation;

class ClickZoomMapView : public QQuickPaintedItem {
    Q_OBJECT
    QML_ANONYMOUS
    Q_PROPERTY(QString tileUrlTemplate READ tileUrlTemplate WRITE setTileUrlTemplate RESET
                   resetTileUrlTemplate NOTIFY tileUrlTemplateChanged)
    // Goes with the tile source; reset: the configured one (see TileLayer::attribution).
    Q_PROPERTY(QString tileAttribution READ tileAttribution WRITE setTileAttribution RESET
                   resetTileAttribution NOTIFY tileAttributionChanged)
    // Why the chosen tile file is not shown; empty while it is.
    Q_PROPERTY(QString tileSourceMessage READ tileSourceMessage NOTIFY tileSourceMessageChanged)
    // Tiles are failing and none is shown.
    Q_PROPERTY(bool tilesUnavailable READ tilesUnavailable NOTIFY tilesUnavailableChanged)
    // The strip along the bottom that the attribution's box takes, so that what is laid over
    // the map can stay clear of it.
    Q_PROPERTY(double attributionHeight READ attributionHeight CONSTANT)
    // A strip along the top, under what is laid over the map there, that a fitted rectangle
    // keeps out of.
    Q_PROPERTY(double fitTopInset READ fitTopInset WRITE setFitTopInset NOTIFY fitTopInsetChanged)
    // The map rounds its own corners: shapes laid over it to hide them escape a scrolled
    // parent's clip under the software renderer.
    Q_PROPERTY(
        double cornerRadius READ cornerRadius WRITE setCornerRadius NOTIFY cornerRadiusChanged)

public:
    explicit ClickZoomMapView(QQuickItem* parent = nullptr);
    ~ClickZoomMapView() override;

    QString tileUrlTemplate() const;
    void setTileUrlTemplate(const QString& urlTemplate);
    void resetTileUrlTemplate();
    QString tileAttribution() const;
    void setTileAttribution(const QString& attribution);
    void resetTileAttribution();
    bool tilesUnavailable() const;
    QString tileSourceMessage() const;
    double attributionHeight() const;
    double fitTopInset() const { return fitTopInset_; }
    void setFitTopInset(double inset);
    double cornerRadius() const { return cornerRadius_; }
    void setCornerRadius(double radius);

    const mapgeo::MapViewport& viewport() const { return viewport_; }
    // The null rectangle until the view has a size.
    mapgeo::MapRect visibleMapRect() const { return viewport_.visibleMapRect(); }
    // Fits `rect` with `edgePadding` view points around it; kept fitted through resizes until
    // the user moves the map.
    void showMapRect(const mapgeo::MapRect& rect, double edgePadding, bool animated);
    // Zooms by `factor` (below 1: in) around a view point, which stays over the same place.
    void zoomAt(const QPointF& viewPoint, double factor);
    bool isAnimating() const;

    QPointF viewPointForCoordinate(const GeoCoordinate& coordinate) const;
    GeoCoordinate coordinateForViewPoint(const QPointF& viewPoint) const;

    TileLayer* tileLayer() const { return tiles_; }
    // How often this item asked to be repainted; playback must not ask when nothing moved.
    int repaintRequestCount() const { return repaintRequests_; }

    void paint(QPainter* painter) override;

signals:
    void tileUrlTemplateChanged();
    void tileAttributionChanged();
    void tilesUnavailableChanged();
    void fitTopInsetChanged();
    void cornerRadiusChanged();
    void tileSourceMessageChanged();

protected:
    // Drawn once per change of the map (kept in the tile image), and on every repaint.
    virtual void paintMapLayer(QPainter& painter, const mapgeo::MapViewport& viewport);
    virtual void paintMarkerLayer(QPainter& painter, const mapgeo::MapViewport& viewport);

    void requestRepaint();
    // What is drawn with the tiles changed.
    void invalidateMapLayer();
    // Pans, keeping the zoom; the view is no longer kept fitted.
    void centerOn(const mapgeo::MapPoint& point);
    // The user started dragging the map.
    virtual void mapDragged() {}
    // A left click; true when it was taken, so that it does not zoom.
    virtual bool clickedAt(const QPointF& /*viewPoint*/) { return false; }
    // The viewport moved or zoomed.
    virtual void viewportChanged() {}

    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void touchEvent(QTouchEvent* event) override;

private:
    struct Fit {
        mapgeo::MapRect rect;
        double edgePadding = 0.0;
    };

    void setViewport(const mapgeo::MapViewport& viewport);
    void animateTo(const mapgeo::MapViewport& target, std::optional<QPointF> anchor);
    void stopAnimation();
    void userMovedMap();
    void panBy(const QPointF& viewDelta);
    // Zoom about an anchor without animation (wheel, pinch).
    void scaleAround(const QPointF& viewPoint, double factor);

    TileLayer* tiles_ = nullptr;
    TilePainter* tilePainter_ = nullptr;
    ViewportAnimation* animation_ = nullptr;
    MapGestures gestures_;
    mapgeo::MapViewport viewport_;
    std::optional<Fit> fit_;
    double fitTopInset_ = 0.0;
    double cornerRadius_ = 0.0;
    int repaintRequests_ = 0;
};
