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

namespace {

MediaData walkToMediaData(std::span<const std::uint8_t> buffer, bool* cut) {
    const std::uint64_t length = buffer.size();
    if (length < kMinimumContainerBytes || readAtomType(buffer, kTypeOffset) != "ftyp")
        throw ExtractError(messages::kNotSupportedContainer);

    std::uint64_t position = 0;
    for (;;) {
        // Written as "bytes left < bytes needed" so that nothing can overflow.
        const std::uint64_t left = length - position;
        if (left < kCompactHeaderBytes)
            throw ExtractError(messages::kMdatNotFound);
        const std::uint32_t sizeField = readBigEndian32(buffer, position);
        const std::string type = readAtomType(buffer, position + kTypeOffset);

        std::uint64_t atomSize = sizeField;
        std::uint64_t headerSize = kCompactHeaderBytes;
        if (sizeField == kSizeToEndOfFile) {
            atomSize = left;
        } else if (sizeField == kSizeIsExtended) {
            if (left < kExtendedHeaderBytes)
                throw ExtractError(messages::kTruncatedExtendedAtomSize);
            atomSize = readBigEndian64(buffer, position + kExtendedSizeOffset);
            headerSize = kExtendedHeaderBytes;
        }
        if (atomSize < headerSize)
            throw ExtractError(messages::kInvalidAtomSize);
        const MediaData payload{static_cast<std::int64_t>(position + headerSize),
                                static_cast<std::int64_t>(atomSize - headerSize)};
        if (atomSize > left) {
            if (cut == nullptr || type != "mdat")
                throw ExtractError(messages::kAtomBeyondFile);
            *cut = true;
            return payload;
        }
        if (position == 0 && atomSize < kMinimumFileTypeAtomBytes)
            throw ExtractError(messages::kInvalidFileHeader);
        if (type == "mdat")
            return payload;
        position += atomSize;
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
