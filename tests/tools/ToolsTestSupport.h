// Shared helpers of the tool tests: report parsing and line counting.
#pragma once

#include "TestClips.h"

#include <map>
#include <sstream>
#include <string>

namespace toolstest {

using testclips::kCsvHeader;
using testclips::writeFile;

// "label: value" lines of the diagnostic report.
inline std::map<std::string, long long> parseReport(const std::string& report) {
    std::map<std::string, long long> values;
    std::istringstream lines(report);
    for (std::string line; std::getline(lines, line);) {
        const auto colon = line.find(": ");
        if (colon != std::string::npos)
            values[line.substr(0, colon)] = std::stoll(line.substr(colon + 2));
    }
    return values;
}

// Lines, the last one with or without its line feed.
inline std::size_t lineCount(const std::string& text) {
    std::size_t lines = !text.empty() && text.back() != '\n';
    for (char c : text)
        lines += c == '\n';
    return lines;
}

} // namespace toolstest
