// veldrin-extract: the extraction engine on the command line. One clip's CSV goes to
// standard output (or atomically to a file); folder mode writes one CSV file per clip.
#include "AtomicWrite.h"
#include "BatchExtract.h"
#include "ClipOutcome.h"
#include "MetadataExtractor.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace extractcli;

constexpr const char* kProgram = "veldrin-extract";

constexpr const char* kUsage = R"(Usage: veldrin-extract [--report] [-o FILE] CLIP
       veldrin-extract [--report] -d OUTDIR PATH...

Extracts the telemetry that a dashcam clip (MP4, H.264) carries in its SEI units.

One clip:
  The CSV text goes to standard output exactly as extracted, with no byte added.
  When the clip carries no telemetry, the no-metadata notice goes there instead.
  On failure nothing goes to standard output; standard error gets a line ending in
  the failure message.
  -o FILE     write the text to FILE instead, atomically (a temporary file in the same
              folder, flushed to disk, then renamed over FILE)

Many clips:
  -d OUTDIR   extract every PATH: a clip, or a folder walked for files ending in ".mp4"
              in any letter case (hidden files and folders skipped). For each clip that
              carries telemetry, OUTDIR gets "<clip name without extension>_sei.csv".
              Standard error gets one line per clip: its rows, "no SEI metadata", or its
              failure message. Clips are extracted in parallel on every core.

Options:
  --report    also write the seven-line diagnostic report to standard error
  --help      show this text

Exit status:
  0  CSV extracted (folder mode: no clip failed)
  1  failure (folder mode: at least one clip failed)
  2  usage error
  3  the clip carries no telemetry (one clip only)
)";

struct CommandLine {
    bool help = false;
    bool report = false;
    std::string outputFile;
    std::string outputFolder;
    std::vector<std::string> paths;
};

// Returns an error text, empty when the command line is valid.
std::string parse(int argc, char** argv, CommandLine& c) {
    bool optionsEnded = false;
    bool haveOutputFile = false, haveOutputFolder = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            c.paths.emplace_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            c.help = true;
        } else if (arg == "--report") {
            c.report = true;
        } else if (arg == "-o" || arg == "-d") {
            if (i + 1 >= argc || argv[i + 1][0] == '\0')
                return std::string("option ") + std::string(arg) + " needs a value";
            (arg == "-o" ? c.outputFile : c.outputFolder) = argv[++i];
            (arg == "-o" ? haveOutputFile : haveOutputFolder) = true;
        } else {
            return "unknown option " + std::string(arg);
        }
    }
    if (c.help)
        return {};
    if (haveOutputFile && haveOutputFolder)
        return "-o and -d exclude each other";
    if (c.paths.empty())
        return "no clip given";
    if (!haveOutputFolder && c.paths.size() > 1)
        return "one clip at a time without -d";
    return {};
}

bool writeToStdout(const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
           std::fflush(stdout) == 0;
}

int extractOne(const CommandLine& c) {
    const std::string& clip = c.paths.front();
    const MetadataExtractor::Output output = MetadataExtractor::extract(clip);
    if (!output.isSuccess()) {
        std::cerr << kProgram << ": " << clip << ": " << output.message() << "\n";
        return kExitFailure;
    }
    if (!c.outputFile.empty()) {
        const std::string error =
            writeFileAtomically(c.outputFile, output.text(), defaultFileMode());
        if (!error.empty()) {
            std::cerr << kProgram << ": " << error << "\n";
            return kExitFailure;
        }
    } else if (!writeToStdout(output.text())) {
        std::cerr << kProgram << ": cannot write standard output: " << std::strerror(errno) << "\n";
        return kExitFailure;
    }
    if (c.report)
        std::cerr << output.report() << "\n";
    return carriesCsv(output) ? kExitCsv : kExitNoMetadata;
}

} // namespace

int main(int argc, char** argv) {
    CommandLine c;
    if (const std::string error = parse(argc, argv, c); !error.empty()) {
        std::cerr << kProgram << ": " << error << "\n"
                  << "Try '" << kProgram << " --help' for more information.\n";
        return kExitUsage;
    }
    if (c.help) {
        std::cout << kUsage;
        return 0;
    }
    if (!c.outputFolder.empty())
        return runBatch({c.outputFolder, c.paths, c.report, defaultFileMode()}, std::cerr);
    return extractOne(c);
}
