// What veldrin-extract's arguments ask for, read apart from running it: the options, or the
// first usage error in them.
#pragma once

#include "Exports.h"

#include <cstddef>
#include <string>
#include <variant>
#include <vector>

namespace extractcli {

// Most worker threads -j accepts.
inline constexpr std::size_t kMaxWorkers = 256;

struct CommandLine {
    bool help = false;
    bool version = false;
    bool report = false;
    bool trips = false;
    bool joinTrips = false;
    bool events = false;
    exports::Format format = exports::Format::Csv;
    bool salvage = false;
    bool manifest = false;
    std::string evidenceFolder{};
    std::size_t workers = 0; // 0: one per core
    std::string outputFile{};
    std::string outputFolder{};
    std::vector<std::string> paths{};

    bool operator==(const CommandLine&) const = default;
};

struct UsageError {
    std::string subject; // the option or path it is about; empty for the whole command line
    std::string message;

    bool operator==(const UsageError&) const = default;
};

// `argv` as main() gets it, argv[0] the program.
std::variant<CommandLine, UsageError> parseCommandLine(int argc, const char* const* argv);

// What standard error gets for a usage error: its line and the pointer to --help.
std::string usageErrorText(const UsageError& error);

} // namespace extractcli
