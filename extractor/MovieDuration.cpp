#include "MovieDuration.h"

#include "MediaWalk.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace MetadataExtractor {
namespace {

constexpr std::uint64_t kLongestAtomHeaderBytes = 16;
// A header-only walk still ends on a file of millions of tiny atoms.
constexpr int kMaxTopLevelAtoms = 100'000;
constexpr std::size_t kVersion0Bytes = 4 + 4 + 4 + 4 + 4;
constexpr std::size_t kVersion1Bytes = 4 + 8 + 8 + 4 + 8;

// The header of an atom that lies whole within `left` bytes, or nothing.
std::optional<AtomHeader> wholeAtom(std::span<const std::uint8_t> bytes, std::uint64_t left) {
    AtomHeader header;
    if (readAtomHeader(bytes, left, header) != AtomFraming::Whole)
        return std::nullopt;
    return header;
}

std::optional<double> fromMovieHeader(std::span<const std::uint8_t> body) {
    const std::uint64_t length = body.size();
    if (length < 1)
        return std::nullopt;
    const std::uint8_t version = body[0];
    std::uint64_t timescale = 0;
    std::uint64_t duration = 0;
    if (version == 0 && length >= kVersion0Bytes) {
        timescale = readBigEndian32(body, 12);
        duration = readBigEndian32(body, 16);
        if (duration == std::numeric_limits<std::uint32_t>::max())
            return std::nullopt;
    } else if (version == 1 && length >= kVersion1Bytes) {
        timescale = readBigEndian32(body, 20);
        duration = readBigEndian64(body, 24);
        if (duration == std::numeric_limits<std::uint64_t>::max())
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    if (timescale == 0)
        return std::nullopt;
    return static_cast<double>(duration) / static_cast<double>(timescale);
}

} // namespace

std::optional<double> movieHeaderDuration(std::span<const std::uint8_t> movieBody) {
    std::uint64_t position = 0;
    const std::uint64_t length = movieBody.size();
    while (position < length) {
        const std::uint64_t left = length - position;
        const auto header = wholeAtom(movieBody.subspan(position), left);
        if (!header)
            return std::nullopt;
        if (header->is("mvhd"))
            return fromMovieHeader(movieBody.subspan(position + header->headerSize,
                                                     header->size - header->headerSize));
        position += header->size;
    }
    return std::nullopt;
}

std::optional<double> movieDuration(std::uint64_t fileSize, const ReadAt& readAt) {
    std::uint64_t position = 0;
    std::uint8_t headerBytes[kLongestAtomHeaderBytes];
    for (int atoms = 0; atoms < kMaxTopLevelAtoms && position < fileSize; ++atoms) {
        const std::uint64_t left = fileSize - position;
        const std::size_t got = readAt(position, headerBytes);
        const auto header = wholeAtom({headerBytes, got}, left);
        if (!header)
            return std::nullopt;
        if (header->is("moov")) {
            const std::uint64_t bodySize = header->size - header->headerSize;
            if (bodySize > kMaxMovieAtomBytes)
                return std::nullopt;
            std::vector<std::uint8_t> body(bodySize);
            if (readAt(position + header->headerSize, body) != bodySize)
                return std::nullopt;
            return movieHeaderDuration(body);
        }
        position += header->size;
    }
    return std::nullopt;
}

std::optional<double> movieDurationInMemory(std::span<const std::uint8_t> clip) {
    return movieDuration(clip.size(), [clip](std::uint64_t offset, std::span<std::uint8_t> out) {
        if (offset >= clip.size())
            return std::size_t{0};
        const std::size_t count = std::min<std::size_t>(out.size(), clip.size() - offset);
        std::memcpy(out.data(), clip.data() + offset, count);
        return count;
    });
}

std::optional<double> movieDuration(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat status {};
    std::optional<double> duration;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        duration = movieDuration(static_cast<std::uint64_t>(status.st_size),
                                 [fd](std::uint64_t offset, std::span<std::uint8_t> out) {
                                     std::size_t done = 0;
                                     while (done < out.size()) {
                                         const ssize_t n =
                                             ::pread(fd, out.data() + done, out.size() - done,
                                                     static_cast<off_t>(offset + done));
                                         if (n < 0 && errno == EINTR)
                                             continue;
                                         if (n <= 0)
                                             break;
                                         done += static_cast<std::size_t>(n);
                                     }
                                     return done;
                                 });
    }
    ::close(fd);
    return duration;
}

} // namespace MetadataExtractor
