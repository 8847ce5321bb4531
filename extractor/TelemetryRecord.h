// One telemetry record: the protocol-buffer message of one video frame, decoded straight into
// the value texts of its known fields. Field table, record type and decoder.
#pragma once

#include "ValueText.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace MetadataExtractor {

inline constexpr std::size_t kTelemetryFieldCount = 16;

// The CSV column names in field-number order: csvColumns()[n - 1] names field n.
const std::array<std::string_view, kTelemetryFieldCount>& csvColumns();

// A map from field name to value text, at most one entry per field. Stored as one slot per
// field number; an empty slot is a missing field (no value text is ever empty).
class TelemetryRecord {
public:
    // fieldNumber in 1..16.
    void set(std::size_t fieldNumber, const ValueText& text) { texts_[fieldNumber - 1] = text; }
    std::optional<std::string_view> value(std::size_t fieldNumber) const;
    std::optional<std::string_view> value(std::string_view fieldName) const;
    bool contains(std::string_view fieldName) const { return value(fieldName).has_value(); }
    std::size_t size() const;
    bool empty() const { return size() == 0; }
    friend bool operator==(const TelemetryRecord&, const TelemetryRecord&) = default;

private:
    std::array<ValueText, kTelemetryFieldCount> texts_{};
};

// Nothing when the bytes cannot be framed or carry no known field. Never throws.
std::optional<TelemetryRecord> decodeTelemetryRecord(std::span<const std::uint8_t> payload);

} // namespace MetadataExtractor
