// The evidence bundle of one clip: a folder NAME_evidence/ with NAME_sei.csv, report.txt,
// route.gpx, manifest.json and SHA256SUMS over the other four, in the format `sha256sum -c`
// checks. Written whole or not at all. No Qt.
#pragma once

#include "Manifest.h"

#include <cstdint>
#include <string>

namespace exports {

inline constexpr std::string_view kEvidenceSuffix = "_evidence";

// Where the bundle of `clip` goes inside `outputFolder`.
std::string evidenceFolder(const ClipRecord& clip, const std::string& outputFolder);

// Writes the bundle of a clip that carries telemetry into a temporary folder beside its final
// place, flushes every file and the folder to disk, then renames it into place; an existing
// folder of that name is never replaced. Creates `outputFolder` when missing. Returns an error
// text, empty on success; a failure leaves nothing behind.
std::string writeEvidence(const ClipRecord& clip, const std::string& outputFolder,
                          std::int64_t createdSeconds);

} // namespace exports
