// Locates the media data of an MP4 file: walks the top-level atoms from the first byte and
// gives the payload range of the first top-level "mdat". Checks only the atom framing.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace MetadataExtractor {

struct MediaData {
    std::int64_t payloadOffset = 0;
    std::int64_t payloadSize = 0;
    friend bool operator==(const MediaData&, const MediaData&) = default;
};

// Big-endian readers. The caller guarantees that the bytes are present.
inline std::uint32_t readBigEndian32(std::span<const std::uint8_t> buffer, std::size_t offset) {
    const std::uint8_t* p = buffer.data() + offset;
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

inline std::uint64_t readBigEndian64(std::span<const std::uint8_t> buffer, std::size_t offset) {
    return (std::uint64_t{readBigEndian32(buffer, offset)} << 32) |
           readBigEndian32(buffer, offset + 4);
}

// The four bytes at `offset` as ASCII text; empty when they do not fit or any is 0x80 or above.
std::string readAtomType(std::span<const std::uint8_t> buffer, std::uint64_t offset);

// Throws ExtractError with the message of the first framing check that fails.
MediaData findMediaData(std::span<const std::uint8_t> buffer);

// As findMediaData, except that a first "mdat" atom running past the end of the buffer (a
// recording that lost power) is returned with the payload size its header states, and `cut`
// set. Every other failure throws as there.
MediaData findMediaDataOrCut(std::span<const std::uint8_t> buffer, bool& cut);

} // namespace MetadataExtractor
