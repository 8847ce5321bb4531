// Route building and the car's per-render values; see RouteTrack.h.
#include "RouteTrack.h"

#include "DriveSeries.h"

#include <algorithm>
#include <cmath>

namespace route {

std::optional<GeoCoordinate> coordinateFrom(std::optional<double> latitude,
                                            std::optional<double> longitude) {
    if (!latitude || !longitude || !analysis::isFix(*latitude, *longitude))
        return std::nullopt;
    return GeoCoordinate{*latitude, *longitude};
}

GeoCoordinateList buildRoute(const analysis::TelemetryTable& table) {
    GeoCoordinateList points;
    for (const analysis::DriveRow& row : table.rows()) {
        if (!analysis::isFix(row.latitude, row.longitude))
            continue;
        const GeoCoordinate point{row.latitude, row.longitude};
        if (!points.isEmpty() && points.constLast() == point)
            continue;
        points.append(point);
    }
    points.squeeze();
    return points;
}

std::optional<double> routeProgress(double playbackTime, double playbackDuration) {
    if (!(playbackDuration > 0))
        return std::nullopt;
    const double p = playbackTime / playbackDuration;
    return p <= 0 ? 0.0 : std::min(p, 1.0);
}

} // namespace route
