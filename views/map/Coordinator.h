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

    const std::optional<QString>& routeID() const { return routeID_; }
    qsizetype routeCount() const { return routeCount_; }
    const RouteAndCarRenderer* renderer() const { return renderer_ ? &*renderer_ : nullptr; }
    const QList<RouteMark>& marks() const { return marks_; }
    int rebuildCount() const { return rebuildCount_; }

private:
    void rebuild(const RouteInputs& inputs);

    std::optional<QString> routeID_;
    qsizetype routeCount_ = 0;
    std::optional<RouteAndCarRenderer> renderer_;
    QList<RouteMark> marks_;
    int rebuildCount_ = 0;
};
