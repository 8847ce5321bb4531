// Top-level MP4 atom walk.
#include "MediaWalk.h"

#include "ExtractError.h"

namespace MetadataExtractor {
namespace {

constexpr std::uint64_t kMinimumContainerBytes = 16;
constexpr std::uint64_t kMinimumFileTypeAtomBytes = 16;
constexpr std::uint64_t kCompactHeaderBytes = 8;
constexpr std::uint64_t kExtendedHeaderBytes = 16;
constexpr std::uint32_t kSizeToEndOfFile = 0;
constexpr std::uint32_t kSizeIsExtended = 1;
constexpr std::uint64_t kTypeOffset = 4;
constexpr std::uint64_t kExtendedSizeOffset = 8;
constexpr std::uint8_t kFirstNonAsciiByte = 0x80;

} // namespace

std::string readAtomType(std::span<const std::uint8_t> buffer, std::uint64_t offset) {
    constexpr std::uint64_t kTypeBytes = 4;
    if (offset > buffer.size() || buffer.size() - offset < kTypeBytes)
        return {};
    std::string type(kTypeBytes, '\0');
    for (std::uint64_t i = 0; i < kTypeBytes; ++i) {
        const std::uint8_t byte = buffer[offset + i];
        if (byte >= kFirstNonAsciiByte)
            return {};
        type[i] = static_cast<char>(byte);
    }
    return type;
}

AtomFraming readAtomHeader(std::span<const std::uint8_t> bytes, std::uint64_t left,
                           AtomHeader& header) {
    if (left < kCompactHeaderBytes || bytes.size() < kCompactHeaderBytes)
        return AtomFraming::NoHeader;
    const std::uint32_t sizeField = readBigEndian32(bytes, 0);
    std::memcpy(header.type.data(), bytes.data() + kTypeOffset, header.type.size());
    header.size = sizeField;
    header.headerSize = kCompactHeaderBytes;
    if (sizeField == kSizeToEndOfFile) {
        header.size = left;
    } else if (sizeField == kSizeIsExtended) {
        if (left < kExtendedHeaderBytes || bytes.size() < kExtendedHeaderBytes)
            return AtomFraming::TruncatedExtendedSize;
        header.size = readBigEndian64(bytes, kExtendedSizeOffset);
        header.headerSize = kExtendedHeaderBytes;
    }
    if (header.size < header.headerSize)
        return AtomFraming::InvalidSize;
    return header.size > left ? AtomFraming::BeyondEnd : AtomFraming::Whole;
}

namespace {

MediaData walkToMediaData(std::span<const std::uint8_t> buffer, bool* cut) {
    const std::uint64_t length = buffer.size();
    if (length < kMinimumContainerBytes || readAtomType(buffer, kTypeOffset) != "ftyp")
        throw ExtractError(messages::kNotSupportedContainer);

    for (std::uint64_t position = 0;;) {
        AtomHeader atom;
        const AtomFraming framing =
            readAtomHeader(buffer.subspan(position), length - position, atom);
        switch (framing) {
        case AtomFraming::NoHeader:
            throw ExtractError(messages::kMdatNotFound);
        case AtomFraming::TruncatedExtendedSize:
            throw ExtractError(messages::kTruncatedExtendedAtomSize);
        case AtomFraming::InvalidSize:
            throw ExtractError(messages::kInvalidAtomSize);
        case AtomFraming::BeyondEnd:
        case AtomFraming::Whole:
            break;
        }
        const MediaData payload{static_cast<std::int64_t>(position + atom.headerSize),
                                static_cast<std::int64_t>(atom.size - atom.headerSize)};
        if (framing == AtomFraming::BeyondEnd) {
            if (cut == nullptr || !atom.is("mdat"))
                throw ExtractError(messages::kAtomBeyondFile);
            *cut = true;
            return payload;
        }
        if (position == 0 && atom.size < kMinimumFileTypeAtomBytes)
            throw ExtractError(messages::kInvalidFileHeader);
        if (atom.is("mdat"))
            return payload;
        position += atom.size;
    }
}

} // namespace

MediaData findMediaData(std::span<const std::uint8_t> buffer) {
    return walkToMediaData(buffer, nullptr);
}

MediaData findMediaDataOrCut(std::span<const std::uint8_t> buffer, bool& cut) {
    cut = false;
    return walkToMediaData(buffer, &cut);
}

} // namespace MetadataExtractor
