// Trips mode: clips grouped into drives, listed one line per trip, or joined into one CSV per
// trip.
#pragma once

#include "Exports.h"

#include <cstddef>
#include <ostream>
#include <string>
#include <sys/types.h>
#include <vector>

namespace extractcli {

struct TripsOptions {
    std::vector<std::string> paths; // clips, or folders walked as in folder mode
    bool list = false;              // the trip listing to standard output
    std::string joinFolder;         // when set, one joined CSV per trip goes here
    std::size_t workers = 1;
    mode_t fileMode = 0644;
    exports::Format format = exports::Format::Csv; // of the joined files
};

// Returns the process exit status: non-zero when a PATH is missing, a folder could not be read
// or held no clip, a clip could not be extracted (its moment is listed with no rows; a trip of
// such clips alone is not joined), or a joined file could not be written.
int runTrips(const TripsOptions& options, std::ostream& out, std::ostream& log);

} // namespace extractcli
