// Which rows a route is drawn through, and where its events sit on it.
#pragma once

#include "Exports.h"

#include <cstddef>
#include <vector>

namespace exports {

inline constexpr double kFullTurnDegrees = 360.0;

struct RoutePoint {
    double latitude = 0.0;
    double longitude = 0.0; // in [-180, 180)
    float speed = 0.0f;     // m/s; NaN when missing or not finite
    double course = 0.0;    // degrees in [0, 360); NaN when missing or not finite
    std::size_t row = 0;    // across all CSV texts
};

struct EventMark {
    const analysis::DrivingEvent* event = nullptr;
    std::size_t point = 0; // where the car was: the last point at or before the event's row
};

struct Route {
    std::size_t rows = 0;
    std::vector<RoutePoint> points;
    std::vector<EventMark> events; // those that have a position, in time order
};

// One point per row with a valid fix (both finite, within range, not both 0), except a row
// whose position is the previous point's. A longitude of 180 is -180.
Route routeOf(const Telemetry& telemetry);

// `degrees` turned into [0, 360).
double normalizedCourse(double degrees);

} // namespace exports
