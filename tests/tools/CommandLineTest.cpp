// veldrin-extract's option parser on its own: which command lines it takes, as what, and the
// first usage error of those it refuses. No process is started.
#include "CommandLine.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using extractcli::CommandLine;
using extractcli::UsageError;
using namespace std::string_literals;

constexpr const char* kEvidenceAlone =
    "--manifest and --evidence take one clip file, with --salvage and --report only";

std::variant<CommandLine, UsageError> parse(const std::string& words) {
    std::vector<std::string> args{"veldrin-extract"};
    std::istringstream split(words);
    for (std::string word; split >> word;)
        args.push_back(word == "''" ? "" : word);
    std::vector<const char*> argv;
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    return extractcli::parseCommandLine(static_cast<int>(argv.size()), argv.data());
}

CommandLine clips(std::vector<std::string> paths, CommandLine c = {}) {
    c.paths = std::move(paths);
    return c;
}

TEST(ExtractCommandLine, TakesEachModesOptions) {
    using exports::Format;
    const struct {
        const char* words;
        CommandLine expected;
    } cases[] = {
        {"clip.mp4", clips({"clip.mp4"})},
        {"-", clips({"-"})},
        {"--report --salvage --format gpx -o out.gpx clip.mp4",
         clips({"clip.mp4"},
               {.report = true, .format = Format::Gpx, .salvage = true, .outputFile = "out.gpx"})},
        {"--events clip.mp4", clips({"clip.mp4"}, {.events = true})},
        {"-j 256 -d out a b", clips({"a", "b"}, {.workers = 256, .outputFolder = "out"})},
        {"--trips a b", clips({"a", "b"}, {.trips = true})},
        {"--format jsonl -d out --join-trips a",
         clips({"a"}, {.joinTrips = true, .format = Format::JsonLines, .outputFolder = "out"})},
        {"--manifest --salvage clip.mp4", clips({"clip.mp4"}, {.salvage = true, .manifest = true})},
        {"--evidence out clip.mp4", clips({"clip.mp4"}, {.evidenceFolder = "out"})},
        {"-- -x", clips({"-x"})},
        // Help and version stand whatever else is wrong, but not before an unknown option.
        {"-h -o a -d b", {.help = true, .outputFile = "a", .outputFolder = "b"}},
        {"--version", {.version = true}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::get<CommandLine>(parse(c.words)), c.expected) << c.words;
}

// Each as standard error gets it, after "veldrin-extract: ".
TEST(ExtractCommandLine, RefusesWithTheFirstUsageError) {
    const std::pair<const char*, const char*> cases[] = {
        {"--bogus clip.mp4", "--bogus: unknown option"},
        {"--help --bogus", "--bogus: unknown option"},
        {"clip.mp4 -o", "-o: needs a value"},
        {"-d '' clip.mp4", "-d: needs a value"},
        {"-j 0 -d out a", "-j: needs a whole number from 1 to 256"},
        {"-j 257 -d out a", "-j: needs a whole number from 1 to 256"},
        {"-j 2x -d out a", "-j: needs a whole number from 1 to 256"},
        {"--format pdf clip.mp4", "--format: needs csv, gpx, geojson, kml or jsonl"},
        {"", "no clip given"},
        {"-o a -d b clip.mp4", "-o and -d exclude each other"},
        {"a b", "one clip at a time without -d"},
        {"-d out a -", "-: standard input is read only without -d"},
        {"--trips -", "-: standard input is read only without -d"},
        {"--events -o x clip.mp4", "--events goes without -o, -d and trips"},
        {"--events --format kml clip.mp4", "--events goes without --format"},
        {"--manifest -", kEvidenceAlone},
        {"--manifest --evidence out clip.mp4", kEvidenceAlone},
        {"--salvage --trips a", "--salvage does not go with trips"},
        {"--join-trips a", "--join-trips needs -d OUTDIR"},
        {"--trips -o x a", "-o does not go with trips"},
        {"--trips -d out a", "-d with --trips needs --join-trips"},
    };
    for (const auto& [words, line] : cases)
        EXPECT_EQ(extractcli::usageErrorText(std::get<UsageError>(parse(words))),
                  "veldrin-extract: "s + line +
                      "\nTry 'veldrin-extract --help' for more information.\n")
            << words;
}

} // namespace
