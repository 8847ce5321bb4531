// The engine's single error type and the exact texts it carries. Raised where a check fails;
// turned into an Output failure at the engine's boundary and never seen outside it.
#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace MetadataExtractor {

namespace messages {
inline constexpr std::string_view kEmptyOversizedOrUnreadableFile =
    "empty, oversized, or unreadable file";
inline constexpr std::string_view kFileExceedsSafetyLimit = "MP4 exceeds the 1 GB safety limit";
inline constexpr std::string_view kNotSupportedContainer = "not a supported MP4 container";
inline constexpr std::string_view kMdatNotFound = "mdat atom not found";
inline constexpr std::string_view kTruncatedExtendedAtomSize = "truncated extended atom size";
inline constexpr std::string_view kInvalidAtomSize = "invalid MP4 atom size";
inline constexpr std::string_view kAtomBeyondFile = "MP4 atom extends beyond file";
inline constexpr std::string_view kInvalidFileHeader = "invalid MP4 file header";
inline constexpr std::string_view kTooManyVideoBlocks = "too many video blocks";
inline constexpr std::string_view kInvalidVideoBlockSize = "invalid video block size";
inline constexpr std::string_view kSeiBlockExceedsLimit = "SEI block exceeds safety limit";
inline constexpr std::string_view kTooManyMetadataRows = "too many metadata rows";
// A file that shrank or went away under its mapping after part of its CSV was handed over.
inline constexpr std::string_view kFileChangedWhileRead = "file changed while being read";
// Prefix of every failure that comes from the operating system (size query, read).
inline constexpr std::string_view kUnexpectedErrorPrefix = "Unexpected extractor error: ";
} // namespace messages

class ExtractError : public std::exception {
public:
    explicit ExtractError(std::string_view message) : message_(message) {}
    const std::string& message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

} // namespace MetadataExtractor
