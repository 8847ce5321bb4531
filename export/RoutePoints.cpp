#include "RoutePoints.h"

#include "DriveSeries.h"
#include "ExportText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace exports {
namespace {

// Field numbers of the cells a route reads.
constexpr std::size_t kSpeedField = 4;
constexpr std::size_t kLatitudeField = 11;
constexpr std::size_t kLongitudeField = 12;
constexpr std::size_t kHeadingField = 13;
// An event's time is a row's time; the nearest row is taken to absorb rounding.
constexpr double kRowTimeTolerance = 1e-6;

template <typename Number> Number numberOf(std::string_view cell) {
    Number value = std::numeric_limits<Number>::quiet_NaN();
    const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
    if (error != std::errc() || end != cell.data() + cell.size() || !std::isfinite(value))
        return std::numeric_limits<Number>::quiet_NaN();
    return value;
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
    forEachRow(telemetry.csvTexts, [&](const RowCells& cells) {
        const std::size_t row = route.rows++;
        const double latitude = numberOf<double>(cells[kLatitudeField - 1]);
        double longitude = numberOf<double>(cells[kLongitudeField - 1]);
        if (!analysis::isFix(latitude, longitude))
            return;
        if (longitude == analysis::kMaxAbsLongitude)
            longitude = -analysis::kMaxAbsLongitude;
        if (!route.points.empty() && route.points.back().latitude == latitude &&
            route.points.back().longitude == longitude)
            return;
        const double heading = numberOf<double>(cells[kHeadingField - 1]);
        route.points.push_back({latitude, longitude, numberOf<float>(cells[kSpeedField - 1]),
                                std::isnan(heading) ? heading : normalizedCourse(heading), row});
    });
    if (route.points.empty() || telemetry.rowTimes.empty())
        return route;
    for (const analysis::DrivingEvent& event : telemetry.events) {
        const std::size_t row = rowAt(telemetry.rowTimes, event.time);
        const auto after =
            std::upper_bound(route.points.begin(), route.points.end(), row,
                             [](std::size_t r, const RoutePoint& point) { return r < point.row; });
        // Before the first fix the car is taken to be where it first appears.
        const auto at = after == route.points.begin() ? after : after - 1;
        route.events.push_back({&event, static_cast<std::size_t>(at - route.points.begin())});
    }
    return route;
}

} // namespace exports
