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

std::size_t headerBytes() {
    std::size_t bytes = 0;
    for (const std::string_view column : csvColumns())
        bytes += column.size() + 1;
    return bytes;
}

void appendHeader(std::string& text) {
    for (const std::string_view column : csvColumns()) {
        if (!text.empty())
            text += kCellSeparator;
        text += column;
    }
}

} // namespace

CsvBuilder::CsvBuilder(std::size_t expectedRows) {
    text_.reserve(headerBytes() + expectedRows * kMaxRowBytes);
    appendHeader(text_);
}

CsvBuilder::CsvBuilder(CsvPieceSink sink) : sink_(std::move(sink)) {
    static_assert(kPieceBytes > 2 * kMaxRowBytes);
    text_.reserve(std::max(kPieceBytes, headerBytes() + kMaxRowBytes));
    appendHeader(text_);
}

void CsvBuilder::finish() {
    if (!sink_)
        return;
    if (hasRows_ && !text_.empty())
        sink_(text_);
    text_.clear();
}

// Rows are written in the writer's buffer and appended: growing the text first would fill it
// with zeros. Beyond the expected rows the text grows geometrically: amortised constant time per
// row.
void CsvBuilder::appendRow(const TelemetryValues& values) {
    const std::string_view row = rows_.write(values, kCellSeparator);
    if (sink_ && text_.size() + 1 + row.size() > kPieceBytes) {
        sink_(text_);
        text_.clear();
    }
    text_ += kLineSeparator;
    text_ += row;
    hasRows_ = true;
}

void CsvBuilder::appendRow(const TelemetryRecord& record) {
    text_ += kLineSeparator;
    for (std::size_t field = 1; field <= kTelemetryFieldCount; ++field) {
        if (field > 1)
            text_ += kCellSeparator;
        text_ += record.value(field).value_or(std::string_view{});
    }
    hasRows_ = true;
}

std::string renderCsv(std::span<const TelemetryRecord> records) {
    CsvBuilder csv(records.size());
    for (const TelemetryRecord& record : records)
        csv.appendRow(record);
    return std::move(csv).take();
}

} // namespace MetadataExtractor
