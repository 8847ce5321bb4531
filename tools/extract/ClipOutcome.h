// How the command line reads one extraction result: CSV, the no-metadata notice, or a failure.
#pragma once

#include "MetadataExtractor.h"

#include <algorithm>
#include <string>

namespace extractcli {

inline constexpr int kExitCsv = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNoMetadata = 3;

inline bool carriesCsv(const MetadataExtractor::Output& output) {
    return output.isSuccess() && !output.text().starts_with(MetadataExtractor::kNoMetadataNotice);
}

// Data lines of a CSV text: the header and the rows are joined by single line feeds.
inline std::size_t csvRowCount(const std::string& csv) {
    return static_cast<std::size_t>(std::count(csv.begin(), csv.end(), '\n'));
}

} // namespace extractcli
