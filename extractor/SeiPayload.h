// Cuts the telemetry record bytes out of one SEI user-data unit: skips the 0x42... 0x69
// marker, drops the unit's trailing byte and removes H.264 emulation-prevention bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace MetadataExtractor {

// Nothing when the unit is too short or its marker is missing; the bytes may be empty. They
// are a view into `unit`, or into `scratch` when emulation-prevention bytes had to be dropped,
// so the unit and the scratch buffer must outlive them. One scratch buffer serves every unit.
std::optional<std::span<const std::uint8_t>> extractSeiPayload(std::span<const std::uint8_t> unit,
                                                               std::vector<std::uint8_t>& scratch);
std::optional<std::vector<std::uint8_t>> extractSeiPayload(std::span<const std::uint8_t> unit);

// Drops every 0x03 that follows two or more 0x00 bytes; the output is never longer. A view into
// `bytes` when there is nothing to drop, else into `scratch`.
std::span<const std::uint8_t> removeEmulationPrevention(std::span<const std::uint8_t> bytes,
                                                        std::vector<std::uint8_t>& scratch);
std::vector<std::uint8_t> removeEmulationPrevention(std::span<const std::uint8_t> bytes);

} // namespace MetadataExtractor
