// veldrin-extract: the extraction engine on the command line. One clip's CSV goes to
// standard output (or atomically to a file); folder mode writes one CSV file per clip.
#include "AtomicWrite.h"
#include "BatchExtract.h"
#include "ClipOutcome.h"
#include "CommandLine.h"
#include "EvidenceMode.h"
#include "OneClipMode.h"
#include "StandardStreams.h"
#include "TripsMode.h"
#include "Usage.h"

#include <algorithm>
#include <thread>
#include <unistd.h>
#include <variant>

using namespace extractcli;

namespace {

// Asked only by the modes that start workers: the library reads a file of the system for it.
std::size_t cores() {
    return std::max(1u, std::thread::hardware_concurrency());
}

} // namespace

int main(int argc, char** argv) {
    const auto parsed = parseCommandLine(argc, argv);
    if (const auto* error = std::get_if<UsageError>(&parsed)) {
        writeToStandardError(usageErrorText(*error));
        return kExitUsage;
    }
    const CommandLine& c = std::get<CommandLine>(parsed);
    if (c.help || c.version) {
        writeToStandardOutput(c.help ? kUsage : kVersionLine);
        return kExitCsv;
    }
    if (c.manifest || !c.evidenceFolder.empty())
        return runEvidence({c.paths.front(), c.evidenceFolder, c.salvage, c.report},
                           standardOutput(), standardError());
    if (c.trips || c.joinTrips)
        return runTrips({c.paths, c.trips, c.joinTrips ? c.outputFolder : std::string(),
                         c.workers ? c.workers : cores(), defaultFileMode(), c.format},
                        standardOutput(), standardError());
    if (c.outputFolder.empty())
        return runOneClip(c);
    return runBatch({c.outputFolder, c.paths, c.report, ::isatty(STDERR_FILENO) == 1,
                     c.workers ? c.workers : cores(), defaultFileMode(), c.salvage, c.format},
                    standardError());
}
