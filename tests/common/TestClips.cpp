#include "TestClips.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace testclips {
namespace {

std::string quote(const std::string& s) {
    std::string out = "'";
    for (char c : s) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

struct TempDirs {
    std::vector<std::filesystem::path> dirs;
    ~TempDirs() {
        std::error_code ec;
        for (auto& d : dirs)
            std::filesystem::remove_all(d, ec);
    }
};
TempDirs& tempDirs() {
    static TempDirs t;
    return t;
}

int run(const std::string& command) {
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

std::string generatorPath() {
    return VELDRIN_CLIPGEN_PATH;
}
std::string extractorPath() {
    return VELDRIN_EXTRACT_PATH;
}

std::string generate(const std::string& outputPath, const std::vector<std::string>& args) {
    std::string command = quote(generatorPath());
    for (auto& a : args)
        command += " " + quote(a);
    command += " " + quote(outputPath) + " >/dev/null";
    if (run(command) != 0)
        ADD_FAILURE() << "clip generator failed: " << command;
    return outputPath;
}

int runExtractor(const std::vector<std::string>& args, std::string* out, std::string* err) {
    std::string dir = makeTempDir();
    std::string outFile = dir + "/stdout", errFile = dir + "/stderr";
    std::string command = quote(extractorPath());
    for (auto& a : args)
        command += " " + quote(a);
    command += " >" + quote(outFile) + " 2>" + quote(errFile);
    int status = run(command);
    if (out)
        *out = readFile(outFile);
    if (err)
        *err = readFile(errFile);
    return status;
}

std::string makeTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "veldrin-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        ADD_FAILURE() << "mkdtemp failed";
    tempDirs().dirs.emplace_back(pattern);
    return pattern;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace testclips
