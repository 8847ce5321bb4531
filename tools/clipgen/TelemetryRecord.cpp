// Protobuf wire encoding of telemetry records, written by hand like the car's firmware.
#include "TelemetryRecord.h"

#include <bit>

namespace clipgen {

const std::array<FieldInfo, kFieldCount> kFields = {{
    {"version", WireType::Varint},
    {"gear_state", WireType::Varint},
    {"frame_seq_no", WireType::Varint},
    {"vehicle_speed_mps", WireType::Fixed32},
    {"accelerator_pedal_position", WireType::Fixed32},
    {"steering_wheel_angle", WireType::Fixed32},
    {"blinker_on_left", WireType::Varint},
    {"blinker_on_right", WireType::Varint},
    {"brake_applied", WireType::Varint},
    {"navark_state", WireType::Varint},
    {"latitude_deg", WireType::Fixed64},
    {"longitude_deg", WireType::Fixed64},
    {"heading_deg", WireType::Fixed64},
    {"linear_acceleration_mps2_x", WireType::Fixed64},
    {"linear_acceleration_mps2_y", WireType::Fixed64},
    {"linear_acceleration_mps2_z", WireType::Fixed64},
}};

namespace {

constexpr std::uint64_t kUndecodableFieldNumber = 20;
constexpr std::uint64_t kGroupStartWireType = 3;

void appendVarint(std::vector<std::uint8_t>& out, std::uint64_t value) {
    while (value >= 0x80) {
        out.push_back(static_cast<std::uint8_t>(value | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<std::uint8_t>(value));
}

void appendLittleEndian(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

} // namespace

void TelemetryRecord::setFloat(Field field, float value) {
    values[field] = std::bit_cast<std::uint32_t>(value);
}

void TelemetryRecord::setDouble(Field field, double value) {
    values[field] = std::bit_cast<std::uint64_t>(value);
}

std::vector<std::uint8_t> encodeRecord(const TelemetryRecord& record) {
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        if (!record.values[i])
            continue;
        const WireType wireType = kFields[i].wireType;
        appendVarint(out, ((i + 1) << 3) | static_cast<std::uint64_t>(wireType));
        const std::uint64_t value = *record.values[i];
        switch (wireType) {
        case WireType::Varint:
            appendVarint(out, value);
            break;
        case WireType::Fixed64:
            appendLittleEndian(out, value, 8);
            break;
        case WireType::Fixed32:
            appendLittleEndian(out, value, 4);
            break;
        }
    }
    return out;
}

void appendUndecodableField(std::vector<std::uint8_t>& bytes) {
    appendVarint(bytes, (kUndecodableFieldNumber << 3) | kGroupStartWireType);
}

} // namespace clipgen
