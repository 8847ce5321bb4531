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

int run(const std::string& command) {
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

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

std::string extractorPath() {
    return VELDRIN_EXTRACT_PATH;
}

std::string generate(const std::string& outputPath, const std::vector<std::string>& args) {
    const std::string line = command(VELDRIN_CLIPGEN_PATH, args) + " " + quote(outputPath);
    if (run(line + " >/dev/null") != 0)
        ADD_FAILURE() << "clip generator failed: " << line;
    return outputPath;
}

int runExtractor(const std::vector<std::string>& args, std::string* out, std::string* err) {
    const std::string dir = makeTempDir();
    const int status = run(command(extractorPath(), args) + " >" + quote(dir + "/stdout") + " 2>" +
                           quote(dir + "/stderr"));
    if (out)
        *out = readFile(dir + "/stdout");
    if (err)
        *err = readFile(dir + "/stderr");
    return status;
}

std::string makeTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "veldrin-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        ADD_FAILURE() << "mkdtemp failed";
    static TempDirs tempDirs; // made on first use, whatever the order of static set-up
    tempDirs.dirs.emplace_back(pattern);
    return pattern;
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
