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

// `writeCell(out, fieldNumber)` writes the cell's text at `out` and returns its end.
template <typename CellWriter> void CsvBuilder::appendCells(CellWriter writeCell) {
    // Written in a local row and appended: growing the text first would fill it with zeros.
    char row[kMaxRowBytes + ValueText::kWriteRoom];
    char* out = row;
    *out++ = kLineSeparator;
    for (std::size_t field = 1; field <= kTelemetryFieldCount; ++field) {
        if (field > 1)
            *out++ = kCellSeparator;
        out = writeCell(out, field);
    }
    // Beyond the expected rows the text grows geometrically: amortised constant time per row.
    text_.append(row, static_cast<std::size_t>(out - row));
}

void CsvBuilder::appendRow(const TelemetryValues& values) {
    appendCells([&](char* out, std::size_t field) {
        return values.has(field) ? writeValueText(out, values, field) : out;
    });
}

void CsvBuilder::appendRow(const TelemetryRecord& record) {
    appendCells([&](char* out, std::size_t field) {
        const std::string_view text = record.value(field).value_or(std::string_view{});
        return std::copy(text.begin(), text.end(), out);
    });
}

std::string renderCsv(std::span<const TelemetryRecord> records) {
    CsvBuilder csv(records.size());
    for (const TelemetryRecord& record : records)
        csv.appendRow(record);
    return std::move(csv).take();
}

} // namespace MetadataExtractor
