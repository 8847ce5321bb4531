#include "OneClipMode.h"

#include "AtomicWrite.h"
#include "ClipOutcome.h"
#include "ClipSearch.h"
#include "EventsMode.h"
#include "FileIdentity.h"
#include "FormatMode.h"
#include "Limits.h"
#include "MetadataExtractor.h"
#include "MovieDuration.h"
#include "StandardInput.h"
#include "StandardStreams.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <unistd.h>

namespace extractcli {
namespace {

constexpr std::string_view kOutputIsInput = "is the clip itself";
constexpr std::string_view kCannotWriteOutput = "cannot write: ";
constexpr std::string_view kStandardOutput = "standard output";

// Reports a failure to write on standard error.
bool flushStdout() {
    if (!std::ferror(stdout) && std::fflush(stdout) == 0)
        return true;
    writeToStandardError(
        errorLine(kStandardOutput, std::string(kCannotWriteOutput) + std::strerror(errno)));
    return false;
}

bool writeToStdout(const TextProducer& produce) {
    produce(writeToStandardOutput);
    return flushStdout();
}

MetadataExtractor::Output extractStandardInput(InputBytes& input,
                                               const MetadataExtractor::ExtractOptions& options) {
    // One byte over the engine's limit, so that the engine tells a clip that is too large.
    const std::string error = readStandardInput(MetadataExtractor::kMaxFileBytes + 1, input);
    if (!error.empty())
        return MetadataExtractor::Output::failure(
            std::string(MetadataExtractor::messages::kUnexpectedErrorPrefix) + error);
    return MetadataExtractor::extractFromBuffer(input.bytes(), options);
}

bool outputIsInput(const CommandLine& c) {
    const auto output = fileIdentity(c.outputFile);
    const std::string& clip = c.paths.front();
    return output &&
           output == (clip == kStandardInputPath ? fileIdentity(STDIN_FILENO) : fileIdentity(clip));
}

} // namespace

int runOneClip(const CommandLine& c) {
    const std::string& clip = c.paths.front();
    if (!c.outputFile.empty() && outputIsInput(c)) {
        writeToStandardError(errorLine(c.outputFile, kOutputIsInput));
        return kExitUsage;
    }
    const bool fromInput = clip == kStandardInputPath;
    if (const std::string_view problem =
            fromInput ? std::string_view() : clipPathProblem(clip, false);
        !problem.empty()) {
        writeToStandardError(errorLine(clip, problem));
        return kExitFailure;
    }
    InputBytes input;
    MetadataExtractor::ExtractOptions options;
    options.salvage = c.salvage;
    // The process ends after this clip.
    options.leaveMappingToExit = true;
    // A CSV bound for standard output as it stands goes out as its rows are written.
    bool streamed = false;
    if (c.outputFile.empty() && !c.events && c.format == exports::Format::Csv) {
        options.csvPieces = [&streamed](std::string_view piece) {
            streamed = true;
            writeToStandardOutput(piece);
        };
    }
    const MetadataExtractor::Output output = fromInput ? extractStandardInput(input, options)
                                                       : MetadataExtractor::extract(clip, options);
    if (!output.isSuccess()) {
        writeToStandardError(failureLines(clip, output.message(), !c.salvage));
        return kExitFailure;
    }
    const std::string& text = output.text();
    const bool csv = streamed || carriesCsv(output);
    // What --format makes of the CSV; a notice is written as it stands.
    const exports::Format format = csv ? c.format : exports::Format::Csv;
    const auto writeBody = [&](const exports::TextSink& sink) {
        writeClipText(format, text, clip, input.bytes(), sink);
    };
    if (c.events && !csv) {
        writeToStandardError(errorLine(clip, text));
    } else if (c.events) {
        const auto duration = fromInput ? bufferedMovieDuration(input.bytes())
                                        : MetadataExtractor::movieDuration(clip);
        const std::string lines = eventLines(text, duration);
        if (!writeToStdout([&lines](const exports::TextSink& sink) { sink(lines); }))
            return kExitFailure;
    } else if (streamed) {
        // The engine's text ends without a line feed.
        writeToStandardOutput(lineEnd({}));
        if (!flushStdout())
            return kExitFailure;
    } else if (c.outputFile.empty()) {
        if (!writeToStdout(writeBody))
            return kExitFailure;
    } else if (!csv) {
        writeToStandardError(errorLine(clip, text));
    } else if (const std::string error =
                   writeFileAtomically(c.outputFile, writeBody, defaultFileMode());
               !error.empty()) {
        writeToStandardError(errorLine(c.outputFile, error));
        return kExitFailure;
    }
    if (c.report) {
        writeToStandardError(output.report());
        writeToStandardError(lineEnd(output.report()));
    }
    return csv ? kExitCsv : kExitNoMetadata;
}

} // namespace extractcli
