// Slippy map item: viewport, tiles, zoom and pan interactions (see ClickZoomMapView.h).
#include "ClickZoomMapView.h"

#include "TileLayer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QQuickWindow>
#include <QStyleHints>
#include <QVariantAnimation>
#include <algorithm>
#include <cmath>

namespace {

const QColor kBackgroundColor{242, 239, 233};
// Each wheel notch (120 eighths of a degree) zooms by 2^this.
constexpr double kWheelZoomStepLog2 = 0.5;
constexpr double kWheelNotch = 120.0;
// Missing tiles are stood in for by an enlarged part of a loaded tile this many levels up.
constexpr int kMaxFallbackLevels = 4;
constexpr int kAttributionPixelSize = 9;
constexpr double kAttributionMargin = 3.0;
constexpr double kAttributionBackgroundAlpha = 0.75;
const QColor kAttributionTextColor{40, 40, 40};

double lerp(double from, double to, double t) {
    return from + (to - from) * t;
}

// `rect` fitted into the view less a strip of `topInset` along its top.
mapgeo::MapViewport fittedBelow(const mapgeo::MapRect& rect, const QSizeF& viewSize,
                                double edgePadding, double topInset) {
    const QSizeF below(viewSize.width(), std::max(0.0, viewSize.height() - topInset));
    const mapgeo::MapViewport fitted = mapgeo::MapViewport::fitting(rect, below, edgePadding);
    if (!fitted.isValid() || !(topInset > 0.0))
        return fitted;
    // The same scale over the whole view, its centre raised by half the strip.
    mapgeo::MapPoint centre = fitted.center();
    centre.y -= topInset / 2.0 / fitted.pixelsPerMapPoint();
    return mapgeo::MapViewport(centre, fitted.pixelsPerMapPoint(), viewSize);
}

QRectF snappedViewRect(const mapgeo::MapViewport& viewport, const mapgeo::MapRect& rect) {
    const QPointF topLeft = viewport.viewPointForMapPoint(rect.origin);
    const QPointF bottomRight = viewport.viewPointForMapPoint({rect.maxX(), rect.maxY()});
    // Whole pixels, so that neighbouring tiles meet without a seam.
    return QRectF(QPointF(std::round(topLeft.x()), std::round(topLeft.y())),
                  QPointF(std::round(bottomRight.x()), std::round(bottomRight.y())));
}

} // namespace

ClickZoomMapView::ClickZoomMapView(QQuickItem* parent)
    : QQuickPaintedItem(parent), m_tiles(new TileLayer({}, this)),
      m_fit(Fit{mapgeo::mapRectWorld(), 0.0}), m_animation(new QVariantAnimation(this)) {
    setAcceptedMouseButtons(Qt::LeftButton | Qt::RightButton);
    setAcceptTouchEvents(true);
    setOpaquePainting(true);
    setFillColor(kBackgroundColor);

    m_animation->setDuration(kZoomAnimationMs);
    m_animation->setStartValue(0.0);
    m_animation->setEndValue(1.0);
    m_animation->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        const double t = value.toDouble();
        if (t >= 1.0) {
            setViewport(m_animationTarget);
            return;
        }
        const double startScale = m_animationStart.pixelsPerMapPoint();
        const double scale =
            startScale * std::pow(m_animationTarget.pixelsPerMapPoint() / startScale, t);
        mapgeo::MapPoint center;
        if (m_animationAnchor) {
            // Keep the anchored place under the anchor for the whole animation.
            const mapgeo::MapPoint anchored =
                m_animationStart.mapPointForViewPoint(*m_animationAnchor);
            const QSizeF view = m_animationStart.viewSize();
            center = {anchored.x - (m_animationAnchor->x() - view.width() / 2.0) / scale,
                      anchored.y - (m_animationAnchor->y() - view.height() / 2.0) / scale};
        } else {
            center = {lerp(m_animationStart.center().x, m_animationTarget.center().x, t),
                      lerp(m_animationStart.center().y, m_animationTarget.center().y, t)};
        }
        setViewport(mapgeo::MapViewport(center, scale, m_animationStart.viewSize()));
    });
    connect(m_animation, &QVariantAnimation::finished, this,
            [this] { setViewport(m_animationTarget); });

    connect(m_tiles, &TileLayer::tileLoaded, this, [this] {
        invalidateMapLayer();
        requestRepaint();
    });
    connect(m_tiles, &TileLayer::tileFailed, this, &ClickZoomMapView::updateTilesUnavailable);
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
    const mapgeo::MapViewport fitted = fittedBelow(rect, size(), edgePadding, m_fitTopInset);
    if (!fitted.isValid())
        return;
    if (animated && m_viewport.isValid()) {
        animateTo(fitted, std::nullopt);
    } else {
        stopAnimation();
        setViewport(fitted);
    }
}

std::optional<mapgeo::MapViewport> ClickZoomMapView::zoomedViewport(const QPointF& viewPoint,
                                                                    double factor) const {
    const mapgeo::MapRect visible = m_viewport.visibleMapRect();
    const mapgeo::MapRect null = mapgeo::mapRectNull();
    if ((visible.origin.x == null.origin.x && visible.origin.y == null.origin.y) ||
        !(visible.size.width > 0.0) || !(visible.size.height > 0.0) || !(factor > 0.0))
        return std::nullopt;
    const mapgeo::MapPoint anchor = m_viewport.mapPointForViewPoint(viewPoint);
    const mapgeo::MapSize world = mapgeo::mapSizeWorld();
    const double newWidth =
        std::min(std::max(visible.size.width * factor, kMinimumVisibleMapPoints), world.width);
    const double newHeight =
        std::min(std::max(visible.size.height * factor, kMinimumVisibleMapPoints), world.height);
    const QSizeF view = m_viewport.viewSize();
    // The view keeps its aspect ratio, so the bounds apply to the scale: neither side of the
    // visible rectangle below the minimum span nor above the world.
    const double scaleForWorld = std::max(view.width(), view.height()) / world.width;
    const double scaleForMinimum = std::min(view.width(), view.height()) / kMinimumVisibleMapPoints;
    double scale = std::min(view.width() / newWidth, view.height() / newHeight);
    scale = std::max(scaleForWorld, std::min(scaleForMinimum, scale));
    // The anchored place stays under the view point.
    const mapgeo::MapPoint center{anchor.x - (viewPoint.x() - view.width() / 2.0) / scale,
                                  anchor.y - (viewPoint.y() - view.height() / 2.0) / scale};
    return mapgeo::MapViewport(center, scale, view);
}

void ClickZoomMapView::zoomAt(const QPointF& viewPoint, double factor) {
    // A click during an animation zooms from what is on screen now, so the place under the
    // pointer is still the one that stays there.
    stopAnimation();
    const std::optional<mapgeo::MapViewport> target = zoomedViewport(viewPoint, factor);
    if (!target)
        return;
    userMovedMap();
    animateTo(*target, viewPoint);
}

bool ClickZoomMapView::isAnimating() const {
    return m_animation->state() == QAbstractAnimation::Running;
}

void ClickZoomMapView::scaleAround(const QPointF& viewPoint, double factor) {
    const std::optional<mapgeo::MapViewport> target = zoomedViewport(viewPoint, factor);
    if (!target)
        return;
    stopAnimation();
    userMovedMap();
    setViewport(*target);
}

void ClickZoomMapView::panBy(const QPointF& viewDelta) {
    if (!m_viewport.isValid())
        return;
    const double scale = m_viewport.pixelsPerMapPoint();
    // The centre stays on the world so the map cannot be lost off its edge.
    const mapgeo::MapPoint center{
        std::clamp(m_viewport.center().x - viewDelta.x() / scale, 0.0, mapgeo::kWorldMapPoints),
        std::clamp(m_viewport.center().y - viewDelta.y() / scale, 0.0, mapgeo::kWorldMapPoints)};
    setViewport(mapgeo::MapViewport(center, scale, m_viewport.viewSize()));
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
    m_animationStart = m_viewport;
    m_animationTarget = target;
    m_animationAnchor = anchor;
    m_animation->start();
}

void ClickZoomMapView::stopAnimation() {
    if (isAnimating())
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
    m_mapLayerDirty = true;
}

void ClickZoomMapView::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) {
    QQuickPaintedItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() == oldGeometry.size() || newGeometry.isEmpty())
        return;
    stopAnimation();
    if (m_fit) {
        setViewport(
            fittedBelow(m_fit->rect, newGeometry.size(), m_fit->edgePadding, m_fitTopInset));
    } else if (m_viewport.isValid()) {
        setViewport(mapgeo::MapViewport(m_viewport.center(), m_viewport.pixelsPerMapPoint(),
                                        newGeometry.size()));
    }
}

void ClickZoomMapView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) {
        event->ignore();
        return;
    }
    m_pressedButton = event->button();
    m_pressPosition = m_lastDragPosition = event->position();
    m_dragging = false;
    event->accept();
}

void ClickZoomMapView::mouseMoveEvent(QMouseEvent* event) {
    if (m_pressedButton != Qt::LeftButton)
        return;
    const QPointF position = event->position();
    if (!m_dragging && (position - m_pressPosition).manhattanLength() >=
                           QGuiApplication::styleHints()->startDragDistance()) {
        m_dragging = true;
        setKeepMouseGrab(true);
        stopAnimation();
        userMovedMap();
        mapDragged();
    }
    if (m_dragging) {
        panBy(position - m_lastDragPosition);
        m_lastDragPosition = position;
    }
    event->accept();
}

void ClickZoomMapView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != m_pressedButton)
        return;
    // Only a press released without dragging is a click.
    if (!m_dragging && !(m_pressedButton == Qt::LeftButton && clickedAt(event->position())))
        zoomAt(event->position(),
               m_pressedButton == Qt::LeftButton ? kClickZoomInFactor : kClickZoomOutFactor);
    m_pressedButton = Qt::NoButton;
    m_dragging = false;
    setKeepMouseGrab(false);
    event->accept();
}

void ClickZoomMapView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click zooms again, like any other click.
    mousePressEvent(event);
}

void ClickZoomMapView::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / kWheelNotch;
    if (notches == 0.0) {
        event->ignore();
        return;
    }
    scaleAround(event->position(), std::exp2(-notches * kWheelZoomStepLog2));
    event->accept();
}

void ClickZoomMapView::touchEvent(QTouchEvent* event) {
    const QList<QEventPoint>& points = event->points();
    switch (event->type()) {
    case QEvent::TouchBegin:
        m_touchMoved = false;
        if (!points.isEmpty())
            m_touchStart = points.first().position();
        break;
    case QEvent::TouchUpdate:
        if (points.size() >= 2) {
            const QPointF now0 = points[0].position(), now1 = points[1].position();
            const QPointF before0 = points[0].lastPosition(), before1 = points[1].lastPosition();
            const double spanNow = QLineF(now0, now1).length();
            const double spanBefore = QLineF(before0, before1).length();
            const QPointF middleNow = (now0 + now1) / 2.0;
            panBy(middleNow - (before0 + before1) / 2.0);
            if (spanNow > 0.0 && spanBefore > 0.0)
                scaleAround(middleNow, spanBefore / spanNow);
            m_touchMoved = true;
        } else if (points.size() == 1) {
            const QEventPoint& point = points.first();
            if (!m_touchMoved && (point.position() - m_touchStart).manhattanLength() >=
                                     QGuiApplication::styleHints()->startDragDistance()) {
                m_touchMoved = true;
                stopAnimation();
                userMovedMap();
                mapDragged();
            }
            if (m_touchMoved)
                panBy(point.position() - point.lastPosition());
        }
        break;
    case QEvent::TouchEnd:
        if (!m_touchMoved && points.size() == 1)
            zoomAt(points.first().position(), kClickZoomInFactor);
        break;
    default:
        break;
    }
    event->accept();
}

void ClickZoomMapView::paint(QPainter* painter) {
    if (!m_viewport.isValid())
        return;
    const qreal devicePixelRatio =
        window() ? window()->effectiveDevicePixelRatio() : painter->device()->devicePixelRatio();
    const QSize pixelSize = (size() * devicePixelRatio).toSize();
    const bool render = m_mapLayerDirty || m_mapLayer.size() != pixelSize ||
                        m_mapLayer.devicePixelRatio() != devicePixelRatio;
    if (render)
        renderMapLayer(pixelSize, devicePixelRatio);
    // Asked again on every repaint (the car moving), so tiles whose retry delay has passed
    // come back without the user touching the map. The network lives on the GUI thread, and
    // one report waiting there is enough: it reads the newest paint's tiles.
    if ((render || !m_paintMissing.isEmpty()) && !m_tileReportPending) {
        m_tileReportPending = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_tileReportPending = false;
                tilesMissing(m_paintMissing, m_paintShowedTile);
            },
            Qt::QueuedConnection);
    }
    if (m_cornerRadius > 0) {
        QPainterPath rounded;
        rounded.addRoundedRect(QRectF(QPointF(0, 0), size()), m_cornerRadius, m_cornerRadius);
        painter->setClipPath(rounded);
    }
    painter->drawImage(QPointF(0, 0), m_mapLayer);
    paintMarkerLayer(*painter, m_viewport);
    paintAttribution(*painter);
}

void ClickZoomMapView::renderMapLayer(const QSize& pixelSize, qreal devicePixelRatio) {
    if (m_mapLayer.size() != pixelSize)
        m_mapLayer = QImage(pixelSize, QImage::Format_ARGB32_Premultiplied);
    m_mapLayer.setDevicePixelRatio(devicePixelRatio);
    m_mapLayer.fill(kBackgroundColor);
    QPainter painter(&m_mapLayer);
    paintTiles(painter);
    paintMapLayer(painter, m_viewport);
    m_mapLayerDirty = false;
}

void ClickZoomMapView::paintTiles(QPainter& painter) {
    // One tile pixel per device pixel keeps tiles crisp on dense screens.
    const int zoom = tiles::zoomLevelForScale(m_viewport.pixelsPerMapPoint() *
                                              painter.device()->devicePixelRatio());
    const QList<TileKey> keys = tiles::tilesCovering(m_viewport.visibleMapRect(), zoom);
    m_paintMissing.clear();
    m_paintShowedTile = false;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const TileKey& key : keys) {
        const QRectF target = snappedViewRect(m_viewport, tiles::tileMapRect(key));
        const QImage image = m_tiles->tile(key);
        if (!image.isNull()) {
            painter.drawImage(target, image);
            m_paintShowedTile = true;
            continue;
        }
        m_paintMissing.append(key);
        TileKey ancestor = key;
        for (int levels = 1; levels <= kMaxFallbackLevels && ancestor.zoom > 0; ++levels) {
            ancestor = tiles::parentTile(ancestor);
            const QImage stand = m_tiles->tile(ancestor);
            if (stand.isNull())
                continue;
            const double part = static_cast<double>(stand.width()) / (1 << levels);
            const QRectF source((key.x - (ancestor.x << levels)) * part,
                                (key.y - (ancestor.y << levels)) * part, part, part);
            painter.drawImage(target, stand, source);
            m_paintShowedTile = true;
            break;
        }
    }
}

void ClickZoomMapView::tilesMissing(const QList<TileKey>& missing, bool anyTileShown) {
    m_missingTiles = missing;
    m_anyTileShown = anyTileShown;
    m_tiles->request(missing);
    updateTilesUnavailable();
}

void ClickZoomMapView::updateTilesUnavailable() {
    const bool unavailable =
        !m_anyTileShown &&
        std::any_of(m_missingTiles.cbegin(), m_missingTiles.cend(),
                    [this](const TileKey& key) { return m_tiles->hasFailed(key); });
    if (unavailable == m_tilesUnavailable)
        return;
    m_tilesUnavailable = unavailable;
    emit tilesUnavailableChanged();
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
    QFont font = QGuiApplication::font();
    font.setPixelSize(kAttributionPixelSize);
    return QFontMetricsF(font).height() + 2.0 * kAttributionMargin;
}

void ClickZoomMapView::paintAttribution(QPainter& painter) const {
    const QString text = m_tiles->attribution();
    if (text.isEmpty())
        return;
    painter.save();
    QFont font = painter.font();
    font.setPixelSize(kAttributionPixelSize);
    painter.setFont(font);
    const QSizeF textSize = painter.fontMetrics().size(Qt::TextSingleLine, text);
    const QRectF box(width() - textSize.width() - 2.0 * kAttributionMargin,
                     height() - textSize.height() - 2.0 * kAttributionMargin,
                     textSize.width() + 2.0 * kAttributionMargin,
                     textSize.height() + 2.0 * kAttributionMargin);
    QColor background(Qt::white);
    background.setAlphaF(kAttributionBackgroundAlpha);
    painter.fillRect(box, background);
    painter.setPen(kAttributionTextColor);
    painter.drawText(box, Qt::AlignCenter, text);
    painter.restore();
}
