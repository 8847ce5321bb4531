// The telemetry CSV text: a fixed header of the 16 column names, then one line per record.
// Comma-separated, line-feed-separated, never quoted, no line feed after the last line.
#pragma once

#include "TelemetryRecord.h"

#include <span>
#include <string>

namespace MetadataExtractor {

std::string renderCsv(std::span<const TelemetryRecord> records);

} // namespace MetadataExtractor
