// The engine's two calls to the operating system: the file-size query and the whole-file read.
// Local disk files are mapped; others are read with read(). A mapped page that vanishes while
// it is used (file truncated, device gone) is caught, never a crash.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace MetadataExtractor {

// A failure of the operating system, with its human-readable description.
class FileError : public std::exception {
public:
    explicit FileError(int errorNumber);
    const std::string& description() const noexcept { return description_; }
    const char* what() const noexcept override { return description_.c_str(); }

private:
    std::string description_;
};

// The size of a regular file; nothing for other kinds of file. A directory, or a path that
// cannot be queried, throws FileError.
std::optional<std::uint64_t> queryFileSize(const std::string& path);

// The bytes of one whole file, mapped or copied. Move-only.
class FileBuffer {
public:
    FileBuffer() = default;
    FileBuffer(FileBuffer&& other) noexcept;
    FileBuffer& operator=(FileBuffer&& other) noexcept;
    ~FileBuffer();

    std::span<const std::uint8_t> bytes() const { return {data_, size_}; }
    bool isMapped() const { return mapped_; }
    // Forgets a mapping without unmapping it, for a process about to end: its exit tears the
    // mapping down for less than an unmap costs. The bytes stay readable until then.
    void keepMappedUntilExit() noexcept;

private:
    friend FileBuffer readWholeFile(const std::string&, std::uint64_t, bool);
    void release() noexcept;

    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    bool mapped_ = false;
    std::unique_ptr<std::uint8_t[]> copy_;
};

// Reads at most `maxBytes` bytes: whatever the file holds at read time, so a file that shrank
// since its size was queried is a shorter buffer. Maps the file when `allowMapping` is set and
// it lies on a local disk file system. Throws FileError.
FileBuffer readWholeFile(const std::string& path, std::uint64_t maxBytes, bool allowMapping = true);

// Runs `work`, which may read `bytes`. If a page of `bytes` vanishes meanwhile, it reads as
// zeros from then on and this returns false: the work's result must then be discarded.
bool runGuarded(std::span<const std::uint8_t> bytes, const std::function<void()>& work);

} // namespace MetadataExtractor
