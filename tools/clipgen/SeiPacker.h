// SEI NAL units as the car writes them into each frame's access unit: the telemetry unit
// (payload type 5, marker, record, trailing byte) and harmless units of other payload types.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace clipgen {

// H.264 emulation prevention: a 0x03 after two zero bytes whenever the next byte is 0..3.
std::vector<std::uint8_t> applyEmulationPrevention(std::span<const std::uint8_t> bytes);

// 06 05 size 42.. 69 record 80, the record escaped. `withMarker` false spoils the marker.
std::vector<std::uint8_t> makeTelemetrySei(std::span<const std::uint8_t> record,
                                           bool withMarker = true);

// Valid SEI units of payload types other than 5, which carry no telemetry.
std::vector<std::uint8_t> makeRegisteredUserDataSei();
std::vector<std::uint8_t> makeRecoveryPointSei();

} // namespace clipgen
