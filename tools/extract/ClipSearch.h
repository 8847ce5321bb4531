// Finding clips as folder mode does, and bounding the clip bytes held in memory at once.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace extractcli {

// A clip to extract (with a problem when it cannot be read at all), or a folder that could not
// be read or held no clip.
struct FoundPath {
    std::string path;
    std::string problem;
    bool isClip = true;
};

// Why PATH cannot be a clip before the engine tries it ("No such file", or a folder when
// `foldersWalked` is false); empty otherwise. Other failures are the engine's to tell.
std::string_view clipPathProblem(const std::string& path, bool foldersWalked);

// Each PATH as given: a clip, or a folder walked for ".mp4" files in any letter case (hidden
// entries skipped, links to folders not followed), its clips in natural order of their names
// below it, then its problems.
std::vector<FoundPath> findClips(const std::vector<std::string>& paths);

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
    void enter(std::uint64_t bytes);
    void leave(std::uint64_t bytes);
    std::mutex mutex_;
    std::condition_variable changed_;
    std::uint64_t bytesIn_ = 0;
    bool largeIn_ = false;
};

// What the engine will hold of the clip: nothing when it refuses the clip by its size.
std::uint64_t bytesInMemory(const std::string& path);

} // namespace extractcli
