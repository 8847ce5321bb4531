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

MapGestures::MapGestures(Actions actions) : m_actions(std::move(actions)) {}

void MapGestures::mousePress(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) {
        event->ignore();
        return;
    }
    m_pressedButton = event->button();
    m_pressPosition = m_lastDragPosition = event->position();
    m_dragging = false;
    event->accept();
}

void MapGestures::mouseMove(QMouseEvent* event) {
    if (m_pressedButton != Qt::LeftButton)
        return;
    const QPointF position = event->position();
    if (!m_dragging && movedFarEnough(m_pressPosition, position)) {
        m_dragging = true;
        m_actions.keepMouseGrab(true);
        m_actions.dragStarted();
    }
    if (m_dragging) {
        m_actions.pan(position - m_lastDragPosition);
        m_lastDragPosition = position;
    }
    event->accept();
}

void MapGestures::mouseRelease(QMouseEvent* event) {
    if (event->button() != m_pressedButton)
        return;
    // Only a press released without dragging is a click.
    if (!m_dragging && !(m_pressedButton == Qt::LeftButton && m_actions.clicked(event->position())))
        m_actions.zoomAnimated(event->position(), m_pressedButton == Qt::LeftButton
                                                      ? kClickZoomInFactor
                                                      : kClickZoomOutFactor);
    m_pressedButton = Qt::NoButton;
    m_dragging = false;
    m_actions.keepMouseGrab(false);
    event->accept();
}

void MapGestures::wheel(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / kWheelNotch;
    if (notches == 0.0) {
        event->ignore();
        return;
    }
    m_actions.zoomAtOnce(event->position(), std::exp2(-notches * kWheelZoomStepLog2));
    event->accept();
}

void MapGestures::touch(QTouchEvent* event) {
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
            m_actions.pan(middleNow - (before0 + before1) / 2.0);
            if (spanNow > 0.0 && spanBefore > 0.0)
                m_actions.zoomAtOnce(middleNow, spanBefore / spanNow);
            m_touchMoved = true;
        } else if (points.size() == 1) {
            const QEventPoint& point = points.first();
            if (!m_touchMoved && movedFarEnough(m_touchStart, point.position())) {
                m_touchMoved = true;
                m_actions.dragStarted();
            }
            if (m_touchMoved)
                m_actions.pan(point.position() - point.lastPosition());
        }
        break;
    case QEvent::TouchEnd:
        if (!m_touchMoved && points.size() == 1)
            m_actions.zoomAnimated(points.first().position(), kClickZoomInFactor);
        break;
    default:
        break;
    }
    event->accept();
}
