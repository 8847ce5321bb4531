#include "ColumnTable.h"

#include "TelemetryRecord.h"

#include <charconv>
#include <cmath>

namespace pytables {
namespace {

// A column's type from the engine's kind of field.
constexpr ColumnType columnType(MetadataExtractor::FieldKind kind) {
    using MetadataExtractor::FieldKind;
    switch (kind) {
    case FieldKind::Unsigned:
        return ColumnType::Unsigned;
    case FieldKind::Flag:
        return ColumnType::Flag;
    case FieldKind::Gear:
    case FieldKind::Assistance:
        return ColumnType::Text;
    case FieldKind::Float:
    case FieldKind::Double:
        break;
    }
    return ColumnType::Number;
}

constexpr std::string_view kTrue = "True";
constexpr std::string_view kFalse = "False";

void appendCell(Column& column, std::string_view cell) {
    bool missing = cell.empty();
    switch (column.type) {
    case ColumnType::Unsigned: {
        std::uint64_t value = 0;
        const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
        missing = missing || error != std::errc() || end != cell.data() + cell.size();
        column.unsignedValues.push_back(missing ? 0 : value);
        break;
    }
    case ColumnType::Number: {
        double value = std::nan("");
        if (!missing) {
            const auto [end, error] =
                std::from_chars(cell.data(), cell.data() + cell.size(), value);
            if (error != std::errc() || end != cell.data() + cell.size())
                value = std::nan("");
        }
        column.numbers.push_back(value);
        break;
    }
    case ColumnType::Flag:
        missing = missing || (cell != kTrue && cell != kFalse);
        column.flags.push_back(cell == kTrue);
        break;
    case ColumnType::Text:
        column.texts.push_back(cell);
        break;
    }
    column.missing.push_back(missing);
}

} // namespace

std::vector<Column> readColumns(std::string_view csv) {
    std::vector<Column> columns;
    for (std::size_t i = 0; i < MetadataExtractor::kTelemetryFieldCount; ++i)
        columns.push_back({MetadataExtractor::csvColumns()[i],
                           columnType(MetadataExtractor::fieldKinds()[i]),
                           {},
                           {},
                           {},
                           {},
                           {}});
    std::size_t lineStart = csv.find('\n');
    while (lineStart != std::string_view::npos) {
        ++lineStart;
        const std::size_t lineEnd = csv.find('\n', lineStart);
        const std::string_view line = csv.substr(
            lineStart, lineEnd == std::string_view::npos ? csv.npos : lineEnd - lineStart);
        std::size_t cellStart = 0;
        for (Column& column : columns) {
            const std::size_t comma = line.find(',', cellStart);
            appendCell(column, cellStart > line.size() ? std::string_view()
                                                       : line.substr(cellStart, comma - cellStart));
            cellStart = comma == std::string_view::npos ? line.size() + 1 : comma + 1;
        }
        lineStart = lineEnd;
    }
    return columns;
}

} // namespace pytables
