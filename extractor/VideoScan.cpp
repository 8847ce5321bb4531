// Length-prefixed video block scan.
#include "VideoScan.h"

#include "ExtractError.h"
#include "Limits.h"
#include "MediaWalk.h"

namespace MetadataExtractor {
namespace {

constexpr std::uint64_t kLengthPrefixBytes = 4;
constexpr std::uint8_t kNalTypeMask = 0x1F;
constexpr std::uint8_t kNalTypeSei = 6;
constexpr std::uint8_t kSeiPayloadTypeUserDataUnregistered = 5;
// NAL header and first payload type must both be present before they are read.
constexpr std::uint64_t kMinimumInspectedUnitBytes = 2;

template <bool kStopAtCut>
std::uint64_t scan(std::span<const std::uint8_t> buffer, std::uint64_t position, std::uint64_t end,
                   std::int64_t& seiNalCount, const SeiUnitStep& step) {
    const std::uint8_t* data = buffer.data();
    std::uint64_t blockCount = 0;
    while (end - position >= kLengthPrefixBytes) {
        if (++blockCount > kMaxVideoBlocks)
            throw ExtractError(messages::kTooManyVideoBlocks);
        const std::uint64_t unitLength = readBigEndian32(buffer, position);
        const std::uint64_t unitStart = position + kLengthPrefixBytes;
        if (unitLength > end - unitStart) {
            if constexpr (kStopAtCut)
                break;
            throw ExtractError(messages::kInvalidVideoBlockSize);
        }
        if (unitLength >= kMinimumInspectedUnitBytes &&
            (data[unitStart] & kNalTypeMask) == kNalTypeSei &&
            data[unitStart + 1] == kSeiPayloadTypeUserDataUnregistered) {
            ++seiNalCount;
            if (unitLength > kMaxSeiUnitBytes)
                throw ExtractError(messages::kSeiBlockExceedsLimit);
            step(buffer.subspan(unitStart, unitLength));
        }
        position = unitStart + unitLength;
    }
    return position;
}

} // namespace

void scanVideoBlocks(std::span<const std::uint8_t> buffer, std::int64_t offset, std::int64_t size,
                     std::int64_t& seiNalCount, const SeiUnitStep& step) {
    const auto start = static_cast<std::uint64_t>(offset);
    scan<false>(buffer, start, start + static_cast<std::uint64_t>(size), seiNalCount, step);
}

std::int64_t scanCutVideoBlocks(std::span<const std::uint8_t> buffer, std::int64_t offset,
                                std::int64_t& seiNalCount, const SeiUnitStep& step) {
    return static_cast<std::int64_t>(
        scan<true>(buffer, static_cast<std::uint64_t>(offset), buffer.size(), seiNalCount, step));
}

} // namespace MetadataExtractor
