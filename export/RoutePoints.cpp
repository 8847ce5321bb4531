#include "RoutePoints.h"

#include "DriveSeries.h"
#include "ExportText.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace exports {
namespace {

// An event's time is a row's time; the nearest row is taken to absorb rounding.
constexpr double kRowTimeTolerance = 1e-6;

float speedOf(double speed) {
    const auto value = static_cast<float>(speed);
    return std::isfinite(value) ? value : std::numeric_limits<float>::quiet_NaN();
}

std::size_t rowAt(const std::vector<double>& rowTimes, double time) {
    const auto at = std::lower_bound(rowTimes.begin(), rowTimes.end(), time - kRowTimeTolerance);
    return static_cast<std::size_t>(at - rowTimes.begin());
}

} // namespace

double normalizedCourse(double degrees) {
    double course = std::fmod(degrees, kFullTurnDegrees);
    if (course < 0)
        course += kFullTurnDegrees;
    // A tiny negative remainder rounds up to a full turn; -0 becomes 0.
    return course >= kFullTurnDegrees || course == 0.0 ? 0.0 : course;
}

Route routeOf(const Telemetry& telemetry) {
    Route route;
    for (const analysis::TelemetryTable& table : telemetry.tables) {
        for (const analysis::DriveRow& values : table.rows()) {
            const std::size_t row = route.rows++;
            const double latitude = values.latitude;
            double longitude = values.longitude;
            if (!analysis::isFix(latitude, longitude))
                continue;
            if (longitude == analysis::kMaxAbsLongitude)
                longitude = -analysis::kMaxAbsLongitude;
            if (!route.points.empty() && route.points.back().latitude == latitude &&
                route.points.back().longitude == longitude)
                continue;
            const double heading = values.heading;
            route.points.push_back(
                {latitude, longitude, speedOf(values.speed),
                 std::isfinite(heading) ? normalizedCourse(heading) : analysis::DriveRow::kMissing,
                 row});
        }
    }
    if (route.points.empty() || telemetry.rowTimes.empty())
        return route;
    std::vector<std::size_t> pointRows;
    pointRows.reserve(route.points.size());
    for (const RoutePoint& point : route.points)
        pointRows.push_back(point.row);
    for (const analysis::DrivingEvent& event : telemetry.events) {
        const std::size_t row = rowAt(telemetry.rowTimes, event.time);
        route.events.push_back({&event, *analysis::routePointAt(pointRows, row)});
    }
    return route;
}

} // namespace exports
