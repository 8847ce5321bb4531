// How the command line reads one extraction result (CSV, the no-metadata notice, or a
// failure), its exit statuses, and the shape of its error lines.
#pragma once

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

// "veldrin-extract: PATH: MESSAGE" and a line feed.
inline std::string errorLine(std::string_view path, std::string_view message) {
    std::string line(kProgram);
    line.append(": ").append(path).append(": ").append(message);
    return line.append(lineEnd(message));
}

} // namespace extractcli
