// Packs records into SEI NAL units byte for byte in the car's layout.
#include "SeiPacker.h"

#include <algorithm>

namespace clipgen {
namespace {

constexpr std::uint8_t kSeiNalHeader = 0x06;
constexpr std::uint8_t kUserDataUnregistered = 5;
constexpr std::uint8_t kUserDataRegistered = 4;
constexpr std::uint8_t kRecoveryPoint = 6;
constexpr std::uint8_t kMarkerByte = 0x42;
constexpr std::uint8_t kMarkerEnd = 0x69;
// Not the marker's end: the unit then carries no cuttable record.
constexpr std::uint8_t kSpoiledMarkerEnd = 0x68;
constexpr std::size_t kMarkerRunLength = 4;
constexpr std::uint8_t kRbspTrailingByte = 0x80;
// The car writes one size byte; 0xFF would announce a longer size to H.264 readers.
constexpr std::size_t kLargestOneByteSize = 0xFE;

std::vector<std::uint8_t> wrapPayload(std::uint8_t payloadType, std::size_t payloadSize,
                                      std::span<const std::uint8_t> escapedPayload) {
    std::vector<std::uint8_t> unit;
    unit.reserve(escapedPayload.size() + 4);
    unit.push_back(kSeiNalHeader);
    unit.push_back(payloadType);
    unit.push_back(static_cast<std::uint8_t>(std::min(payloadSize, kLargestOneByteSize)));
    for (std::uint8_t b : escapedPayload)
        unit.push_back(b);
    unit.push_back(kRbspTrailingByte);
    return unit;
}

} // namespace

std::vector<std::uint8_t> applyEmulationPrevention(std::span<const std::uint8_t> bytes) {
    std::vector<std::uint8_t> out;
    out.reserve(bytes.size() + bytes.size() / 2);
    int zeroRun = 0;
    for (std::uint8_t b : bytes) {
        if (zeroRun >= 2 && b <= 0x03) {
            out.push_back(0x03);
            zeroRun = 0;
        }
        out.push_back(b);
        zeroRun = b == 0 ? zeroRun + 1 : 0;
    }
    return out;
}

std::vector<std::uint8_t> makeTelemetrySei(std::span<const std::uint8_t> record, bool withMarker) {
    std::vector<std::uint8_t> payload(kMarkerRunLength, kMarkerByte);
    payload.push_back(withMarker ? kMarkerEnd : kSpoiledMarkerEnd);
    const std::size_t payloadSize = payload.size() + record.size();
    const std::vector<std::uint8_t> escaped = applyEmulationPrevention(record);
    payload.insert(payload.end(), escaped.begin(), escaped.end());
    return wrapPayload(kUserDataUnregistered, payloadSize, payload);
}

std::vector<std::uint8_t> makeRegisteredUserDataSei() {
    // Country code, then a provider code that no player interprets.
    const std::vector<std::uint8_t> payload{0xB5, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE};
    return wrapPayload(kUserDataRegistered, payload.size(), payload);
}

std::vector<std::uint8_t> makeRecoveryPointSei() {
    // recovery_frame_cnt 0, no exact match, no broken link, slice group 0, byte-aligned.
    const std::vector<std::uint8_t> payload{0x80};
    return wrapPayload(kRecoveryPoint, payload.size(), payload);
}

} // namespace clipgen
