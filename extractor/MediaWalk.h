// Locates the media data of an MP4 file: walks the top-level atoms from the first byte and
// gives the payload range of the first top-level "mdat". Checks only the atom framing.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
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

// One atom's header, as both the media walk and the movie-header reader frame atoms.
struct AtomHeader {
    std::uint64_t size = 0; // the whole atom; a size of 0 ("to the end") resolved
    std::uint64_t headerSize = 0;
    std::array<char, 4> type = {};

    bool is(const char (&name)[5]) const { return std::memcmp(type.data(), name, 4) == 0; }
};

enum class AtomFraming {
    Whole,                 // the header is sound and the atom fits in what is left
    NoHeader,              // fewer bytes than a compact header
    TruncatedExtendedSize, // a 64-bit size announced but not all there
    InvalidSize,           // smaller than its own header
    BeyondEnd,             // runs past what is left; `header` is filled in
};

// Reads the header at the start of `bytes` (those present, at least 16 where there are so
// many) of an atom with `left` bytes from its start to the end of its container.
AtomFraming readAtomHeader(std::span<const std::uint8_t> bytes, std::uint64_t left,
                           AtomHeader& header);

// The four bytes at `offset` as ASCII text; empty when they do not fit or any is 0x80 or above.
std::string readAtomType(std::span<const std::uint8_t> buffer, std::uint64_t offset);

// Throws ExtractError with the message of the first framing check that fails.
MediaData findMediaData(std::span<const std::uint8_t> buffer);

// As findMediaData, except that a first "mdat" atom running past the end of the buffer (a
// recording that lost power) is returned with the payload size its header states, and `cut`
// set. Every other failure throws as there.
MediaData findMediaDataOrCut(std::span<const std::uint8_t> buffer, bool& cut);

} // namespace MetadataExtractor
