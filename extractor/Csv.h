// The telemetry CSV text: a fixed header of the 16 column names, then one line per record.
// Comma-separated, line-feed-separated, never quoted, no line feed after the last line.
#pragma once

#include "TelemetryRecord.h"

#include <span>
#include <string>

namespace MetadataExtractor {

// Builds the text one row at a time, each written straight into the text's buffer.
class CsvBuilder {
public:
    // The header alone, with room for `expectedRows` rows of any length, so that the text is
    // allocated once when no more rows come.
    explicit CsvBuilder(std::size_t expectedRows = 0);
    void appendRow(const TelemetryValues& values);
    void appendRow(const TelemetryRecord& record);
    std::string take() && { return std::move(text_); }

private:
    std::string text_;
};

std::string renderCsv(std::span<const TelemetryRecord> records);

} // namespace MetadataExtractor
