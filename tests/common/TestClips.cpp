#include "TestClips.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace testclips {
namespace {

// Removes the temporary folders at process exit.
struct TempDirs {
    std::vector<std::filesystem::path> dirs;
    ~TempDirs() {
        std::error_code ec;
        for (auto& d : dirs)
            std::filesystem::remove_all(d, ec);
    }
};

} // namespace

std::string quote(const std::string& s) {
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string command(const std::string& program, const std::vector<std::string>& args) {
    std::string line = quote(program);
    for (auto& a : args)
        line += " " + quote(a);
    return line;
}

int runShell(const std::string& line, std::string* out, std::string* err) {
    const std::string dir = makeTempDir();
    const int status = std::system((line + " >" + quote(dir + "/stdout") +
                                    (err ? " 2>" + quote(dir + "/stderr") : std::string()))
                                       .c_str());
    if (out)
        *out = readFile(dir + "/stdout");
    if (err)
        *err = readFile(dir + "/stderr");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string extractorPath() {
    return VELDRIN_EXTRACT_PATH;
}

std::string generate(const std::string& outputPath, const std::vector<std::string>& args) {
    const std::string line = command(VELDRIN_CLIPGEN_PATH, args) + " " + quote(outputPath);
    if (runShell(line) != 0)
        ADD_FAILURE() << "clip generator failed: " << line;
    return outputPath;
}

int runExtractor(const std::vector<std::string>& args, std::string* out, std::string* err) {
    return runShell(command(extractorPath(), args), out, err);
}

std::string makeTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "veldrin-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        ADD_FAILURE() << "mkdtemp failed";
    static TempDirs tempDirs; // made on first use, whatever the order of static set-up
    tempDirs.dirs.emplace_back(pattern);
    return pattern;
}

std::vector<std::string> split(const std::string& line, char separator) {
    std::vector<std::string> cells;
    std::stringstream in(line);
    for (std::string cell; std::getline(in, cell, separator);)
        cells.push_back(cell);
    if (!line.empty() && line.back() == separator)
        cells.emplace_back();
    return cells;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, std::string_view content) {
    std::ofstream(path, std::ios::binary).write(content.data(), std::streamsize(content.size()));
}

} // namespace testclips
