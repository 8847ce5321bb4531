// The clip's GPS track from the telemetry table, and the per-render values that place the car.
#pragma once

#include "GeoCoordinate.h"
#include "TelemetryTable.h"

#include <optional>

namespace route {

// The track: rows whose position is a fix (analysis::isFix), in table order, runs of identical
// consecutive points collapsed to one.
GeoCoordinateList buildRoute(const analysis::TelemetryTable& table);

// A coordinate, or nothing when either number is missing or the pair is no fix.
std::optional<GeoCoordinate> coordinateFrom(std::optional<double> latitude,
                                            std::optional<double> longitude);

// Playback fraction clamped to [0, 1]; nothing while the duration is not above 0.
std::optional<double> routeProgress(double playbackTime, double playbackDuration);

} // namespace route
