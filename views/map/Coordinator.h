// Decides, for each change of the map's inputs, whether the route must be rebuilt (another
// route identity or another number of points) or only the car moved, and keeps what is drawn:
// the route's renderer and its "Start"/"End" marks.
#pragma once

#include "GeoCoordinate.h"
#include "RouteAndCarRenderer.h"

#include <QList>
#include <QString>
#include <optional>

struct RouteInputs {
    std::optional<QString> routeID;
    GeoCoordinateList coordinates;
    std::optional<GeoCoordinate> currentCoordinate;
    std::optional<double> currentProgress;
    std::optional<double> currentHeading;
};

struct RouteMark {
    GeoCoordinate coordinate;
    QString title;
};

class Coordinator {
public:
    struct Outcome {
        bool rebuilt = false;
        bool carChanged = false;
    };

    Outcome update(const RouteInputs& inputs);

    const std::optional<QString>& routeID() const { return m_routeID; }
    qsizetype routeCount() const { return m_routeCount; }
    const RouteAndCarRenderer* renderer() const { return m_renderer ? &*m_renderer : nullptr; }
    const QList<RouteMark>& marks() const { return m_marks; }
    int rebuildCount() const { return m_rebuildCount; }

private:
    void rebuild(const RouteInputs& inputs);

    std::optional<QString> m_routeID;
    qsizetype m_routeCount = 0;
    std::optional<RouteAndCarRenderer> m_renderer;
    QList<RouteMark> m_marks;
    int m_rebuildCount = 0;
};
