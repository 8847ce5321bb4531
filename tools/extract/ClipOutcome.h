// How the command line reads one extraction result (CSV, the no-metadata notice, or a
// failure), its exit statuses, and the shape of its error lines.
#pragma once

#include "ExtractError.h"
#include "MetadataExtractor.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace extractcli {

inline constexpr int kExitCsv = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNoMetadata = 3;

inline constexpr std::string_view kProgram = "veldrin-extract";
// The clip path that stands for standard input.
inline constexpr std::string_view kStandardInputPath = "-";

inline bool carriesCsv(const MetadataExtractor::Output& output) {
    return output.isSuccess() && !output.text().starts_with(MetadataExtractor::kNoMetadataNotice);
}

// Data lines of a CSV text: the header and the rows are joined by single line feeds.
inline std::size_t csvRowCount(const std::string& csv) {
    return static_cast<std::size_t>(std::count(csv.begin(), csv.end(), '\n'));
}

// The engine's texts end without a line feed; what the command line writes ends with one.
inline std::string_view lineEnd(std::string_view text) {
    return text.ends_with('\n') ? "" : "\n";
}

// What the command line says of a clip path before the engine reads it.
inline constexpr std::string_view kNoSuchFile = "No such file";
inline constexpr std::string_view kIsAFolder = "is a folder (use -d to extract the clips in it)";
// Follows the engine's message for a clip whose media data runs past its end.
inline constexpr std::string_view kCutShortHint =
    "the clip may be cut short: --salvage recovers its complete rows";

// "veldrin-extract: PATH: MESSAGE" and a line feed.
inline std::string errorLine(std::string_view path, std::string_view message) {
    std::string line(kProgram);
    line.append(": ").append(path).append(": ").append(message);
    return line.append(lineEnd(message));
}

// The error line of an engine failure, and for a clip cut short the hint at --salvage when
// `salvageOffered` (the mode takes --salvage and it was not given).
inline std::string failureLines(std::string_view path, std::string_view message,
                                bool salvageOffered) {
    std::string lines = errorLine(path, message);
    if (salvageOffered && message == MetadataExtractor::messages::kAtomBeyondFile)
        lines += errorLine(path, kCutShortHint);
    return lines;
}

} // namespace extractcli
