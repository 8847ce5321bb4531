// --format: what one clip's or trip's telemetry is written as, besides the engine's CSV.
#pragma once

#include "Exports.h"
#include "Trips.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace extractcli {

// A --format value that names no format.
inline constexpr std::string_view kUnknownFormat = "needs csv, gpx, geojson, kml or jsonl";

// The clip's file text, ending with a line feed: its telemetry as `format`, or for csv the
// CSV as extracted. `clipBytes` holds a clip read from standard input (its duration is read
// there), and is empty otherwise.
void writeClipText(exports::Format format, const std::string& csv, const std::string& clipPath,
                   std::span<const std::uint8_t> clipBytes, const exports::TextSink& sink);

// Folder mode's file for a clip: its name without extension and the format's suffix.
std::string formattedFileName(const std::string& clipPath, exports::Format format);

// A joined trip as one route in `format` (not csv); `rows` gets its telemetry rows.
void writeFormattedTrip(exports::Format format, const trips::Trip& trip,
                        const std::string& joinedCsvName, std::size_t& rows,
                        const exports::TextSink& sink);
// The joined file's name for the format: the CSV name with the format's extension.
std::string formattedTripFileName(const std::string& joinedCsvName, exports::Format format);

} // namespace extractcli
