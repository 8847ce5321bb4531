// How the map's viewport moves: fitted below a strip, zoomed about a view point within the
// zoom limits, panned with its centre kept on the world, and animated from one viewport to
// another.
#pragma once

#include "MapGeometry.h"

#include <QObject>
#include <QPointF>
#include <optional>

class QVariantAnimation;

namespace mapgeo {

// The least span of map points either side of the view may show.
inline constexpr double kMinimumVisibleMapPoints = 32.0;

// `rect` fitted into the view less a strip of `topInset` along its top.
MapViewport fittedBelow(const MapRect& rect, const QSizeF& viewSize, double edgePadding,
                        double topInset);
// Zoomed by `factor` (below 1: in) around a view point, which stays over the same place;
// nothing for a view without size or a factor that is not positive.
std::optional<MapViewport> zoomedAbout(const MapViewport& viewport, const QPointF& viewPoint,
                                       double factor);
MapViewport pannedBy(const MapViewport& viewport, const QPointF& viewDelta);

} // namespace mapgeo

// Moves the viewport from where it is to a target over a short eased run, in steps.
class ViewportAnimation : public QObject {
    Q_OBJECT

public:
    explicit ViewportAnimation(QObject* parent = nullptr);

    // With an `anchor`, the place under that view point stays there the whole way.
    void start(const mapgeo::MapViewport& from, const mapgeo::MapViewport& to,
               std::optional<QPointF> anchor);
    void stop();
    bool isRunning() const;

signals:
    // The viewport to show now; the last step is the target itself.
    void stepped(const mapgeo::MapViewport& viewport);

private:
    // `t` runs from 0 to 1 along the eased curve.
    void step(double t);

    QVariantAnimation* m_animation;
    mapgeo::MapViewport m_start;
    mapgeo::MapViewport m_target;
    std::optional<QPointF> m_anchor;
};
