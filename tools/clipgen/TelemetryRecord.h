// One telemetry record as the car sends it: up to 16 numbered fields, each kept as the raw
// bits of its wire value, and the protobuf encoder that turns it into record bytes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace clipgen {

enum class WireType : std::uint8_t { Varint = 0, Fixed64 = 1, Fixed32 = 5 };

struct FieldInfo {
    std::string_view name;
    WireType wireType;
};

inline constexpr std::size_t kFieldCount = 16;

// Field numbers are index + 1; names are the extractor's CSV columns.
extern const std::array<FieldInfo, kFieldCount> kFields;

enum Field : std::size_t {
    kVersion,
    kGearState,
    kFrameSeqNo,
    kVehicleSpeedMps,
    kAcceleratorPedalPosition,
    kSteeringWheelAngle,
    kBlinkerOnLeft,
    kBlinkerOnRight,
    kBrakeApplied,
    kNavarkState,
    kLatitudeDeg,
    kLongitudeDeg,
    kHeadingDeg,
    kLinearAccelerationX,
    kLinearAccelerationY,
    kLinearAccelerationZ,
};

struct TelemetryRecord {
    // Varint value, or the IEEE bits of a 32-bit or 64-bit float; absent fields are not sent.
    std::array<std::optional<std::uint64_t>, kFieldCount> values;

    void setVarint(Field field, std::uint64_t value) { values[field] = value; }
    void setFloat(Field field, float value);
    void setDouble(Field field, double value);
};

// Protobuf wire bytes of the record's present fields, in field-number order.
std::vector<std::uint8_t> encodeRecord(const TelemetryRecord& record);

// A field that no decoder can skip (wire type 3, a group start): the record stops decoding.
void appendUndecodableField(std::vector<std::uint8_t>& bytes);

} // namespace clipgen
