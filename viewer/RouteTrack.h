// The clip's GPS track from the metadata table, and the per-render values that place the car.
#pragma once

#include "GeoCoordinate.h"
#include "MetadataTable.h"

#include <optional>

namespace route {

inline constexpr QStringView kLatitudeColumn = u"latitude_deg";
inline constexpr QStringView kLongitudeColumn = u"longitude_deg";
inline constexpr QStringView kHeadingColumn = u"heading_deg";

// The track: rows whose first "latitude_deg" and "longitude_deg" cells parse and are a fix
// (analysis::isFix), in table order, runs of identical consecutive points collapsed to one.
GeoCoordinateList buildRoute(const MetadataTable& table);

// A coordinate from two cell texts, or nothing when either does not parse or is no fix.
std::optional<GeoCoordinate> coordinateFrom(QStringView latitude, QStringView longitude);

// Playback fraction clamped to [0, 1]; nothing while the duration is not above 0.
std::optional<double> routeProgress(double playbackTime, double playbackDuration);

} // namespace route
