// Clips are gathered first (folders walked in name order, hidden entries skipped), then
// handed to a pool of threads; lines are printed in input order as soon as each is ready.
#include "BatchExtract.h"

#include "AtomicWrite.h"
#include "ClipOutcome.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

namespace extractcli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kClipExtension = ".mp4";
constexpr const char* kCsvSuffix = "_sei.csv";

struct Clip {
    std::string path;
    std::string outputPath;
    std::string problem; // set when the clip fails before extraction
};

bool isHidden(const fs::path& path) {
    const std::string name = path.filename().string();
    return !name.empty() && name[0] == '.';
}

bool hasClipExtension(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == kClipExtension;
}

std::vector<std::string> clipsInFolder(const std::string& folder, std::string& problem) {
    std::vector<std::string> clips;
    std::error_code ec;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (isHidden(it->path())) {
            it.disable_recursion_pending();
            continue;
        }
        std::error_code typeError;
        if (it->is_regular_file(typeError) && hasClipExtension(it->path()))
            clips.push_back(it->path().string());
    }
    if (ec)
        problem = "cannot read folder: " + ec.message();
    std::sort(clips.begin(), clips.end());
    return clips;
}

std::vector<Clip> gatherClips(const BatchOptions& options) {
    std::vector<Clip> clips;
    for (const std::string& path : options.paths) {
        std::error_code ec;
        if (fs::is_directory(path, ec)) {
            std::string problem;
            for (std::string& clip : clipsInFolder(path, problem))
                clips.push_back({std::move(clip), {}, {}});
            if (!problem.empty())
                clips.push_back({path, {}, problem});
        } else {
            clips.push_back({path, {}, {}});
        }
    }
    // Two clips with the same name would write the same CSV file: the later one fails
    // rather than silently replace the earlier one's telemetry.
    std::map<std::string, std::string> owners;
    for (Clip& clip : clips) {
        if (!clip.problem.empty())
            continue;
        const std::string name = fs::path(clip.path).stem().string() + kCsvSuffix;
        clip.outputPath = (fs::path(options.outputFolder) / name).string();
        auto [owner, inserted] = owners.emplace(name, clip.path);
        if (!inserted)
            clip.problem = "output " + name + " already written for " + owner->second;
    }
    return clips;
}

struct ClipResult {
    std::string line;
    bool failed = false;
};

ClipResult processClip(const Clip& clip, const BatchOptions& options) {
    if (!clip.problem.empty())
        return {clip.path + ": " + clip.problem + "\n", true};
    const MetadataExtractor::Output output = MetadataExtractor::extract(clip.path);
    if (!output.isSuccess())
        return {clip.path + ": " + output.message() + "\n", true};
    std::string line;
    bool failed = false;
    if (carriesCsv(output)) {
        const std::string error =
            writeFileAtomically(clip.outputPath, output.text(), options.fileMode);
        failed = !error.empty();
        line = clip.path + ": " +
               (failed ? error : std::to_string(csvRowCount(output.text())) + " rows") + "\n";
    } else {
        line = clip.path + ": no SEI metadata\n";
    }
    if (options.report && !failed)
        line += output.report() + "\n";
    return {line, failed};
}

} // namespace

int runBatch(const BatchOptions& options, std::ostream& log) {
    std::error_code ec;
    fs::create_directories(options.outputFolder, ec);
    if (ec || !fs::is_directory(options.outputFolder)) {
        log << "veldrin-extract: cannot create output folder " << options.outputFolder << ": "
            << (ec ? ec.message() : "not a folder") << "\n";
        return kExitFailure;
    }
    const std::vector<Clip> clips = gatherClips(options);
    if (clips.empty()) {
        log << "veldrin-extract: no clips found\n";
        return kExitCsv;
    }

    std::vector<std::optional<ClipResult>> results(clips.size());
    std::mutex resultsMutex;
    std::size_t nextToPrint = 0;
    bool anyFailed = false;
    std::atomic<std::size_t> nextClip{0};
    auto worker = [&] {
        for (std::size_t i; (i = nextClip.fetch_add(1)) < clips.size();) {
            ClipResult result = processClip(clips[i], options);
            std::lock_guard lock(resultsMutex);
            results[i] = std::move(result);
            for (; nextToPrint < results.size() && results[nextToPrint]; ++nextToPrint) {
                log << results[nextToPrint]->line << std::flush;
                anyFailed = anyFailed || results[nextToPrint]->failed;
            }
        }
    };
    const std::size_t threadCount =
        std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, clips.size());
    std::vector<std::jthread> threads;
    for (std::size_t t = 1; t < threadCount; ++t)
        threads.emplace_back(worker);
    worker();
    threads.clear();
    return anyFailed ? kExitFailure : kExitCsv;
}

} // namespace extractcli
