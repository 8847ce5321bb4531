// SEI payload cutting and emulation-prevention removal.
#include "SeiPayload.h"

namespace MetadataExtractor {
namespace {

constexpr std::size_t kMinimumUnitBytes = 5;
constexpr std::size_t kMarkerStart = 3;
constexpr std::uint8_t kMarkerFill = 0x42;
constexpr std::uint8_t kMarkerEnd = 0x69;
constexpr std::uint8_t kEmulationPreventionByte = 0x03;
constexpr int kZerosBeforeEmulationPrevention = 2;

} // namespace

std::optional<std::vector<std::uint8_t>> extractSeiPayload(std::span<const std::uint8_t> unit) {
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
    return removeEmulationPrevention(unit.subspan(j + 1, n - 1 - (j + 1)));
}

std::vector<std::uint8_t> removeEmulationPrevention(std::span<const std::uint8_t> bytes) {
    std::vector<std::uint8_t> out;
    out.reserve(bytes.size());
    int zeroRun = 0;
    for (const std::uint8_t b : bytes) {
        if (zeroRun >= kZerosBeforeEmulationPrevention && b == kEmulationPreventionByte) {
            zeroRun = 0;
            continue;
        }
        out.push_back(b);
        zeroRun = b == 0 ? zeroRun + 1 : 0;
    }
    return out;
}

} // namespace MetadataExtractor
