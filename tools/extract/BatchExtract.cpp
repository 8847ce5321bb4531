// Clips are gathered first (folders walked, hidden entries skipped, each folder's clips in the
// natural order of their names below it), then handed to a pool of threads; lines are printed
// in input order as soon as each is ready.
#include "BatchExtract.h"

#include "AtomicWrite.h"
#include "ClipOutcome.h"
#include "Limits.h"
#include "NaturalCompare.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdio>
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
// Clip bytes in memory at once, whatever the number of workers: the engine holds a whole clip,
// read with read() on file systems it does not map (exFAT and FAT, as on dashcam cards).
constexpr std::uint64_t kMemoryBudgetBytes = MetadataExtractor::kMaxFileBytes;
// Clips larger than this are read one at a time.
constexpr std::uint64_t kLargeClipBytes = std::uint64_t{64} << 20;

constexpr const char* kCannotCreateOutputFolder = "cannot create the output folder: ";
constexpr const char* kNotAFolder = "not a folder";
constexpr const char* kCannotReadFolder = "cannot read folder: ";
constexpr const char* kNoClipsFound = "no clips found";
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

bool hasClipExtension(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == kClipExtension;
}

struct FolderListing {
    std::vector<std::pair<std::string, std::string>> clips; // name below the folder, path
    std::vector<Clip> problems;
};

// Symbolic links to folders are not followed, so a link cycle cannot trap the walk.
void walkFolder(const fs::path& folder, const std::string& below, FolderListing& listing) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.starts_with('.'))
            continue;
        const std::string nameBelow = below.empty() ? name : below + "/" + name;
        std::error_code typeError;
        if (it->is_directory(typeError) && !it->is_symlink(typeError))
            walkFolder(it->path(), nameBelow, listing);
        else if (it->is_regular_file(typeError) && hasClipExtension(it->path()))
            listing.clips.emplace_back(nameBelow, it->path().string());
    }
    if (ec)
        listing.problems.push_back(
            Clip::folderProblem(folder.string(), kCannotReadFolder + ec.message()));
}

void appendFolder(const std::string& folder, std::vector<Clip>& clips) {
    FolderListing listing;
    walkFolder(folder, {}, listing);
    std::sort(listing.clips.begin(), listing.clips.end(), [](const auto& a, const auto& b) {
        return MetadataExtractor::naturalLess(a.first, b.first);
    });
    for (auto& [name, path] : listing.clips)
        clips.push_back(Clip::at(std::move(path)));
    if (listing.clips.empty() && listing.problems.empty())
        listing.problems.push_back(Clip::folderProblem(folder, kNoClipsFound));
    std::sort(listing.problems.begin(), listing.problems.end(), [](const Clip& a, const Clip& b) {
        return MetadataExtractor::naturalLess(a.path, b.path);
    });
    clips.insert(clips.end(), listing.problems.begin(), listing.problems.end());
}

std::vector<Clip> gatherClips(const BatchOptions& options) {
    std::vector<Clip> clips;
    for (const std::string& path : options.paths) {
        std::error_code ec;
        if (fs::is_directory(path, ec))
            appendFolder(path, clips);
        else
            clips.push_back(Clip::at(path));
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
            clip.problem = format(kOutputTaken, name.c_str(), owner->second.c_str());
    }
    return clips;
}

// Admits a clip to memory when its bytes fit the budget beside those already in (or nothing
// is in), and a large clip only while no other large one is in.
class MemoryGate {
public:
    class Pass {
    public:
        Pass(MemoryGate& gate, std::uint64_t bytes) : gate_(gate), bytes_(bytes) {
            gate_.enter(bytes_);
        }
        ~Pass() { gate_.leave(bytes_); }
        Pass(const Pass&) = delete;
        Pass& operator=(const Pass&) = delete;

    private:
        MemoryGate& gate_;
        std::uint64_t bytes_;
    };

private:
    void enter(std::uint64_t bytes) {
        const bool large = bytes > kLargeClipBytes;
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] {
            return (!large || !largeIn_) &&
                   (bytesIn_ == 0 || bytesIn_ + bytes <= kMemoryBudgetBytes);
        });
        bytesIn_ += bytes;
        largeIn_ = largeIn_ || large;
    }
    void leave(std::uint64_t bytes) {
        {
            std::lock_guard lock(mutex_);
            bytesIn_ -= bytes;
            if (bytes > kLargeClipBytes)
                largeIn_ = false;
        }
        changed_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::uint64_t bytesIn_ = 0;
    bool largeIn_ = false;
};

// What the engine will hold of the clip: nothing when it refuses the clip by its size.
std::uint64_t bytesInMemory(const std::string& path) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    return ec || size > MetadataExtractor::kMaxFileBytes ? 0 : size;
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
    const MetadataExtractor::Output output = MetadataExtractor::extract(clip.path);
    if (!output.isSuccess())
        return {errorLine(clip.path, output.message()), true};
    ClipResult result;
    if (carriesCsv(output)) {
        const std::string& csv = output.text();
        const std::string error =
            writeFileAtomically(clip.outputPath, {csv, lineEnd(csv)}, options.fileMode);
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
