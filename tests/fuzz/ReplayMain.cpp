// Replays fuzz inputs without libFuzzer: every file named on the command line, and every file
// inside the directories named there, goes once through LLVMFuzzerTestOneInput. Lets ordinary
// builds run the targets over their seed corpus so they never rot.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool replay(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.c_str());
        return false;
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::size_t count = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path(argv[i]);
        std::error_code error;
        if (std::filesystem::is_directory(path, error)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) {
                if (!entry.is_regular_file())
                    continue;
                if (!replay(entry.path()))
                    return 1;
                ++count;
            }
        } else {
            if (!replay(path))
                return 1;
            ++count;
        }
    }
    std::printf("replayed %zu inputs\n", count);
    // An empty corpus would hide a broken seed step.
    return count > 0 ? 0 : 1;
}
