// Hard limits of the extraction engine. They bound memory and work on hostile files.
#pragma once

#include <cstdint>

namespace MetadataExtractor {

// Largest clip accepted, both by the size query and after the read (2^30 bytes).
inline constexpr std::uint64_t kMaxFileBytes = std::uint64_t{1} << 30;
// Largest number of length-prefixed blocks scanned in one media data payload.
inline constexpr std::uint64_t kMaxVideoBlocks = 2'000'000;
// Largest SEI user-data unit, NAL header byte included (2^20 bytes).
inline constexpr std::uint64_t kMaxSeiUnitBytes = std::uint64_t{1} << 20;
// Largest number of telemetry records (CSV data lines) of one clip.
inline constexpr std::size_t kMaxRecords = 100'000;

} // namespace MetadataExtractor
