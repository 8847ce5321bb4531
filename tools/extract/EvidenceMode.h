// --manifest and --evidence: a clip's manifest.json on standard output, or its whole evidence
// bundle in a folder.
#pragma once

#include <ostream>
#include <string>

namespace extractcli {

struct EvidenceRequest {
    std::string clip;
    std::string outputFolder; // empty: print the manifest only
    bool salvage = false;
    bool report = false;
};

// Returns the process exit status: 0, 1 on failure, 3 when the clip carries no telemetry (the
// manifest is printed all the same; no bundle is written).
int runEvidence(const EvidenceRequest& request, std::ostream& out, std::ostream& err);

} // namespace extractcli
