// Clips are gathered first (folders walked, hidden entries skipped, each folder's clips in the
// natural order of their names below it), then handed to a pool of threads; lines are printed
// in input order as soon as each is ready.
#include "BatchExtract.h"

#include "AtomicWrite.h"
#include "ClipOutcome.h"
#include "ClipSearch.h"
#include "FormatMode.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

namespace extractcli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kCannotCreateOutputFolder = "cannot create the output folder: ";
constexpr const char* kNotAFolder = "not a folder";
constexpr const char* kOutputTaken = "output %s already written for %s";
constexpr const char* kRowsLine = "%s: %zu rows\n";
constexpr const char* kNoMetadataLine = "%s: no SEI metadata\n";
constexpr const char* kProgressLine = "%zu/%zu clips";
constexpr const char* kSummaryLine = "%zu clips, %zu rows, %zu failed, %.1f s\n";
// Back to the start of the line, which is cleared: the progress line goes away.
constexpr const char* kClearLine = "\r\033[K";

template <typename... Args> std::string format(const char* pattern, Args... args) {
    std::string text(static_cast<std::size_t>(std::snprintf(nullptr, 0, pattern, args...)), '\0');
    std::snprintf(text.data(), text.size() + 1, pattern, args...);
    return text;
}

struct Clip {
    std::string path;
    std::string problem; // set when the clip fails before extraction
    bool isClip = true;  // false: a folder that could not be read or held no clip
    std::string outputPath;

    static Clip at(std::string path) { return {std::move(path), {}, true, {}}; }
    static Clip folderProblem(std::string folder, std::string problem) {
        return {std::move(folder), std::move(problem), false, {}};
    }
};

std::vector<Clip> gatherClips(const BatchOptions& options) {
    std::vector<Clip> clips;
    for (FoundPath& found : findClips(options.paths)) {
        if (found.isClip)
            clips.emplace_back(Clip::at(std::move(found.path))).problem = std::move(found.problem);
        else
            clips.push_back(Clip::folderProblem(std::move(found.path), std::move(found.problem)));
    }
    // Two clips with the same name would write the same CSV file: the later one fails
    // rather than silently replace the earlier one's telemetry.
    std::map<std::string, std::string> owners;
    for (Clip& clip : clips) {
        if (!clip.problem.empty())
            continue;
        const std::string name = formattedFileName(clip.path, options.format);
        clip.outputPath = (fs::path(options.outputFolder) / name).string();
        auto [owner, inserted] = owners.emplace(name, clip.path);
        if (!inserted)
            clip.problem = format(kOutputTaken, name.c_str(), owner->second.c_str());
    }
    return clips;
}

struct ClipResult {
    std::string lines;
    bool failed = false;
    std::size_t rows = 0;
};

ClipResult processClip(const Clip& clip, const BatchOptions& options, MemoryGate& gate) {
    if (!clip.problem.empty())
        return {errorLine(clip.path, clip.problem), true};
    const MemoryGate::Pass pass(gate, bytesInMemory(clip.path));
    const MetadataExtractor::Output output =
        MetadataExtractor::extract(clip.path, {options.salvage, {}, {}});
    if (!output.isSuccess())
        return {failureLines(clip.path, output.message(), !options.salvage), true};
    ClipResult result;
    if (carriesCsv(output)) {
        const std::string& csv = output.text();
        const std::string error = writeFileAtomically(
            clip.outputPath,
            [&](const exports::TextSink& sink) {
                writeClipText(options.format, csv, clip.path, {}, sink);
            },
            options.fileMode);
        if (!error.empty())
            return {errorLine(clip.outputPath, error), true};
        result.rows = csvRowCount(csv);
        result.lines = format(kRowsLine, clip.path.c_str(), result.rows);
    } else {
        result.lines = format(kNoMetadataLine, clip.path.c_str());
    }
    if (options.report)
        result.lines.append(output.report()).append(lineEnd(output.report()));
    return result;
}

} // namespace

int runBatch(const BatchOptions& options, std::ostream& log) {
    const auto start = std::chrono::steady_clock::now();
    std::error_code ec;
    fs::create_directories(options.outputFolder, ec);
    if (ec || !fs::is_directory(options.outputFolder)) {
        log << errorLine(options.outputFolder,
                         ec ? kCannotCreateOutputFolder + ec.message() : kNotAFolder);
        return kExitFailure;
    }
    const std::vector<Clip> clips = gatherClips(options);
    const std::size_t clipCount = static_cast<std::size_t>(
        std::count_if(clips.begin(), clips.end(), [](const Clip& c) { return c.isClip; }));

    std::vector<std::optional<ClipResult>> results(clips.size());
    std::mutex resultsMutex;
    std::size_t nextToPrint = 0, clipsDone = 0, rows = 0, failedClips = 0;
    bool anyFailed = false, progressShown = false;
    std::atomic<std::size_t> nextClip{0};
    MemoryGate gate;
    auto worker = [&] {
        for (std::size_t i; (i = nextClip.fetch_add(1)) < clips.size();) {
            ClipResult result = processClip(clips[i], options, gate);
            std::lock_guard lock(resultsMutex);
            clipsDone += clips[i].isClip;
            results[i] = std::move(result);
            if (progressShown)
                log << kClearLine;
            for (; nextToPrint < results.size() && results[nextToPrint]; ++nextToPrint) {
                ClipResult& printed = *results[nextToPrint];
                log << printed.lines;
                printed.lines = {};
                rows += printed.rows;
                failedClips += printed.failed && clips[nextToPrint].isClip;
                anyFailed = anyFailed || printed.failed;
            }
            progressShown = options.progress && clipsDone < clipCount;
            if (progressShown)
                log << format(kProgressLine, clipsDone, clipCount);
            log << std::flush;
        }
    };
    const std::size_t threadCount =
        std::clamp<std::size_t>(options.workers, 1, std::max<std::size_t>(clips.size(), 1));
    std::vector<std::jthread> threads;
    for (std::size_t t = 1; t < threadCount; ++t)
        threads.emplace_back(worker);
    worker();
    threads.clear();

    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    log << format(kSummaryLine, clipCount, rows, failedClips, elapsed.count()) << std::flush;
    return anyFailed ? kExitFailure : kExitCsv;
}

} // namespace extractcli
