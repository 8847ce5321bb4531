// The small texts every export is made of: numbers, times, escaped strings, CSV rows.
#pragma once

#include "DrivingEvents.h"
#include "TelemetryRecord.h"
#include "TelemetryTable.h"

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

// Calls `visit(cells)` for each data row of the tables in order; missing cells are empty.
template <typename Visit>
void forEachRow(std::span<const analysis::TelemetryTable> tables, Visit visit) {
    RowCells cells;
    for (const analysis::TelemetryTable& table : tables) {
        std::array<std::size_t, MetadataExtractor::kTelemetryFieldCount> columns;
        for (std::size_t field = 0; field < columns.size(); ++field)
            columns[field] = table.column(static_cast<analysis::Field>(field + 1));
        for (std::size_t row = 0; row < table.rowCount(); ++row) {
            for (std::size_t field = 0; field < columns.size(); ++field)
                cells[field] = table.cell(row, columns[field]);
            visit(cells);
        }
    }
}

} // namespace exports
