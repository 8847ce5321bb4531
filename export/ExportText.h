// The small texts every export is made of: numbers, times, escaped strings, CSV rows.
#pragma once

#include "DrivingEvents.h"
#include "TelemetryRecord.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace exports {

// The shortest digits that read back to the same value, always in fixed notation (never an
// exponent, which GPX's xsd:decimal does not take): 12, 0.00001, -3.25.
void appendNumber(std::string& out, double value);
void appendNumber(std::string& out, float value);

// UTC as ISO 8601 with milliseconds: "2026-03-14T07:15:00.250Z".
void appendUtcTime(std::string& out, std::int64_t startSeconds, double seconds);
// Whole seconds: "2026-03-14T07:15:00Z".
void appendUtcTime(std::string& out, std::int64_t startSeconds);

void appendXmlEscaped(std::string& out, std::string_view text);
// The text quoted as a JSON string.
void appendJsonString(std::string& out, std::string_view text);

// What an event is called in a route file: its kind and value as --events prints them,
// "hard_brake 4.2", "assist_on FULL_GUIDE", "stop".
std::string eventLabel(const analysis::DrivingEvent& event);
// Whether the event's value is a number (m/s²) rather than a state text or nothing.
bool hasNumericValue(const analysis::DrivingEvent& event);
// The value in m/s² as the label writes it, one decimal.
void appendEventValue(std::string& out, double value);

using RowCells = std::array<std::string_view, MetadataExtractor::kTelemetryFieldCount>;

// Calls `visit(cells)` for each data row of the CSV texts in order; missing cells are empty.
template <typename Visit> void forEachRow(std::span<const std::string_view> texts, Visit visit) {
    RowCells cells;
    for (const std::string_view csv : texts) {
        for (std::size_t lineFeed = csv.find('\n');
             lineFeed != std::string_view::npos && lineFeed + 1 < csv.size();) {
            const std::size_t lineEnd = std::min(csv.find('\n', lineFeed + 1), csv.size());
            std::size_t cellStart = lineFeed + 1;
            for (std::string_view& cell : cells) {
                std::size_t cellEnd = cellStart;
                while (cellEnd < lineEnd && csv[cellEnd] != ',')
                    ++cellEnd;
                cell = cellStart <= lineEnd ? csv.substr(cellStart, cellEnd - cellStart)
                                            : std::string_view{};
                cellStart = cellEnd + 1;
            }
            visit(cells);
            lineFeed = lineEnd;
        }
    }
}

} // namespace exports
