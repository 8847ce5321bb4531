// A clip's or trip's telemetry written for other tools: GPX for route tools, GeoJSON for web
// maps, KML for globe viewers, JSON Lines for data work, besides the engine's own CSV. No Qt.
#pragma once

#include "DrivingEvents.h"
#include "Trips.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace exports {

enum class Format { Csv, Gpx, GeoJson, Kml, JsonLines };

// "csv", "gpx", "geojson", "kml" or "jsonl".
std::optional<Format> formatNamed(std::string_view name);
// What a file of the format adds to its clip's or trip's name: "_sei.csv", ".gpx", ...
std::string_view fileSuffix(Format format);

// Everything an export is written from.
struct Telemetry {
    std::string name;                         // the clip's file name without extension, or trip
    std::optional<std::int64_t> startSeconds; // when time 0 is, in seconds since the epoch
    // The telemetry of each clip with rows, in order, each read once from its text.
    std::vector<analysis::TelemetryTable> tables;
    std::vector<double> rowTimes; // per row of all tables; empty when unknown
    std::vector<analysis::DrivingEvent> events;
};

// One clip: rows spread evenly over `duration`; start time from a name the trips module reads.
Telemetry clipTelemetry(analysis::TelemetryTable table, std::string_view clipFileName,
                        std::optional<double> duration);

// A trip as one route: its moments' telemetry clips in order, in trip time. Times are known
// only when every such clip has a duration.
Telemetry tripTelemetry(const trips::Trip& trip, std::string name,
                        const analysis::CsvSource& csvOf = analysis::extractedCsv);

// Takes a file's text piece by piece, in order.
using TextSink = std::function<void(std::string_view)>;

// The whole file's text, handed to `sink` in pieces of about 64 KiB, so that an hour's GPX
// (about 46 MB) is never held whole. Csv gives the CSV texts as they are.
void render(Format format, const Telemetry& telemetry, const TextSink& sink);
// Data rows of all the tables.
std::size_t rowCount(const Telemetry& telemetry);
// The same text in one string.
std::string render(Format format, const Telemetry& telemetry);

} // namespace exports
