#include "ClipSearch.h"

#include "ClipOutcome.h"
#include "Limits.h"
#include "NaturalCompare.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace extractcli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kClipExtension = ".mp4";
// Clip bytes in memory at once, whatever the number of workers: the engine holds a whole clip,
// read with read() on file systems it does not map (exFAT and FAT, as on dashcam cards).
constexpr std::uint64_t kMemoryBudgetBytes = MetadataExtractor::kMaxFileBytes;
// Clips larger than this are read one at a time.
constexpr std::uint64_t kLargeClipBytes = std::uint64_t{64} << 20;
constexpr const char* kCannotReadFolder = "cannot read folder: ";
constexpr const char* kNoClipsFound = "no clips found";

bool hasClipExtension(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == kClipExtension;
}

struct FolderListing {
    std::vector<std::pair<std::string, std::string>> clips; // name below the folder, path
    std::vector<FoundPath> problems;
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
            FoundPath{folder.string(), kCannotReadFolder + ec.message(), false});
}

void appendFolder(const std::string& folder, std::vector<FoundPath>& clips) {
    FolderListing listing;
    walkFolder(folder, {}, listing);
    std::sort(listing.clips.begin(), listing.clips.end(), [](const auto& a, const auto& b) {
        return MetadataExtractor::naturalLess(a.first, b.first);
    });
    for (auto& [name, path] : listing.clips)
        clips.push_back({std::move(path), {}, true});
    if (listing.clips.empty() && listing.problems.empty())
        listing.problems.push_back({folder, kNoClipsFound, false});
    std::sort(listing.problems.begin(), listing.problems.end(),
              [](const FoundPath& a, const FoundPath& b) {
                  return MetadataExtractor::naturalLess(a.path, b.path);
              });
    clips.insert(clips.end(), listing.problems.begin(), listing.problems.end());
}

} // namespace

std::string_view clipPathProblem(const std::string& path, bool foldersWalked) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found)
        return kNoSuchFile;
    if (!foldersWalked && status.type() == fs::file_type::directory)
        return kIsAFolder;
    return {};
}

std::vector<FoundPath> findClips(const std::vector<std::string>& paths) {
    std::vector<FoundPath> clips;
    for (const std::string& path : paths) {
        std::error_code ec;
        if (fs::is_directory(path, ec))
            appendFolder(path, clips);
        else
            clips.push_back({path, std::string(clipPathProblem(path, true)), true});
    }
    return clips;
}

void MemoryGate::enter(std::uint64_t bytes) {
    const bool large = bytes > kLargeClipBytes;
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] {
        return (!large || !largeIn_) && (bytesIn_ == 0 || bytesIn_ + bytes <= kMemoryBudgetBytes);
    });
    bytesIn_ += bytes;
    largeIn_ = largeIn_ || large;
}
void MemoryGate::leave(std::uint64_t bytes) {
    {
        std::lock_guard lock(mutex_);
        bytesIn_ -= bytes;
        if (bytes > kLargeClipBytes)
            largeIn_ = false;
    }
    changed_.notify_all();
}

// What the engine will hold of the clip: nothing when it refuses the clip by its size.
std::uint64_t bytesInMemory(const std::string& path) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    return ec || size > MetadataExtractor::kMaxFileBytes ? 0 : size;
}

} // namespace extractcli
