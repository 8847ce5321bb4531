// Writing the loaded clip's route for other tools (GPX, GeoJSON or KML, as the save panel's
// filter says), from the telemetry table the window holds.
#pragma once

#include "TelemetryTable.h"
#include "Trips.h"

#include <QString>
#include <QStringList>
#include <QUrl>

namespace routeexport {

// The formats the save panel offers, as name filters in its order: GPX, GeoJSON, KML.
QStringList nameFilters();

// The panel's proposal for the clip at `clipPath`: its name without extension and the first
// filter's suffix, in the clip's own folder. Empty without a clip.
QUrl proposedUrl(const QString& clipPath);

// The playing trip's proposal: START_trip and the first filter's suffix, in its folder, as the
// command line names its joined trip.
QUrl proposedTripUrl(const trips::Trip& trip);

// The file a route is written to: the destination when its extension names one of the formats,
// else the destination with the extension of filter `filterIndex` added.
QUrl finalUrl(const QUrl& destination, int filterIndex);

// Writes the route of `table`, the telemetry of the clip at `clipPath` (its name gives the start
// time, its movie header the duration), atomically to finalUrl(). Returns the file written, or an
// empty URL on failure.
QUrl write(const analysis::TelemetryTable& table, const QString& clipPath, const QUrl& destination,
           int filterIndex);

// Writes the whole trip's route as the command line's --join-trips --format does (each
// moment's telemetry read again from its file, so call it off the GUI thread).
QUrl writeTrip(const trips::Trip& trip, const QUrl& destination, int filterIndex);

} // namespace routeexport
