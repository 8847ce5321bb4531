// Folder mode: extracts many clips on a pool of threads and writes one "_sei.csv" file per
// clip that carries telemetry.
#pragma once

#include "Exports.h"

#include <cstddef>
#include <ostream>
#include <string>
#include <sys/types.h>
#include <vector>

namespace extractcli {

struct BatchOptions {
    std::string outputFolder;
    std::vector<std::string> paths; // clips, or folders walked for ".mp4" files
    bool report = false;
    bool progress = false; // a progress line that the next line overwrites (a terminal)
    std::size_t workers = 1;
    mode_t fileMode = 0644;
    bool salvage = false; // clips cut short give the rows of their complete blocks
    exports::Format format = exports::Format::Csv;
};

// Writes one line per clip to `log`, in input order, then a summary line. Returns the process
// exit status: non-zero when any clip or folder failed, or when a PATH held no clip.
int runBatch(const BatchOptions& options, std::ostream& log);

} // namespace extractcli
