// Route building and the car's per-render values; see RouteTrack.h.
#include "RouteTrack.h"

#include "DriveSeries.h"
#include "TelemetryValues.h"

#include <algorithm>
#include <cmath>

namespace route {

std::optional<GeoCoordinate> coordinateFrom(QStringView latitude, QStringView longitude) {
    const std::optional<double> lat = telemetry::parseNumber(latitude);
    if (!lat)
        return std::nullopt;
    const std::optional<double> lon = telemetry::parseNumber(longitude);
    if (!lon)
        return std::nullopt;
    if (!analysis::isFix(*lat, *lon))
        return std::nullopt;
    return GeoCoordinate{*lat, *lon};
}

GeoCoordinateList buildRoute(const MetadataTable& table) {
    const qsizetype lat = table.firstColumn(kLatitudeColumn);
    const qsizetype lon = table.firstColumn(kLongitudeColumn);
    if (lat < 0 || lon < 0)
        return {};
    const qsizetype needed = std::max(lat, lon) + 1;
    GeoCoordinateList points;
    for (qsizetype r = 0; r < table.rowCount(); ++r) {
        if (table.cellCount(r) < needed)
            continue;
        const std::optional<GeoCoordinate> point =
            coordinateFrom(table.cellView(r, lat), table.cellView(r, lon));
        if (!point)
            continue;
        if (!points.isEmpty() && points.constLast() == *point)
            continue;
        points.append(*point);
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
