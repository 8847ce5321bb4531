#include "EvidenceMode.h"

#include "ClipOutcome.h"
#include "ClipSearch.h"
#include "Evidence.h"

namespace extractcli {

int runEvidence(const EvidenceRequest& request, std::ostream& out, std::ostream& err) {
    if (const std::string_view problem = clipPathProblem(request.clip, false); !problem.empty()) {
        err << errorLine(request.clip, problem);
        return kExitFailure;
    }
    const exports::ClipRecord clip = exports::readClip(request.clip, request.salvage);
    const MetadataExtractor::Output& output = clip.output;
    if (!output.isSuccess()) {
        err << failureLines(request.clip, output.message(), !request.salvage);
        return kExitFailure;
    }
    const bool csv = carriesCsv(output);
    const std::int64_t created = exports::creationSeconds();
    int status = csv ? kExitCsv : kExitNoMetadata;
    if (request.outputFolder.empty()) {
        out << exports::manifestJson(clip, created) << std::flush;
    } else if (!csv) {
        err << errorLine(request.clip, output.text());
    } else if (const std::string error =
                   exports::writeEvidence(clip, request.outputFolder, created);
               !error.empty()) {
        err << errorLine(exports::evidenceFolder(clip, request.outputFolder), error);
        status = kExitFailure;
    } else {
        out << exports::evidenceFolder(clip, request.outputFolder) << "\n" << std::flush;
    }
    if (request.report)
        err << output.report() << lineEnd(output.report());
    return out ? status : kExitFailure;
}

} // namespace extractcli
