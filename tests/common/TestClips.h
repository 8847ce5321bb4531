// Real clips for tests: runs the project's clip generator into a temporary folder.
#pragma once

#include <string>
#include <vector>

namespace testclips {

// Path of the veldrin-clipgen executable this build made.
std::string generatorPath();

// Runs the generator with `args` and the output path last. Returns the output path;
// fails the calling test (ADD_FAILURE) when the generator fails.
std::string generate(const std::string& outputPath, const std::vector<std::string>& args = {});

// Runs veldrin-extract with `args`; returns its exit status, fills stdout/stderr texts.
int runExtractor(const std::vector<std::string>& args, std::string* out = nullptr,
                 std::string* err = nullptr);

// Path of the veldrin-extract executable this build made.
std::string extractorPath();

// A fresh empty temporary folder, removed at process exit.
std::string makeTempDir();

std::string readFile(const std::string& path);

} // namespace testclips
