// Mouse, wheel and touch on the map, read as what they ask of it: a left click or a tap zooms
// in around the pointer and a right click out, a drag pans, the wheel and pinches zoom at once.
#pragma once

#include <QPointF>
#include <functional>

class QMouseEvent;
class QTouchEvent;
class QWheelEvent;

class MapGestures {
public:
    static constexpr double kClickZoomInFactor = 0.5;
    static constexpr double kClickZoomOutFactor = 2.0;

    // What the gestures do to the map. Factors below 1 zoom in.
    struct Actions {
        std::function<void(const QPointF& viewDelta)> pan;
        // At once (wheel, pinch) or animated (clicks, taps), the view point staying in place.
        std::function<void(const QPointF& viewPoint, double factor)> zoomAtOnce;
        std::function<void(const QPointF& viewPoint, double factor)> zoomAnimated;
        std::function<void()> dragStarted;
        // A left click; true when it was taken, so that it does not zoom.
        std::function<bool(const QPointF& viewPoint)> clicked;
        std::function<void(bool keep)> keepMouseGrab;
    };

    explicit MapGestures(Actions actions);

    void mousePress(QMouseEvent* event);
    void mouseMove(QMouseEvent* event);
    void mouseRelease(QMouseEvent* event);
    void wheel(QWheelEvent* event);
    void touch(QTouchEvent* event);

private:
    Actions m_actions;

    Qt::MouseButton m_pressedButton = Qt::NoButton;
    QPointF m_pressPosition;
    QPointF m_lastDragPosition;
    bool m_dragging = false;

    bool m_touchMoved = false;
    QPointF m_touchStart;
};
