// The extraction engine's entry point: one MP4 clip in, telemetry CSV text plus a
// diagnostic report (or a one-line failure message) out. Pure and synchronous; callers
// that must not block run it on a worker thread. No Qt here.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace MetadataExtractor {

class Output {
public:
    static Output success(std::string text, std::string report);
    static Output failure(std::string message);

    bool isSuccess() const { return std::holds_alternative<Success>(value_); }
    // Success: the CSV text or the no-metadata notice. Empty on failure.
    const std::string& text() const;
    // Success: the seven-line diagnostic report. Empty on failure.
    const std::string& report() const;
    // Failure: the message. Empty on success.
    const std::string& message() const;

    friend bool operator==(const Output&, const Output&) = default;

private:
    struct Success {
        std::string text;
        std::string report;
        friend bool operator==(const Success&, const Success&) = default;
    };
    struct Failure {
        std::string message;
        friend bool operator==(const Failure&, const Failure&) = default;
    };
    explicit Output(std::variant<Success, Failure> value) : value_(std::move(value)) {}
    std::variant<Success, Failure> value_;
};

struct ExtractOptions {
    // A clip whose first "mdat" atom runs past the end of the file (recording cut short) gives
    // the rows of its complete blocks instead of failing, and its report an eighth line,
    // "salvaged_bytes: N". Any other clip extracts as without it.
    bool salvage = false;
    // Sees the bytes that were parsed once an extraction succeeds (to hash exactly those). It is
    // called again if the file changed under its mapping; the last call's bytes count.
    std::function<void(std::span<const std::uint8_t>)> parsedBytes;
    // When set, a CSV text is handed here in pieces as its rows are written, not held whole
    // (Output::text() is then empty; it ends without a line feed, as the text would). Only
    // once the walk is known to succeed, so that a failure hands nothing over, except when the
    // file changes under its mapping after the first piece: that fails with
    // messages::kFileChangedWhileRead. The notice of a clip without telemetry stays in text().
    std::function<void(std::string_view piece)> csvPieces;
    // For a process that ends after this one extraction: a mapped file is left for its exit to
    // unmap, which costs a short run a quarter of its CPU time less than unmapping it here.
    bool leaveMappingToExit = false;
};

// Reads the file at `path` and extracts its telemetry. Never throws.
Output extract(const std::string& path);
Output extract(const std::string& path, const ExtractOptions& options);

// The same over bytes already in memory (after the file-size check).
Output extractFromBuffer(std::span<const std::uint8_t> buffer);
Output extractFromBuffer(std::span<const std::uint8_t> buffer, const ExtractOptions& options);

// The first lines of the result text when a clip carries no telemetry.
extern const char* const kNoMetadataNotice;

} // namespace MetadataExtractor
