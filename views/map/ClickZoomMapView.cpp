// Slippy map item: the viewport, what it is fitted to, and the map's parts put together (see
// ClickZoomMapView.h).
#include "ClickZoomMapView.h"

#include "TileLayer.h"
#include "TilePainter.h"
#include "ViewportMotion.h"

#include <QPainter>
#include <QPainterPath>
#include <QQuickWindow>

ClickZoomMapView::ClickZoomMapView(QQuickItem* parent)
    : QQuickPaintedItem(parent), m_tiles(new TileLayer({}, this)),
      m_tilePainter(new TilePainter(*m_tiles, this)), m_animation(new ViewportAnimation(this)),
      m_gestures({[this](const QPointF& delta) { panBy(delta); },
                  [this](const QPointF& point, double factor) { scaleAround(point, factor); },
                  [this](const QPointF& point, double factor) { zoomAt(point, factor); },
                  [this] {
                      stopAnimation();
                      userMovedMap();
                      mapDragged();
                  },
                  [this](const QPointF& point) { return clickedAt(point); },
                  [this](bool keep) { setKeepMouseGrab(keep); }}),
      m_fit(Fit{mapgeo::mapRectWorld(), 0.0}) {
    setAcceptedMouseButtons(Qt::LeftButton | Qt::RightButton);
    setAcceptTouchEvents(true);
    setOpaquePainting(true);
    setFillColor(TilePainter::kBackgroundColor);

    connect(m_animation, &ViewportAnimation::stepped, this, &ClickZoomMapView::setViewport);
    connect(m_tiles, &TileLayer::tileLoaded, this, [this] {
        invalidateMapLayer();
        requestRepaint();
    });
    connect(m_tiles, &TileLayer::tileFailed, m_tilePainter, &TilePainter::updateTilesUnavailable);
    connect(m_tilePainter, &TilePainter::tilesUnavailableChanged, this,
            &ClickZoomMapView::tilesUnavailableChanged);
    connect(m_tiles, &TileLayer::sourceMessageChanged, this,
            &ClickZoomMapView::tileSourceMessageChanged);
}

ClickZoomMapView::~ClickZoomMapView() = default;

QString ClickZoomMapView::tileUrlTemplate() const {
    return m_tiles->urlTemplate();
}

void ClickZoomMapView::setTileUrlTemplate(const QString& urlTemplate) {
    const QString before = m_tiles->urlTemplate();
    m_tiles->setUrlTemplate(urlTemplate);
    if (m_tiles->urlTemplate() == before)
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
    return m_tiles->sourceMessage();
}

QString ClickZoomMapView::tileAttribution() const {
    return m_tiles->attribution();
}

void ClickZoomMapView::setTileAttribution(const QString& attribution) {
    const QString before = m_tiles->attribution();
    m_tiles->setAttribution(attribution);
    if (m_tiles->attribution() == before)
        return;
    requestRepaint();
    emit tileAttributionChanged();
}

void ClickZoomMapView::resetTileAttribution() {
    setTileAttribution(QString());
}

void ClickZoomMapView::showMapRect(const mapgeo::MapRect& rect, double edgePadding, bool animated) {
    m_fit = Fit{rect, edgePadding};
    const mapgeo::MapViewport fitted =
        mapgeo::fittedBelow(rect, size(), edgePadding, m_fitTopInset);
    if (!fitted.isValid())
        return;
    if (animated && m_viewport.isValid()) {
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
        mapgeo::zoomedAbout(m_viewport, viewPoint, factor);
    if (!target)
        return;
    userMovedMap();
    animateTo(*target, viewPoint);
}

bool ClickZoomMapView::isAnimating() const {
    return m_animation->isRunning();
}

void ClickZoomMapView::scaleAround(const QPointF& viewPoint, double factor) {
    const std::optional<mapgeo::MapViewport> target =
        mapgeo::zoomedAbout(m_viewport, viewPoint, factor);
    if (!target)
        return;
    stopAnimation();
    userMovedMap();
    setViewport(*target);
}

void ClickZoomMapView::panBy(const QPointF& viewDelta) {
    if (!m_viewport.isValid())
        return;
    setViewport(mapgeo::pannedBy(m_viewport, viewDelta));
}

QPointF ClickZoomMapView::viewPointForCoordinate(const GeoCoordinate& coordinate) const {
    return m_viewport.viewPointForMapPoint(mapgeo::mapPointForCoordinate(coordinate));
}

GeoCoordinate ClickZoomMapView::coordinateForViewPoint(const QPointF& viewPoint) const {
    return mapgeo::coordinateForMapPoint(m_viewport.mapPointForViewPoint(viewPoint));
}

void ClickZoomMapView::setViewport(const mapgeo::MapViewport& viewport) {
    m_viewport = viewport;
    invalidateMapLayer();
    requestRepaint();
    viewportChanged();
}

void ClickZoomMapView::animateTo(const mapgeo::MapViewport& target, std::optional<QPointF> anchor) {
    stopAnimation();
    if (!m_viewport.isValid()) {
        setViewport(target);
        return;
    }
    m_animation->start(m_viewport, target, anchor);
}

void ClickZoomMapView::stopAnimation() {
    m_animation->stop();
}

void ClickZoomMapView::userMovedMap() {
    m_fit.reset();
}

void ClickZoomMapView::centerOn(const mapgeo::MapPoint& point) {
    if (!m_viewport.isValid())
        return;
    m_fit.reset();
    setViewport(mapgeo::MapViewport(point, m_viewport.pixelsPerMapPoint(), m_viewport.viewSize()));
}

void ClickZoomMapView::requestRepaint() {
    ++m_repaintRequests;
    update();
}

void ClickZoomMapView::invalidateMapLayer() {
    m_tilePainter->invalidate();
}

void ClickZoomMapView::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) {
    QQuickPaintedItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() == oldGeometry.size() || newGeometry.isEmpty())
        return;
    stopAnimation();
    if (m_fit) {
        setViewport(mapgeo::fittedBelow(m_fit->rect, newGeometry.size(), m_fit->edgePadding,
                                        m_fitTopInset));
    } else if (m_viewport.isValid()) {
        setViewport(mapgeo::MapViewport(m_viewport.center(), m_viewport.pixelsPerMapPoint(),
                                        newGeometry.size()));
    }
}

void ClickZoomMapView::mousePressEvent(QMouseEvent* event) {
    m_gestures.mousePress(event);
}

void ClickZoomMapView::mouseMoveEvent(QMouseEvent* event) {
    m_gestures.mouseMove(event);
}

void ClickZoomMapView::mouseReleaseEvent(QMouseEvent* event) {
    m_gestures.mouseRelease(event);
}

void ClickZoomMapView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click zooms again, like any other click.
    m_gestures.mousePress(event);
}

void ClickZoomMapView::wheelEvent(QWheelEvent* event) {
    m_gestures.wheel(event);
}

void ClickZoomMapView::touchEvent(QTouchEvent* event) {
    m_gestures.touch(event);
}

void ClickZoomMapView::paint(QPainter* painter) {
    if (!m_viewport.isValid())
        return;
    const qreal devicePixelRatio =
        window() ? window()->effectiveDevicePixelRatio() : painter->device()->devicePixelRatio();
    const QImage& mapLayer =
        m_tilePainter->image(m_viewport, (size() * devicePixelRatio).toSize(), devicePixelRatio,
                             [this](QPainter& layer) { paintMapLayer(layer, m_viewport); });
    if (m_cornerRadius > 0) {
        QPainterPath rounded;
        rounded.addRoundedRect(QRectF(QPointF(0, 0), size()), m_cornerRadius, m_cornerRadius);
        painter->setClipPath(rounded);
    }
    painter->drawImage(QPointF(0, 0), mapLayer);
    paintMarkerLayer(*painter, m_viewport);
    m_tilePainter->paintAttribution(*painter, size());
}

void ClickZoomMapView::paintMapLayer(QPainter&, const mapgeo::MapViewport&) {}

void ClickZoomMapView::paintMarkerLayer(QPainter&, const mapgeo::MapViewport&) {}

void ClickZoomMapView::setCornerRadius(double radius) {
    if (radius == m_cornerRadius)
        return;
    m_cornerRadius = radius;
    emit cornerRadiusChanged();
    update();
}

void ClickZoomMapView::setFitTopInset(double inset) {
    if (inset == m_fitTopInset)
        return;
    m_fitTopInset = inset;
    emit fitTopInsetChanged();
    if (m_fit)
        showMapRect(m_fit->rect, m_fit->edgePadding, false);
}

double ClickZoomMapView::attributionHeight() const {
    return TilePainter::attributionHeight();
}

bool ClickZoomMapView::tilesUnavailable() const {
    return m_tilePainter->tilesUnavailable();
}
