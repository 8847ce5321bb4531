// Slippy map item: the viewport, what it is fitted to, and the map's parts put together (see
// ClickZoomMapView.h).
#include "ClickZoomMapView.h"

#include "SetAndNotify.h"
#include "TileLayer.h"
#include "TilePainter.h"
#include "ViewportMotion.h"

#include <QPainter>
#include <QPainterPath>
#include <QQuickWindow>

ClickZoomMapView::ClickZoomMapView(QQuickItem* parent)
    : QQuickPaintedItem(parent), tiles_(new TileLayer({}, this)),
      tilePainter_(new TilePainter(*tiles_, this)), animation_(new ViewportAnimation(this)),
      gestures_({[this](const QPointF& delta) { panBy(delta); },
                 [this](const QPointF& point, double factor) { scaleAround(point, factor); },
                 [this](const QPointF& point, double factor) { zoomAt(point, factor); },
                 [this] {
                     stopAnimation();
                     userMovedMap();
                     mapDragged();
                 },
                 [this](const QPointF& point) { return clickedAt(point); },
                 [this](bool keep) { setKeepMouseGrab(keep); }}),
      fit_(Fit{mapgeo::mapRectWorld(), 0.0}) {
    setAcceptedMouseButtons(Qt::LeftButton | Qt::RightButton);
    setAcceptTouchEvents(true);
    setOpaquePainting(true);
    setFillColor(TilePainter::kBackgroundColor);

    connect(animation_, &ViewportAnimation::stepped, this, &ClickZoomMapView::setViewport);
    connect(tiles_, &TileLayer::tileLoaded, this, [this] {
        invalidateMapLayer();
        requestRepaint();
    });
    connect(tiles_, &TileLayer::tileFailed, tilePainter_, &TilePainter::updateTilesUnavailable);
    connect(tilePainter_, &TilePainter::tilesUnavailableChanged, this,
            &ClickZoomMapView::tilesUnavailableChanged);
    connect(tiles_, &TileLayer::sourceMessageChanged, this,
            &ClickZoomMapView::tileSourceMessageChanged);
}

ClickZoomMapView::~ClickZoomMapView() = default;

QString ClickZoomMapView::tileUrlTemplate() const {
    return tiles_->urlTemplate();
}

void ClickZoomMapView::setTileUrlTemplate(const QString& urlTemplate) {
    const QString before = tiles_->urlTemplate();
    tiles_->setUrlTemplate(urlTemplate);
    if (tiles_->urlTemplate() == before)
        return;
    invalidateMapLayer();
    requestRepaint();
    emit tileUrlTemplateChanged();
    emit tileAttributionChanged();
}

void ClickZoomMapView::resetTileUrlTemplate() {
    setTileUrlTemplate({});
}

QString ClickZoomMapView::tileSourceMessage() const {
    return tiles_->sourceMessage();
}

QString ClickZoomMapView::tileAttribution() const {
    return tiles_->attribution();
}

void ClickZoomMapView::setTileAttribution(const QString& attribution) {
    const QString before = tiles_->attribution();
    tiles_->setAttribution(attribution);
    if (tiles_->attribution() == before)
        return;
    requestRepaint();
    emit tileAttributionChanged();
}

void ClickZoomMapView::resetTileAttribution() {
    setTileAttribution(QString());
}

void ClickZoomMapView::showMapRect(const mapgeo::MapRect& rect, double edgePadding, bool animated) {
    fit_ = Fit{rect, edgePadding};
    const mapgeo::MapViewport fitted = mapgeo::fittedBelow(rect, size(), edgePadding, fitTopInset_);
    if (!fitted.isValid())
        return;
    if (animated && viewport_.isValid()) {
        animateTo(fitted, std::nullopt);
    } else {
        stopAnimation();
        setViewport(fitted);
    }
}

void ClickZoomMapView::zoomAt(const QPointF& viewPoint, double factor) {
    // A click during an animation zooms from what is on screen now, so the place under the
    // pointer is still the one that stays there.
    stopAnimation();
    const std::optional<mapgeo::MapViewport> target =
        mapgeo::zoomedAbout(viewport_, viewPoint, factor);
    if (!target)
        return;
    userMovedMap();
    animateTo(*target, viewPoint);
}

bool ClickZoomMapView::isAnimating() const {
    return animation_->isRunning();
}

void ClickZoomMapView::scaleAround(const QPointF& viewPoint, double factor) {
    const std::optional<mapgeo::MapViewport> target =
        mapgeo::zoomedAbout(viewport_, viewPoint, factor);
    if (!target)
        return;
    stopAnimation();
    userMovedMap();
    setViewport(*target);
}

void ClickZoomMapView::panBy(const QPointF& viewDelta) {
    if (!viewport_.isValid())
        return;
    setViewport(mapgeo::pannedBy(viewport_, viewDelta));
}

QPointF ClickZoomMapView::viewPointForCoordinate(const GeoCoordinate& coordinate) const {
    return viewport_.viewPointForMapPoint(mapgeo::mapPointForCoordinate(coordinate));
}

GeoCoordinate ClickZoomMapView::coordinateForViewPoint(const QPointF& viewPoint) const {
    return mapgeo::coordinateForMapPoint(viewport_.mapPointForViewPoint(viewPoint));
}

void ClickZoomMapView::setViewport(const mapgeo::MapViewport& viewport) {
    viewport_ = viewport;
    invalidateMapLayer();
    requestRepaint();
    viewportChanged();
}

void ClickZoomMapView::animateTo(const mapgeo::MapViewport& target, std::optional<QPointF> anchor) {
    stopAnimation();
    if (!viewport_.isValid()) {
        setViewport(target);
        return;
    }
    animation_->start(viewport_, target, anchor);
}

void ClickZoomMapView::stopAnimation() {
    animation_->stop();
}

void ClickZoomMapView::userMovedMap() {
    fit_.reset();
}

void ClickZoomMapView::centerOn(const mapgeo::MapPoint& point) {
    if (!viewport_.isValid())
        return;
    fit_.reset();
    setViewport(mapgeo::MapViewport(point, viewport_.pixelsPerMapPoint(), viewport_.viewSize()));
}

void ClickZoomMapView::requestRepaint() {
    ++repaintRequests_;
    update();
}

void ClickZoomMapView::invalidateMapLayer() {
    tilePainter_->invalidate();
}

void ClickZoomMapView::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) {
    QQuickPaintedItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() == oldGeometry.size() || newGeometry.isEmpty())
        return;
    stopAnimation();
    if (fit_) {
        setViewport(
            mapgeo::fittedBelow(fit_->rect, newGeometry.size(), fit_->edgePadding, fitTopInset_));
    } else if (viewport_.isValid()) {
        setViewport(mapgeo::MapViewport(viewport_.center(), viewport_.pixelsPerMapPoint(),
                                        newGeometry.size()));
    }
}

void ClickZoomMapView::mousePressEvent(QMouseEvent* event) {
    gestures_.mousePress(event);
}

void ClickZoomMapView::mouseMoveEvent(QMouseEvent* event) {
    gestures_.mouseMove(event);
}

void ClickZoomMapView::mouseReleaseEvent(QMouseEvent* event) {
    gestures_.mouseRelease(event);
}

void ClickZoomMapView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click zooms again, like any other click.
    gestures_.mousePress(event);
}

void ClickZoomMapView::wheelEvent(QWheelEvent* event) {
    gestures_.wheel(event);
}

void ClickZoomMapView::touchEvent(QTouchEvent* event) {
    gestures_.touch(event);
}

void ClickZoomMapView::paint(QPainter* painter) {
    if (!viewport_.isValid())
        return;
    const qreal devicePixelRatio =
        window() ? window()->effectiveDevicePixelRatio() : painter->device()->devicePixelRatio();
    const QImage& mapLayer =
        tilePainter_->image(viewport_, (size() * devicePixelRatio).toSize(), devicePixelRatio,
                            [this](QPainter& layer) { paintMapLayer(layer, viewport_); });
    if (cornerRadius_ > 0) {
        QPainterPath rounded;
        rounded.addRoundedRect(QRectF(QPointF(0, 0), size()), cornerRadius_, cornerRadius_);
        painter->setClipPath(rounded);
    }
    painter->drawImage(QPointF(0, 0), mapLayer);
    paintMarkerLayer(*painter, viewport_);
    tilePainter_->paintAttribution(*painter, size());
}

void ClickZoomMapView::paintMapLayer(QPainter&, const mapgeo::MapViewport&) {}

void ClickZoomMapView::paintMarkerLayer(QPainter&, const mapgeo::MapViewport&) {}

void ClickZoomMapView::setCornerRadius(double radius) {
    if (setAndNotify(cornerRadius_, radius, this, &ClickZoomMapView::cornerRadiusChanged))
        update();
}

void ClickZoomMapView::setFitTopInset(double inset) {
    if (setAndNotify(fitTopInset_, inset, this, &ClickZoomMapView::fitTopInsetChanged) && fit_)
        showMapRect(fit_->rect, fit_->edgePadding, false);
}

double ClickZoomMapView::attributionHeight() const {
    return TilePainter::attributionHeight();
}

bool ClickZoomMapView::tilesUnavailable() const {
    return tilePainter_->tilesUnavailable();
}
