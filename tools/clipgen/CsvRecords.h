// Reads telemetry CSV in the extractor's format back into records, so that a clip made from
// a CSV extracts to the same CSV byte for byte.
#pragma once

#include "TelemetryRecord.h"

#include <string>
#include <string_view>
#include <vector>

namespace clipgen {

struct CsvParseResult {
    std::vector<TelemetryRecord> records;
    std::string error; // empty on success
};

CsvParseResult parseTelemetryCsv(std::string_view text);

} // namespace clipgen
