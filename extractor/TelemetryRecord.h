// One telemetry record: the protocol-buffer message of one video frame. Decoded first into the
// raw values of its known fields, which CSV rows are written from directly, or further into
// value texts. Field table, record types and decoder.
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

// What each field's value is, in field-number order: fieldKinds()[n - 1] is field n's. Readers of
// the CSV take their cells' types from here.
enum class FieldKind { Unsigned, Gear, Flag, Assistance, Float, Double };
const std::array<FieldKind, kTelemetryFieldCount>& fieldKinds();

// Fields that an accepted record must carry.
inline constexpr std::size_t kVersionFieldNumber = 1;
inline constexpr std::size_t kFrameSequenceFieldNumber = 3;

// The known fields of one record as read from the wire: per field number, whether it is present
// and its last value (a varint, or the bits of a float or double).
class TelemetryValues {
public:
    // fieldNumber in 1..16.
    bool has(std::size_t fieldNumber) const { return (present_ >> (fieldNumber - 1)) & 1U; }
    std::uint64_t bits(std::size_t fieldNumber) const { return bits_[fieldNumber - 1]; }
    void set(std::size_t fieldNumber, std::uint64_t bits) {
        bits_[fieldNumber - 1] = bits;
        present_ |= std::uint32_t{1} << (fieldNumber - 1);
    }
    bool empty() const { return present_ == 0; }
    // For a decoder that gathers which fields it met in a register and stores that once: a
    // running `set` reads and writes the flags in memory for every field.
    void setBits(std::size_t fieldNumber, std::uint64_t bits) { bits_[fieldNumber - 1] = bits; }
    void setPresent(std::uint32_t fields) { present_ = fields; }

private:
    std::array<std::uint64_t, kTelemetryFieldCount> bits_{};
    std::uint32_t present_ = 0;
};

// False when the bytes cannot be framed or carry no known field; `values` is then unspecified.
bool decodeTelemetryValues(std::span<const std::uint8_t> payload, TelemetryValues& values);

// Writes the value text of a field present in `values` at `out`, which has room for
// ValueText::kWriteRoom characters; returns the end of the text.
char* writeValueText(char* out, const TelemetryValues& values, std::size_t fieldNumber);
// The value texts of every field, `separator` between them and nothing for a missing field,
// at `out`, which has room for that many texts and separators; returns the end.
char* writeValueTexts(char* out, const TelemetryValues& values, char separator);

// Rows of value texts as writeValueTexts writes them, one after another, where a floating-point
// text whose bits repeat from the row before (a heading while driving straight, a position
// between two fixes) is copied from that row rather than written again.
class RowTextWriter {
public:
    // Every text at its longest, a separator after each, and the writers' room past the last.
    static constexpr std::size_t kRowRoom =
        kTelemetryFieldCount * (ValueText::kCapacity + 1) + ValueText::kWriteRoom;

    // Writes the row at `out`, which has room for kRowRoom characters, and returns its end.
    // The row written before must still stand where it was written, unless forget() came since.
    char* write(char* out, const TelemetryValues& values, char separator);
    // The row before is gone (handed over, or moved).
    void forget();

    // A field's text in the row before: where it starts there and its length; none yet, or
    // missing from that row: length 0 (no value text is empty).
    struct Entry {
        std::uint64_t bits = 0;
        std::uint16_t at = 0;
        std::uint8_t length = 0;
    };

private:
    std::array<Entry, kTelemetryFieldCount> entries_{};
    const char* before_ = nullptr;
};

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
