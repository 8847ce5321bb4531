// One record per data line; an empty cell means the field is absent. Numbers are read with
// strtof/strtod so each text gives back the exact value whose shortest text it is.
#include "CsvRecords.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <optional>

namespace clipgen {
namespace {

constexpr std::array<std::string_view, 4> kGearNames = {"GEAR_PARK", "GEAR_DRIVE", "GEAR_REVERSE",
                                                        "GEAR_NEUTRAL"};
constexpr std::array<std::string_view, 4> kAssistNames = {"IDLE", "FULL_GUIDE", "LANE_GUIDE",
                                                          "PACE_GUIDE"};

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

std::optional<std::uint64_t> parseUnsigned(const std::string& cell) {
    if (cell.empty() || cell[0] < '0' || cell[0] > '9')
        return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(cell.c_str(), &end, 10);
    if (errno != 0 || *end != '\0')
        return std::nullopt;
    return value;
}

template <std::size_t N>
std::optional<std::uint64_t> parseName(const std::string& cell,
                                       const std::array<std::string_view, N>& names) {
    for (std::size_t i = 0; i < N; ++i)
        if (cell == names[i])
            return i;
    return parseUnsigned(cell);
}

std::optional<std::uint64_t> parseVarintCell(Field field, const std::string& cell) {
    switch (field) {
    case kGearState:
        return parseName(cell, kGearNames);
    case kNavarkState:
        return parseName(cell, kAssistNames);
    case kBlinkerOnLeft:
    case kBlinkerOnRight:
    case kBrakeApplied:
        if (cell == "True")
            return 1;
        if (cell == "False")
            return 0;
        return std::nullopt;
    default:
        return parseUnsigned(cell);
    }
}

bool setCell(TelemetryRecord& record, Field field, const std::string& cell) {
    char* end = nullptr;
    switch (kFields[field].wireType) {
    case WireType::Varint:
        if (auto value = parseVarintCell(field, cell)) {
            record.setVarint(field, *value);
            return true;
        }
        return false;
    case WireType::Fixed32:
        record.setFloat(field, std::strtof(cell.c_str(), &end));
        return *end == '\0';
    case WireType::Fixed64:
        record.setDouble(field, std::strtod(cell.c_str(), &end));
        return *end == '\0';
    }
    return false;
}

} // namespace

CsvParseResult parseTelemetryCsv(std::string_view text) {
    CsvParseResult result;
    std::vector<std::string_view> lines = split(text, '\n');
    // Tolerate the final line feed an editor adds; the extractor never writes one.
    if (lines.size() > 1 && lines.back().empty())
        lines.pop_back();
    std::string header;
    for (const FieldInfo& field : kFields)
        header += std::string(header.empty() ? "" : ",") + std::string(field.name);
    if (lines.empty() || lines[0] != header) {
        result.error = "the first line is not the telemetry CSV header";
        return result;
    }
    for (std::size_t lineIndex = 1; lineIndex < lines.size(); ++lineIndex) {
        const std::vector<std::string_view> cells = split(lines[lineIndex], ',');
        const std::string where = "line " + std::to_string(lineIndex + 1) + ": ";
        if (cells.size() != kFieldCount) {
            result.error = where + "expected " + std::to_string(kFieldCount) + " cells";
            return result;
        }
        TelemetryRecord record;
        for (std::size_t i = 0; i < kFieldCount; ++i) {
            const std::string cell(cells[i]);
            if (!cell.empty() && !setCell(record, static_cast<Field>(i), cell)) {
                result.error =
                    where + "bad value \"" + cell + "\" for " + std::string(kFields[i].name);
                return result;
            }
        }
        result.records.push_back(record);
    }
    return result;
}

} // namespace clipgen
