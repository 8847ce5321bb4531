// CSV rendering of accepted telemetry records.
#include "Csv.h"

#include <algorithm>

namespace MetadataExtractor {
namespace {

constexpr char kCellSeparator = ',';
constexpr char kLineSeparator = '\n';
// Room for one row: its line feed, the separators and the longest text in every cell.
constexpr std::size_t kMaxRowBytes =
    1 + (kTelemetryFieldCount - 1) + kTelemetryFieldCount * ValueText::kCapacity;

} // namespace

CsvBuilder::CsvBuilder(std::size_t expectedRows) {
    std::size_t headerBytes = 0;
    for (const std::string_view column : csvColumns())
        headerBytes += column.size() + 1;
    text_.reserve(headerBytes + expectedRows * kMaxRowBytes);
    for (const std::string_view column : csvColumns()) {
        if (!text_.empty())
            text_ += kCellSeparator;
        text_ += column;
    }
}

// Rows are written in a local buffer and appended: growing the text first would fill it with
// zeros. Beyond the expected rows the text grows geometrically: amortised constant time per row.
void CsvBuilder::appendRow(const TelemetryValues& values) {
    char row[kMaxRowBytes + ValueText::kWriteRoom];
    row[0] = kLineSeparator;
    const char* const end = writeValueTexts(row + 1, values, kCellSeparator);
    text_.append(row, static_cast<std::size_t>(end - row));
}

void CsvBuilder::appendRow(const TelemetryRecord& record) {
    text_ += kLineSeparator;
    for (std::size_t field = 1; field <= kTelemetryFieldCount; ++field) {
        if (field > 1)
            text_ += kCellSeparator;
        text_ += record.value(field).value_or(std::string_view{});
    }
}

std::string renderCsv(std::span<const TelemetryRecord> records) {
    CsvBuilder csv(records.size());
    for (const TelemetryRecord& record : records)
        csv.appendRow(record);
    return std::move(csv).take();
}

} // namespace MetadataExtractor
