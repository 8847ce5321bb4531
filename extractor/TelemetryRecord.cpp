// Protocol-buffer wire-format decoding of telemetry records, without a schema compiler: the
// field table below is the whole schema.
#include "TelemetryRecord.h"

#include <bit>
#include <cstring>
#include <utility>

namespace MetadataExtractor {
namespace {

enum WireType : std::uint8_t {
    kVarint = 0,
    kFixed64 = 1,
    kLengthDelimited = 2,
    kFixed32 = 5,
};

struct FieldSpec {
    std::string_view name;
    WireType wireType;
    FieldKind kind;
};

constexpr std::array<FieldSpec, kTelemetryFieldCount> kFields = {{
    {"version", kVarint, FieldKind::Unsigned},
    {"gear_state", kVarint, FieldKind::Gear},
    {"frame_seq_no", kVarint, FieldKind::Unsigned},
    {"vehicle_speed_mps", kFixed32, FieldKind::Float},
    {"accelerator_pedal_position", kFixed32, FieldKind::Float},
    {"steering_wheel_angle", kFixed32, FieldKind::Float},
    {"blinker_on_left", kVarint, FieldKind::Flag},
    {"blinker_on_right", kVarint, FieldKind::Flag},
    {"brake_applied", kVarint, FieldKind::Flag},
    {"navark_state", kVarint, FieldKind::Assistance},
    {"latitude_deg", kFixed64, FieldKind::Double},
    {"longitude_deg", kFixed64, FieldKind::Double},
    {"heading_deg", kFixed64, FieldKind::Double},
    {"linear_acceleration_mps2_x", kFixed64, FieldKind::Double},
    {"linear_acceleration_mps2_y", kFixed64, FieldKind::Double},
    {"linear_acceleration_mps2_z", kFixed64, FieldKind::Double},
}};

constexpr std::array<std::string_view, kTelemetryFieldCount> makeColumns() {
    std::array<std::string_view, kTelemetryFieldCount> columns{};
    for (std::size_t i = 0; i < kFields.size(); ++i)
        columns[i] = kFields[i].name;
    return columns;
}
constexpr std::array<std::string_view, kTelemetryFieldCount> kColumns = makeColumns();

constexpr std::array<FieldKind, kTelemetryFieldCount> makeKinds() {
    std::array<FieldKind, kTelemetryFieldCount> kinds{};
    for (std::size_t i = 0; i < kFields.size(); ++i)
        kinds[i] = kFields[i].kind;
    return kinds;
}
constexpr std::array<FieldKind, kTelemetryFieldCount> kKinds = makeKinds();

constexpr unsigned kFieldNumberShift = 3;
constexpr std::uint64_t kWireTypeMask = 0x7;
constexpr std::uint8_t kVarintPayloadMask = 0x7F;
constexpr std::uint8_t kVarintContinuation = 0x80;
constexpr unsigned kVarintLastShift = 63;
// In the tenth byte only bit 0 still fits into 64 bits.
constexpr std::uint8_t kVarintOverflowMask = 0x7E;

// What a one-byte key sets: a known field (0 for none) and the wire type it takes.
struct KeyAction {
    std::uint8_t fieldNumber = 0;
    WireType wireType = kVarint;
};

constexpr std::array<KeyAction, kVarintContinuation> makeKeyActions() {
    std::array<KeyAction, kVarintContinuation> actions{};
    for (std::size_t key = 0; key < actions.size(); ++key) {
        const std::size_t fieldNumber = key >> kFieldNumberShift;
        if (fieldNumber >= 1 && kFields[fieldNumber - 1].wireType == (key & kWireTypeMask))
            actions[key] = {static_cast<std::uint8_t>(fieldNumber),
                            kFields[fieldNumber - 1].wireType};
    }
    return actions;
}
constexpr std::array<KeyAction, kVarintContinuation> kKeyActions = makeKeyActions();

// Bounds are checked as "bytes left < bytes needed" so that no offset can overflow.
class WireReader {
public:
    explicit WireReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool atEnd() const { return position_ >= bytes_.size(); }
    std::size_t left() const { return bytes_.size() - position_; }

    // Takes the next byte if it is a known field's one-byte key; else takes nothing. Not at
    // the end.
    KeyAction nextKeyAction() {
        const std::uint8_t key = bytes_[position_];
        if (key >= kVarintContinuation || kKeyActions[key].fieldNumber == 0)
            return {};
        ++position_;
        return kKeyActions[key];
    }

    bool readVarint(std::uint64_t& value) {
        // Keys and most values fit in one byte.
        if (!atEnd() && bytes_[position_] < kVarintContinuation) {
            value = bytes_[position_++];
            return true;
        }
        std::uint64_t result = 0;
        for (unsigned shift = 0;; shift += 7) {
            if (atEnd() || shift > kVarintLastShift)
                return false;
            const std::uint8_t b = bytes_[position_++];
            if (shift == kVarintLastShift && (b & kVarintOverflowMask) != 0)
                return false;
            result |= std::uint64_t{static_cast<std::uint8_t>(b & kVarintPayloadMask)} << shift;
            if ((b & kVarintContinuation) == 0) {
                value = result;
                return true;
            }
        }
    }

    template <typename Unsigned> bool readLittleEndian(Unsigned& value) {
        if (left() < sizeof(Unsigned))
            return false;
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(&value, bytes_.data() + position_, sizeof(Unsigned));
        } else {
            value = 0;
            for (std::size_t i = 0; i < sizeof(Unsigned); ++i)
                value |= static_cast<Unsigned>(Unsigned{bytes_[position_ + i]} << (8 * i));
        }
        position_ += sizeof(Unsigned);
        return true;
    }

    bool skip(std::uint64_t count) {
        if (left() < count)
            return false;
        position_ += static_cast<std::size_t>(count);
        return true;
    }

    bool skipField(std::uint64_t wireType) {
        std::uint64_t ignored = 0;
        switch (wireType) {
        case kVarint:
            return readVarint(ignored);
        case kFixed64:
            return skip(sizeof(std::uint64_t));
        case kFixed32:
            return skip(sizeof(std::uint32_t));
        case kLengthDelimited:
            return readVarint(ignored) && skip(ignored);
        default: // groups and reserved wire types cannot be skipped
            return false;
        }
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

static_assert(kFields[kVersionFieldNumber - 1].name == "version");
static_assert(kFields[kFrameSequenceFieldNumber - 1].name == "frame_seq_no");

bool readBits(WireReader& reader, WireType wireType, std::uint64_t& bits) {
    switch (wireType) {
    case kFixed32: {
        std::uint32_t word = 0;
        if (!reader.readLittleEndian(word))
            return false;
        bits = word;
        return true;
    }
    case kFixed64:
        return reader.readLittleEndian(bits);
    default:
        return reader.readVarint(bits);
    }
}

} // namespace

const std::array<std::string_view, kTelemetryFieldCount>& csvColumns() {
    return kColumns;
}

const std::array<FieldKind, kTelemetryFieldCount>& fieldKinds() {
    return kKinds;
}

std::optional<std::string_view> TelemetryRecord::value(std::size_t fieldNumber) const {
    if (fieldNumber < 1 || fieldNumber > kTelemetryFieldCount || texts_[fieldNumber - 1].empty())
        return std::nullopt;
    return texts_[fieldNumber - 1].view();
}

std::optional<std::string_view> TelemetryRecord::value(std::string_view fieldName) const {
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        if (kColumns[i] == fieldName)
            return value(i + 1);
    }
    return std::nullopt;
}

std::size_t TelemetryRecord::size() const {
    std::size_t count = 0;
    for (const ValueText& text : texts_)
        count += text.empty() ? 0 : 1;
    return count;
}

bool decodeTelemetryValues(std::span<const std::uint8_t> payload, TelemetryValues& values) {
    std::uint32_t present = 0;
    const auto take = [&values, &present](std::size_t fieldNumber, std::uint64_t bits) {
        values.setBits(fieldNumber, bits);
        present |= std::uint32_t{1} << (fieldNumber - 1);
    };
    WireReader reader(payload);
    while (!reader.atEnd()) {
        // Known fields' keys are one byte but for field 16's: looked up, not taken apart.
        if (const KeyAction action = reader.nextKeyAction(); action.fieldNumber != 0) {
            std::uint64_t bits = 0;
            if (!readBits(reader, action.wireType, bits))
                return false;
            take(action.fieldNumber, bits);
            continue;
        }
        std::uint64_t key = 0;
        if (!reader.readVarint(key))
            return false;
        const std::uint64_t fieldNumber = key >> kFieldNumberShift;
        const std::uint64_t wireType = key & kWireTypeMask;
        if (fieldNumber >= 1 && fieldNumber <= kTelemetryFieldCount &&
            kFields[fieldNumber - 1].wireType == wireType) {
            std::uint64_t bits = 0;
            if (!readBits(reader, kFields[fieldNumber - 1].wireType, bits))
                return false;
            take(static_cast<std::size_t>(fieldNumber), bits);
        } else if (!reader.skipField(wireType)) {
            return false;
        }
    }
    values.setPresent(present);
    return present != 0;
}

namespace {

template <FieldKind Kind> char* writeKindText(char* out, std::uint64_t bits) {
    if constexpr (Kind == FieldKind::Gear)
        return writeGearText(out, bits);
    else if constexpr (Kind == FieldKind::Flag)
        return writeFlagText(out, bits);
    else if constexpr (Kind == FieldKind::Assistance)
        return writeAssistanceText(out, bits);
    else if constexpr (Kind == FieldKind::Float)
        return writeFloatText(out, std::bit_cast<float>(static_cast<std::uint32_t>(bits)));
    else if constexpr (Kind == FieldKind::Double)
        return writeDoubleText(out, std::bit_cast<double>(bits));
    else
        return writeUnsignedText(out, bits);
}

// The writer of each field's kind, looked up once per field rather than chosen per value.
using KindWriter = char* (*)(char*, std::uint64_t);
template <std::size_t... Index>
constexpr std::array<KindWriter, kTelemetryFieldCount> makeWriters(std::index_sequence<Index...>) {
    return {&writeKindText<kFields[Index].kind>...};
}
constexpr auto kWriters = makeWriters(std::make_index_sequence<kTelemetryFieldCount>{});

// The shortest texts cost hundreds of instructions; the others are cheaper than a lookup.
constexpr bool isRemembered(FieldKind kind) {
    return kind == FieldKind::Float || kind == FieldKind::Double;
}

// The row before, for the texts that repeat from it, and where the row being written starts.
struct RowsInPlay {
    RowTextWriter::Entry* entries;
    const char* before;
    const char* start;
};

template <std::size_t Index>
char* writeCell(char* out, const TelemetryValues& values, const RowsInPlay* rows) {
    constexpr std::size_t field = Index + 1;
    const std::uint64_t bits = values.bits(field);
    if constexpr (isRemembered(kFields[Index].kind)) {
        if (rows) {
            RowTextWriter::Entry& entry = rows->entries[Index];
            // Whole texts are copied: the writers' room allows it, and a fixed-size copy is a
            // few word moves.
            static_assert(ValueText::kCapacity <= ValueText::kWriteRoom);
            if (entry.bits == bits && entry.length != 0) {
                // Through registers: in a short row the words copied may reach this one.
                char text[ValueText::kCapacity];
                std::memcpy(text, rows->before + entry.at, sizeof text);
                std::memcpy(out, text, sizeof text);
            } else {
                entry.bits = bits;
                entry.length =
                    static_cast<std::uint8_t>(writeKindText<kFields[Index].kind>(out, bits) - out);
            }
            entry.at = static_cast<std::uint16_t>(out - rows->start);
            return out + entry.length;
        }
    }
    return writeKindText<kFields[Index].kind>(out, bits);
}

// A remembered field missing from a row: its last text is not carried to the row after.
template <std::size_t Index> void forget(const RowsInPlay* rows) {
    if constexpr (isRemembered(kFields[Index].kind)) {
        if (rows)
            rows->entries[Index].length = 0;
    }
}

template <std::size_t... Index>
char* writeCells(char* out, const TelemetryValues& values, char separator, const RowsInPlay* rows,
                 std::index_sequence<Index...>) {
    ((out = (Index > 0 ? (*out = separator, out + 1) : out),
      out =
          values.has(Index + 1) ? writeCell<Index>(out, values, rows) : (forget<Index>(rows), out)),
     ...);
    return out;
}

} // namespace

char* writeValueText(char* out, const TelemetryValues& values, std::size_t fieldNumber) {
    return kWriters[fieldNumber - 1](out, values.bits(fieldNumber));
}

char* writeValueTexts(char* out, const TelemetryValues& values, char separator) {
    return writeCells(out, values, separator, nullptr,
                      std::make_index_sequence<kTelemetryFieldCount>{});
}

char* RowTextWriter::write(char* out, const TelemetryValues& values, char separator) {
    const RowsInPlay rows{entries_.data(), before_, out};
    before_ = out;
    return writeCells(out, values, separator, &rows,
                      std::make_index_sequence<kTelemetryFieldCount>{});
}

void RowTextWriter::forget() {
    for (Entry& entry : entries_)
        entry.length = 0;
}

std::optional<TelemetryRecord> decodeTelemetryRecord(std::span<const std::uint8_t> payload) {
    TelemetryValues values;
    if (!decodeTelemetryValues(payload, values))
        return std::nullopt;
    TelemetryRecord record;
    for (std::size_t field = 1; field <= kTelemetryFieldCount; ++field) {
        if (values.has(field)) {
            char text[ValueText::kWriteRoom];
            const char* const end = writeValueText(text, values, field);
            record.set(field,
                       ValueText(std::string_view(text, static_cast<std::size_t>(end - text))));
        }
    }
    return record;
}

} // namespace MetadataExtractor
