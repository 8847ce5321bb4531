// CSV rendering of accepted telemetry records.
#include "Csv.h"

namespace MetadataExtractor {
namespace {

constexpr char kCellSeparator = ',';
constexpr char kLineSeparator = '\n';

} // namespace

std::string renderCsv(std::span<const TelemetryRecord> records) {
    const auto& columns = csvColumns();
    // One allocation: the header plus, per record, its texts and the 15 commas and line feed.
    std::size_t total = 0;
    for (const std::string_view column : columns)
        total += column.size() + 1;
    for (const TelemetryRecord& record : records) {
        total += columns.size();
        for (std::size_t field = 1; field <= columns.size(); ++field)
            total += record.value(field).value_or(std::string_view{}).size();
    }

    std::string csv;
    csv.reserve(total);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i > 0)
            csv += kCellSeparator;
        csv += columns[i];
    }
    for (const TelemetryRecord& record : records) {
        csv += kLineSeparator;
        for (std::size_t field = 1; field <= columns.size(); ++field) {
            if (field > 1)
                csv += kCellSeparator;
            csv += record.value(field).value_or(std::string_view{});
        }
    }
    return csv;
}

} // namespace MetadataExtractor
