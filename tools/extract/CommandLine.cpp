#include "CommandLine.h"

#include "ClipOutcome.h"
#include "FormatMode.h"

#include <charconv>
#include <optional>
#include <string_view>

namespace extractcli {
namespace {

constexpr std::string_view kTryHelp = "Try 'veldrin-extract --help' for more information.\n";
constexpr std::string_view kNeedsValue = "needs a value";
constexpr const char* kNotAWorkerCount = "needs a whole number from 1 to ";
constexpr std::string_view kUnknownOption = "unknown option";
constexpr std::string_view kExclusiveOutputs = "-o and -d exclude each other";
constexpr std::string_view kNoClip = "no clip given";
constexpr std::string_view kOneClipOnly = "one clip at a time without -d";
constexpr std::string_view kStandardInputAlone = "standard input is read only without -d";
constexpr std::string_view kJoinNeedsFolder = "--join-trips needs -d OUTDIR";
constexpr std::string_view kTripsExcludeOutputFile = "-o does not go with trips";
constexpr std::string_view kTripsFolderNeedsJoin = "-d with --trips needs --join-trips";
constexpr std::string_view kEventsAlone = "--events goes without -o, -d and trips";
constexpr std::string_view kEventsWithFormat = "--events goes without --format";
constexpr std::string_view kSalvageWithoutTrips = "--salvage does not go with trips";
constexpr std::string_view kEvidenceAlone =
    "--manifest and --evidence take one clip file, with --salvage and --report only";

std::optional<std::size_t> workerCount(std::string_view text) {
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1 ||
        value > kMaxWorkers)
        return std::nullopt;
    return value;
}

std::optional<UsageError> parse(int argc, const char* const* argv, CommandLine& c) {
    bool optionsEnded = false;
    bool haveOutputFile = false, haveOutputFolder = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == kStandardInputPath) {
            c.paths.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            c.help = true;
        } else if (arg == "--version") {
            c.version = true;
        } else if (arg == "--report") {
            c.report = true;
        } else if (arg == "--trips") {
            c.trips = true;
        } else if (arg == "--join-trips") {
            c.joinTrips = true;
        } else if (arg == "--events") {
            c.events = true;
        } else if (arg == "--salvage") {
            c.salvage = true;
        } else if (arg == "--manifest") {
            c.manifest = true;
        } else if (arg == "-o" || arg == "-d" || arg == "-j" || arg == "--format" ||
                   arg == "--evidence") {
            if (i + 1 >= argc || argv[i + 1][0] == '\0')
                return UsageError{arg, std::string(kNeedsValue)};
            const std::string value = argv[++i];
            if (arg == "-o") {
                c.outputFile = value;
                haveOutputFile = true;
            } else if (arg == "-d") {
                c.outputFolder = value;
                haveOutputFolder = true;
            } else if (arg == "--evidence") {
                c.evidenceFolder = value;
            } else if (arg == "--format") {
                const auto format = exports::formatNamed(value);
                if (!format)
                    return UsageError{arg, std::string(kUnknownFormat)};
                c.format = *format;
            } else if (const auto workers = workerCount(value)) {
                c.workers = *workers;
            } else {
                return UsageError{arg, kNotAWorkerCount + std::to_string(kMaxWorkers)};
            }
        } else {
            return UsageError{arg, std::string(kUnknownOption)};
        }
    }
    if (c.help || c.version)
        return std::nullopt;
    if (haveOutputFile && haveOutputFolder)
        return UsageError{{}, std::string(kExclusiveOutputs)};
    if (c.paths.empty())
        return UsageError{{}, std::string(kNoClip)};
    if (c.events && (haveOutputFile || haveOutputFolder || c.trips || c.joinTrips))
        return UsageError{{}, std::string(kEventsAlone)};
    if (c.events && c.format != exports::Format::Csv)
        return UsageError{{}, std::string(kEventsWithFormat)};
    if ((c.manifest || !c.evidenceFolder.empty()) &&
        ((c.manifest && !c.evidenceFolder.empty()) || haveOutputFile || haveOutputFolder ||
         c.trips || c.joinTrips || c.events || c.format != exports::Format::Csv ||
         c.paths.front() == kStandardInputPath))
        return UsageError{{}, std::string(kEvidenceAlone)};
    if (c.salvage && (c.trips || c.joinTrips))
        return UsageError{{}, std::string(kSalvageWithoutTrips)};
    if (c.joinTrips && !haveOutputFolder)
        return UsageError{{}, std::string(kJoinNeedsFolder)};
    if ((c.trips || c.joinTrips) && haveOutputFile)
        return UsageError{{}, std::string(kTripsExcludeOutputFile)};
    if (c.trips && haveOutputFolder && !c.joinTrips)
        return UsageError{{}, std::string(kTripsFolderNeedsJoin)};
    if (!haveOutputFolder && !c.trips && c.paths.size() > 1)
        return UsageError{{}, std::string(kOneClipOnly)};
    for (const std::string& path : c.paths) {
        if ((haveOutputFolder || c.trips) && path == kStandardInputPath)
            return UsageError{path, std::string(kStandardInputAlone)};
    }
    return std::nullopt;
}

} // namespace

std::variant<CommandLine, UsageError> parseCommandLine(int argc, const char* const* argv) {
    CommandLine c;
    if (auto error = parse(argc, argv, c))
        return *std::move(error);
    return c;
}

std::string usageErrorText(const UsageError& error) {
    std::string text(kProgram);
    text += ": ";
    if (!error.subject.empty())
        text.append(error.subject).append(": ");
    return text.append(error.message).append("\n").append(kTryHelp);
}

} // namespace extractcli
