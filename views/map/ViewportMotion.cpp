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
    : QObject(parent), animation_(new QVariantAnimation(this)) {
    animation_->setDuration(kZoomAnimationMs);
    animation_->setStartValue(0.0);
    animation_->setEndValue(1.0);
    animation_->setEasingCurve(QEasingCurve::OutCubic);
    connect(animation_, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { step(value.toDouble()); });
    connect(animation_, &QVariantAnimation::finished, this, [this] { emit stepped(target_); });
}

void ViewportAnimation::start(const mapgeo::MapViewport& from, const mapgeo::MapViewport& to,
                              std::optional<QPointF> anchor) {
    stop();
    start_ = from;
    target_ = to;
    anchor_ = anchor;
    animation_->start();
}

void ViewportAnimation::stop() {
    if (isRunning())
        animation_->stop();
}

bool ViewportAnimation::isRunning() const {
    return animation_->state() == QAbstractAnimation::Running;
}

void ViewportAnimation::step(double t) {
    if (t >= 1.0) {
        emit stepped(target_);
        return;
    }
    const double startScale = start_.pixelsPerMapPoint();
    const double scale = startScale * std::pow(target_.pixelsPerMapPoint() / startScale, t);
    mapgeo::MapPoint center;
    if (anchor_) {
        // Keep the anchored place under the anchor for the whole animation.
        const mapgeo::MapPoint anchored = start_.mapPointForViewPoint(*anchor_);
        const QSizeF view = start_.viewSize();
        center = {anchored.x - (anchor_->x() - view.width() / 2.0) / scale,
                  anchored.y - (anchor_->y() - view.height() / 2.0) / scale};
    } else {
        center = {lerp(start_.center().x, target_.center().x, t),
                  lerp(start_.center().y, target_.center().y, t)};
    }
    emit stepped(mapgeo::MapViewport(center, scale, start_.viewSize()));
}
