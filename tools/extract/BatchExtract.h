// Folder mode: extracts many clips on every core and writes one "_sei.csv" file per clip
// that carries telemetry.
#pragma once

#include <ostream>
#include <string>
#include <sys/types.h>
#include <vector>

namespace extractcli {

struct BatchOptions {
    std::string outputFolder;
    std::vector<std::string> paths; // clips, or folders walked for ".mp4" files
    bool report = false;
    mode_t fileMode = 0644;
};

// Writes one line per clip to `log`, in input order. Returns the process exit status:
// non-zero when any clip failed.
int runBatch(const BatchOptions& options, std::ostream& log);

} // namespace extractcli
