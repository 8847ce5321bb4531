// Clicks, drags, the wheel and touches on the map (see MapGestures.h).
#include "MapGestures.h"

#include <QGuiApplication>
#include <QLineF>
#include <QMouseEvent>
#include <QStyleHints>
#include <QTouchEvent>
#include <QWheelEvent>
#include <cmath>

namespace {

// Each wheel notch (120 eighths of a degree) zooms by 2^this.
constexpr double kWheelZoomStepLog2 = 0.5;
constexpr double kWheelNotch = 120.0;

bool movedFarEnough(const QPointF& from, const QPointF& to) {
    return (to - from).manhattanLength() >= QGuiApplication::styleHints()->startDragDistance();
}

} // namespace

MapGestures::MapGestures(Actions actions) : actions_(std::move(actions)) {}

void MapGestures::mousePress(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) {
        event->ignore();
        return;
    }
    pressedButton_ = event->button();
    pressPosition_ = lastDragPosition_ = event->position();
    dragging_ = false;
    event->accept();
}

void MapGestures::mouseMove(QMouseEvent* event) {
    if (pressedButton_ != Qt::LeftButton)
        return;
    const QPointF position = event->position();
    if (!dragging_ && movedFarEnough(pressPosition_, position)) {
        dragging_ = true;
        actions_.keepMouseGrab(true);
        actions_.dragStarted();
    }
    if (dragging_) {
        actions_.pan(position - lastDragPosition_);
        lastDragPosition_ = position;
    }
    event->accept();
}

void MapGestures::mouseRelease(QMouseEvent* event) {
    if (event->button() != pressedButton_)
        return;
    // Only a press released without dragging is a click.
    if (!dragging_ && !(pressedButton_ == Qt::LeftButton && actions_.clicked(event->position())))
        actions_.zoomAnimated(event->position(), pressedButton_ == Qt::LeftButton
                                                     ? kClickZoomInFactor
                                                     : kClickZoomOutFactor);
    pressedButton_ = Qt::NoButton;
    dragging_ = false;
    actions_.keepMouseGrab(false);
    event->accept();
}

void MapGestures::wheel(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / kWheelNotch;
    if (notches == 0.0) {
        event->ignore();
        return;
    }
    actions_.zoomAtOnce(event->position(), std::exp2(-notches * kWheelZoomStepLog2));
    event->accept();
}

void MapGestures::touch(QTouchEvent* event) {
    const QList<QEventPoint>& points = event->points();
    switch (event->type()) {
    case QEvent::TouchBegin:
        touchMoved_ = false;
        if (!points.isEmpty())
            touchStart_ = points.first().position();
        break;
    case QEvent::TouchUpdate:
        if (points.size() >= 2) {
            const QPointF now0 = points[0].position(), now1 = points[1].position();
            const QPointF before0 = points[0].lastPosition(), before1 = points[1].lastPosition();
            const double spanNow = QLineF(now0, now1).length();
            const double spanBefore = QLineF(before0, before1).length();
            const QPointF middleNow = (now0 + now1) / 2.0;
            actions_.pan(middleNow - (before0 + before1) / 2.0);
            if (spanNow > 0.0 && spanBefore > 0.0)
                actions_.zoomAtOnce(middleNow, spanBefore / spanNow);
            touchMoved_ = true;
        } else if (points.size() == 1) {
            const QEventPoint& point = points.first();
            if (!touchMoved_ && movedFarEnough(touchStart_, point.position())) {
                touchMoved_ = true;
                actions_.dragStarted();
            }
            if (touchMoved_)
                actions_.pan(point.position() - point.lastPosition());
        }
        break;
    case QEvent::TouchEnd:
        if (!touchMoved_ && points.size() == 1)
            actions_.zoomAnimated(points.first().position(), kClickZoomInFactor);
        break;
    default:
        break;
    }
    event->accept();
}
