// Track and car drawing (see RouteAndCarRenderer.h).
#include "RouteAndCarRenderer.h"

#include <QLineF>
#include <QPainter>
#include <QPolygonF>
#include <QRectF>
#include <cmath>
#include <utility>

namespace {

// Points closer than this to the previous drawn point add nothing visible.
constexpr double kSimplifyTolerancePoints = 0.5;

struct CarPart {
    QRectF rect;
    double cornerRadius;
};
constexpr double kBodyStrokeWidth = 1.2;
constexpr double kBodyStrokeAlpha = 0.9;
constexpr double kCabinAlpha = 0.72;
const CarPart kWheels[] = {
    {{-12, -14, 5, 8}, 2}, {{7, -14, 5, 8}, 2}, {{-12, 6, 5, 8}, 2}, {{7, 6, 5, 8}, 2}};
const CarPart kBody{{-7, -16, 14, 32}, 6};
const CarPart kCabin{{-4, -7, 8, 14}, 2};

// Liang-Barsky: the part of segment a-b inside `clip`, if any.
bool clipSegment(const QRectF& clip, QPointF& a, QPointF& b) {
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    double t0 = 0.0;
    double t1 = 1.0;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {a.x() - clip.left(), clip.right() - a.x(), a.y() - clip.top(),
                        clip.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const QPointF start = a;
    a = start + QPointF(dx, dy) * t0;
    b = start + QPointF(dx, dy) * t1;
    return true;
}

} // namespace

RouteAndCarRenderer::RouteAndCarRenderer(RouteShape shape)
    : m_shape(std::move(shape)), m_strokeColor(kSystemRed) {
    m_strokeColor.setAlphaF(kStrokeAlpha);
}

bool RouteAndCarRenderer::updateCar(const GeoCoordinate& coordinate, double heading) {
    if (m_carCoordinate && m_carCoordinate->latitude == coordinate.latitude &&
        m_carCoordinate->longitude == coordinate.longitude && m_carHeading == heading)
        return false;
    m_carCoordinate = coordinate;
    m_carHeading = heading;
    return true;
}

void RouteAndCarRenderer::drawTrack(QPainter& painter, const mapgeo::MapViewport& viewport,
                                    const std::vector<QRgb>& colours) const {
    const QList<mapgeo::MapPoint>& points = m_shape.mapPoints();
    if (points.size() < 2 || !viewport.isValid())
        return;
    const bool coloured = colours.size() == static_cast<std::size_t>(points.size());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const auto penOf = [this](QColor colour) {
        return QPen(colour, m_lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    };
    QRgb runColour = coloured ? colours.front() : m_strokeColor.rgba();
    painter.setPen(penOf(coloured ? QColor::fromRgba(runColour) : m_strokeColor));
    painter.setBrush(Qt::NoBrush);

    // Far-away points would overflow the rasteriser and cost time: clip to the view first.
    const double margin = 2.0 * m_lineWidth;
    const QRectF clip =
        QRectF(QPointF(0, 0), viewport.viewSize()).adjusted(-margin, -margin, margin, margin);
    QPolygonF run;
    std::optional<QPointF> skippedTail;
    const auto flush = [&] {
        if (skippedTail)
            run.append(*skippedTail);
        skippedTail.reset();
        if (run.size() >= 2)
            painter.drawPolyline(run);
        run.clear();
    };

    QPointF previous = viewport.viewPointForMapPoint(points.first());
    for (qsizetype i = 1; i < points.size(); ++i) {
        const QPointF current = viewport.viewPointForMapPoint(points[i]);
        QPointF a = previous;
        QPointF b = current;
        previous = current;
        if (!clipSegment(clip, a, b)) {
            flush();
            continue;
        }
        // A change of colour ends the run; the next one starts where it ended.
        if (coloured && colours[i - 1] != runColour) {
            flush();
            runColour = colours[i - 1];
            painter.setPen(penOf(QColor::fromRgba(runColour)));
        }
        // A segment that does not continue the current run (it re-enters the view) starts anew.
        if (!run.isEmpty() && a != (skippedTail ? *skippedTail : run.last()))
            flush();
        if (run.isEmpty())
            run.append(a);
        const bool clipped = b != current;
        if (clipped || QLineF(run.last(), b).length() >= kSimplifyTolerancePoints) {
            skippedTail.reset();
            run.append(b);
        } else {
            skippedTail = b;
        }
        if (clipped)
            flush();
    }
    flush();
    painter.restore();
}

void RouteAndCarRenderer::drawCar(QPainter& painter) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(kMarkerUnitPoints, kMarkerUnitPoints);

    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    for (const CarPart& wheel : kWheels)
        painter.drawRoundedRect(wheel.rect, wheel.cornerRadius, wheel.cornerRadius);

    QColor bodyStroke(Qt::white);
    bodyStroke.setAlphaF(kBodyStrokeAlpha);
    painter.setPen(QPen(bodyStroke, kBodyStrokeWidth));
    painter.setBrush(kSystemRed);
    painter.drawRoundedRect(kBody.rect, kBody.cornerRadius, kBody.cornerRadius);

    QColor cabin(Qt::black);
    cabin.setAlphaF(kCabinAlpha);
    painter.setPen(Qt::NoPen);
    painter.setBrush(cabin);
    painter.drawRoundedRect(kCabin.rect, kCabin.cornerRadius, kCabin.cornerRadius);
    painter.restore();
}
