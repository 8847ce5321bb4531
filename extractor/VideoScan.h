// Walks the media data as one run of 4-byte length-prefixed H.264 NAL units and hands every
// SEI user-data unit (NAL type 6, first payload type 5) to a callback, in file order.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

namespace MetadataExtractor {

using SeiUnitStep = std::function<void(std::span<const std::uint8_t> unit)>;

// Scans [offset, offset + size) of `buffer`, which must lie inside it. Adds 1 to
// `seiNalCount` for each SEI user-data unit met, before its size limit is tested. The unit
// handed to `step` is a view into `buffer` (NAL header included) valid during the call only.
// Throws ExtractError on the block-count, block-size and SEI-size limits.
void scanVideoBlocks(std::span<const std::uint8_t> buffer, std::int64_t offset, std::int64_t size,
                     std::int64_t& seiNalCount, const SeiUnitStep& step);

// The same over [offset, end of `buffer`) of media data cut short: stops without error at the
// first block whose length runs past the end. Returns the offset just after the last complete
// block. The block-count and SEI-size limits still throw.
std::int64_t scanCutVideoBlocks(std::span<const std::uint8_t> buffer, std::int64_t offset,
                                std::int64_t& seiNalCount, const SeiUnitStep& step);

} // namespace MetadataExtractor
