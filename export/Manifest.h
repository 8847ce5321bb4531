// What proves a clip unaltered: its SHA-256 over exactly the bytes the engine parsed, beside
// what the engine found in them, as manifest.json. No Qt.
#pragma once

#include "MetadataExtractor.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace exports {

// One clip read once: the extraction, the hash and the movie duration all come from one buffer.
struct ClipRecord {
    std::string fileName;
    MetadataExtractor::Output output = MetadataExtractor::Output::failure({});
    std::string sha256;             // lower-case hex; empty when the extraction failed
    std::optional<double> duration; // from the movie header
};

ClipRecord readClip(const std::string& path, bool salvage);

// Lower-case hex.
std::string sha256Hex(std::span<const std::uint8_t> bytes);

// SOURCE_DATE_EPOCH when it holds a whole number of seconds, so that a bundle can be made
// again byte for byte; otherwise now.
std::int64_t creationSeconds();

// manifest.json of a clip read successfully: keys in a fixed order, two-space indentation, one
// key per line, a final line feed. "start" is the clip name's start as local time with its UTC
// offset ("2026-03-14T08:15:00+01:00"), or null.
std::string manifestJson(const ClipRecord& clip, std::int64_t createdSeconds);

} // namespace exports
