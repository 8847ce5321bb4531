// Writing the loaded clip's route for other tools (GPX, GeoJSON or KML, as the save panel's
// filter says), from the telemetry CSV the window holds.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

namespace RouteExport {

// The formats the save panel offers, as name filters in its order: GPX, GeoJSON, KML.
QStringList nameFilters();

// The panel's proposal for the clip at `clipPath`: its name without extension and the first
// filter's suffix, in the clip's own folder. Empty without a clip.
QUrl proposedUrl(const QString& clipPath);

// Writes the route of `csv`, the telemetry of the clip at `clipPath` (its name gives the start
// time, its movie header the duration), atomically. The format is the destination's extension
// when it names one, else that of filter `filterIndex`, whose extension is then added. Returns
// the file written, or an empty URL on failure.
QUrl write(const QString& csv, const QString& clipPath, const QUrl& destination, int filterIndex);

} // namespace RouteExport
