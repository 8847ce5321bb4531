// The evidence bundle of a 1 GiB clip against SHA-256 alone over the same bytes: the bundle
// should cost one read and one hash of the clip, little more. The clip is a generated one
// whose media data is padded, sparsely, with one long picture block up to the engine's limit.
#include "Evidence.h"
#include "Limits.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr std::uint8_t kPictureNalHeader = 0x01;

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void putBigEndian32(std::string& out, std::size_t at, std::uint64_t value) {
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (24 - 8 * i));
}

// ftyp ... mdat(the generated blocks + one padding block) moov, exactly 1 GiB.
const std::string& largeClip() {
    static const std::string path = [] {
        const fs::path dir = fs::temp_directory_path() / "veldrin-evidence-bench";
        fs::create_directories(dir);
        const std::string small = (dir / "small.mp4").string();
        const std::string command =
            std::string(VELDRIN_CLIPGEN_PATH) + " --frames 300 --fast " + small + " >/dev/null";
        if (std::system(command.c_str()) != 0)
            std::abort();
        const std::string clip = readAll(small);
        const std::size_t mdat = clip.find("mdat") - 4;
        const std::size_t mdatEnd =
            mdat + (std::uint8_t(clip[mdat]) << 24 | std::uint8_t(clip[mdat + 1]) << 16 |
                    std::uint8_t(clip[mdat + 2]) << 8 | std::uint8_t(clip[mdat + 3]));
        const std::string tail = clip.substr(mdatEnd);
        std::string head = clip.substr(0, mdatEnd) + std::string(5, '\0');
        const std::uint64_t total = MetadataExtractor::kMaxFileBytes;
        const std::uint64_t padding = total - head.size() - tail.size();
        putBigEndian32(head, mdat, total - tail.size() - mdat);
        putBigEndian32(head, mdatEnd, padding + 1);
        head[mdatEnd + 4] = static_cast<char>(kPictureNalHeader);
        const std::string large = (dir / "large.mp4").string();
        std::ofstream out(large, std::ios::binary | std::ios::trunc);
        out.write(head.data(), std::streamsize(head.size()));
        out.seekp(std::streamoff(total - tail.size()));
        out.write(tail.data(), std::streamsize(tail.size()));
        return large;
    }();
    return path;
}

void Sha256Alone(benchmark::State& state) {
    const int fd = ::open(largeClip().c_str(), O_RDONLY);
    const std::size_t size = fs::file_size(largeClip());
    // Mapped and touched in advance: what is timed is the hash, not the page faults.
    void* bytes = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            exports::sha256Hex({static_cast<const std::uint8_t*>(bytes), size}));
    ::munmap(bytes, size);
    ::close(fd);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(size));
}

void WholeBundle(benchmark::State& state) {
    const fs::path out = fs::temp_directory_path() / "veldrin-evidence-bench" / "out";
    for (auto _ : state) {
        const exports::ClipRecord clip = exports::readClip(largeClip(), false);
        if (!exports::writeEvidence(clip, out.string(), 0).empty())
            state.SkipWithError("bundle not written");
        state.PauseTiming();
        fs::remove_all(out);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) *
                            std::int64_t(fs::file_size(largeClip())));
}

BENCHMARK(Sha256Alone)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(WholeBundle)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
