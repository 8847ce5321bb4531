// A clip's length from its movie header, read without reading the clip: only the top-level
// atom headers and the movie atom are touched, so listing hundreds of clips on slow media
// stays fast.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

namespace MetadataExtractor {

// Largest movie atom read for its header.
inline constexpr std::uint64_t kMaxMovieAtomBytes = std::uint64_t{64} << 20;

// Fills `out` from `offset`; returns how many bytes it got (fewer at the end of the file).
using ReadAt = std::function<std::size_t(std::uint64_t offset, std::span<std::uint8_t> out)>;

// Seconds of the movie header's duration, or nothing when the file has no readable movie
// header (cut short, not an MP4, a zero timescale, an unknown duration). Never throws.
std::optional<double> movieDuration(const std::string& path);
std::optional<double> movieDuration(std::uint64_t fileSize, const ReadAt& readAt);
// The same over a whole clip already in memory.
std::optional<double> movieDurationInMemory(std::span<const std::uint8_t> clip);

// The same from the body of a movie atom already in memory.
std::optional<double> movieHeaderDuration(std::span<const std::uint8_t> movieBody);

} // namespace MetadataExtractor
