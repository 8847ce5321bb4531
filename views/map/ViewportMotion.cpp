// Viewport fitting, zoom limits, panning and the zoom animation (see ViewportMotion.h).
#include "ViewportMotion.h"

#include <QVariantAnimation>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kZoomAnimationMs = 250;

double lerp(double from, double to, double t) {
    return from + (to - from) * t;
}

} // namespace

namespace mapgeo {

MapViewport fittedBelow(const MapRect& rect, const QSizeF& viewSize, double edgePadding,
                        double topInset) {
    const QSizeF below(viewSize.width(), std::max(0.0, viewSize.height() - topInset));
    const MapViewport fitted = MapViewport::fitting(rect, below, edgePadding);
    if (!fitted.isValid() || !(topInset > 0.0))
        return fitted;
    // The same scale over the whole view, its centre raised by half the strip.
    MapPoint centre = fitted.center();
    centre.y -= topInset / 2.0 / fitted.pixelsPerMapPoint();
    return MapViewport(centre, fitted.pixelsPerMapPoint(), viewSize);
}

std::optional<MapViewport> zoomedAbout(const MapViewport& viewport, const QPointF& viewPoint,
                                       double factor) {
    const MapRect visible = viewport.visibleMapRect();
    const MapRect null = mapRectNull();
    if ((visible.origin.x == null.origin.x && visible.origin.y == null.origin.y) ||
        !(visible.size.width > 0.0) || !(visible.size.height > 0.0) || !(factor > 0.0))
        return std::nullopt;
    const MapPoint anchor = viewport.mapPointForViewPoint(viewPoint);
    const MapSize world = mapSizeWorld();
    const double newWidth =
        std::min(std::max(visible.size.width * factor, kMinimumVisibleMapPoints), world.width);
    const double newHeight =
        std::min(std::max(visible.size.height * factor, kMinimumVisibleMapPoints), world.height);
    const QSizeF view = viewport.viewSize();
    // The view keeps its aspect ratio, so the bounds apply to the scale: neither side of the
    // visible rectangle below the minimum span nor above the world.
    const double scaleForWorld = std::max(view.width(), view.height()) / world.width;
    const double scaleForMinimum = std::min(view.width(), view.height()) / kMinimumVisibleMapPoints;
    double scale = std::min(view.width() / newWidth, view.height() / newHeight);
    scale = std::max(scaleForWorld, std::min(scaleForMinimum, scale));
    // The anchored place stays under the view point.
    const MapPoint center{anchor.x - (viewPoint.x() - view.width() / 2.0) / scale,
                          anchor.y - (viewPoint.y() - view.height() / 2.0) / scale};
    return MapViewport(center, scale, view);
}

MapViewport pannedBy(const MapViewport& viewport, const QPointF& viewDelta) {
    const double scale = viewport.pixelsPerMapPoint();
    // The centre stays on the world so the map cannot be lost off its edge.
    const MapPoint center{
        std::clamp(viewport.center().x - viewDelta.x() / scale, 0.0, kWorldMapPoints),
        std::clamp(viewport.center().y - viewDelta.y() / scale, 0.0, kWorldMapPoints)};
    return MapViewport(center, scale, viewport.viewSize());
}

} // namespace mapgeo

ViewportAnimation::ViewportAnimation(QObject* parent)
    : QObject(parent), m_animation(new QVariantAnimation(this)) {
    m_animation->setDuration(kZoomAnimationMs);
    m_animation->setStartValue(0.0);
    m_animation->setEndValue(1.0);
    m_animation->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { step(value.toDouble()); });
    connect(m_animation, &QVariantAnimation::finished, this, [this] { emit stepped(m_target); });
}

void ViewportAnimation::start(const mapgeo::MapViewport& from, const mapgeo::MapViewport& to,
                              std::optional<QPointF> anchor) {
    stop();
    m_start = from;
    m_target = to;
    m_anchor = anchor;
    m_animation->start();
}

void ViewportAnimation::stop() {
    if (isRunning())
        m_animation->stop();
}

bool ViewportAnimation::isRunning() const {
    return m_animation->state() == QAbstractAnimation::Running;
}

void ViewportAnimation::step(double t) {
    if (t >= 1.0) {
        emit stepped(m_target);
        return;
    }
    const double startScale = m_start.pixelsPerMapPoint();
    const double scale = startScale * std::pow(m_target.pixelsPerMapPoint() / startScale, t);
    mapgeo::MapPoint center;
    if (m_anchor) {
        // Keep the anchored place under the anchor for the whole animation.
        const mapgeo::MapPoint anchored = m_start.mapPointForViewPoint(*m_anchor);
        const QSizeF view = m_start.viewSize();
        center = {anchored.x - (m_anchor->x() - view.width() / 2.0) / scale,
                  anchored.y - (m_anchor->y() - view.height() / 2.0) / scale};
    } else {
        center = {lerp(m_start.center().x, m_target.center().x, t),
                  lerp(m_start.center().y, m_target.center().y, t)};
    }
    emit stepped(mapgeo::MapViewport(center, scale, m_start.viewSize()));
}
