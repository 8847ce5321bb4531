// SEI payload cutting and emulation-prevention removal.
#include "SeiPayload.h"

#include <cstring>

namespace MetadataExtractor {
namespace {

constexpr std::size_t kMinimumUnitBytes = 5;
constexpr std::size_t kMarkerStart = 3;
constexpr std::uint8_t kMarkerFill = 0x42;
constexpr std::uint8_t kMarkerEnd = 0x69;
constexpr std::uint8_t kEmulationPreventionByte = 0x03;
constexpr std::size_t kZerosBeforeEmulationPrevention = 2;

std::vector<std::uint8_t> copyOf(std::span<const std::uint8_t> bytes) {
    return {bytes.begin(), bytes.end()};
}

} // namespace

std::optional<std::span<const std::uint8_t>> extractSeiPayload(std::span<const std::uint8_t> unit,
                                                               std::vector<std::uint8_t>& scratch) {
    const std::size_t n = unit.size();
    if (n < kMinimumUnitBytes)
        return std::nullopt;
    std::size_t j = kMarkerStart;
    while (unit[j] == kMarkerFill) {
        if (++j == n - 1)
            return std::nullopt;
    }
    if (unit[j] != kMarkerEnd)
        return std::nullopt;
    return removeEmulationPrevention(unit.subspan(j + 1, n - 1 - (j + 1)), scratch);
}

std::optional<std::vector<std::uint8_t>> extractSeiPayload(std::span<const std::uint8_t> unit) {
    std::vector<std::uint8_t> scratch;
    const auto payload = extractSeiPayload(unit, scratch);
    if (!payload)
        return std::nullopt;
    return copyOf(*payload);
}

std::span<const std::uint8_t> removeEmulationPrevention(std::span<const std::uint8_t> bytes,
                                                        std::vector<std::uint8_t>& scratch) {
    // Zeros are never dropped, so "follows two 0x00 output bytes" is "follows two 0x00 input
    // bytes"; a dropped 0x03 is itself no zero. Jump from one 0x03 to the next, copying the
    // runs between dropped ones.
    const std::uint8_t* const data = bytes.data();
    const std::size_t n = bytes.size();
    std::size_t runStart = 0;
    bool dropped = false;
    for (std::size_t i = kZerosBeforeEmulationPrevention; i < n; ++i) {
        const void* found = std::memchr(data + i, kEmulationPreventionByte, n - i);
        if (found == nullptr)
            break;
        i = static_cast<std::size_t>(static_cast<const std::uint8_t*>(found) - data);
        if (data[i - 1] != 0 || data[i - 2] != 0)
            continue;
        if (!dropped)
            scratch.clear();
        dropped = true;
        scratch.insert(scratch.end(), data + runStart, data + i);
        runStart = i + 1;
    }
    if (!dropped)
        return bytes;
    scratch.insert(scratch.end(), data + runStart, data + n);
    return scratch;
}

std::vector<std::uint8_t> removeEmulationPrevention(std::span<const std::uint8_t> bytes) {
    std::vector<std::uint8_t> scratch;
    return copyOf(removeEmulationPrevention(bytes, scratch));
}

} // namespace MetadataExtractor
