// File-size query, whole-file read and the guard against vanished mapped pages.
#include "FileRead.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <mutex>
#include <utility>

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace MetadataExtractor {
namespace {

// Local disk file systems whose pages stay readable while the file is left alone. Network
// and removable-media file systems (NFS, FUSE, FAT, exFAT, NTFS...) are read with read().
bool isMappableFileSystem(int descriptor) {
    struct statfs info {};
    if (fstatfs(descriptor, &info) != 0)
        return false;
    switch (static_cast<unsigned long>(info.f_type)) {
    case EXT4_SUPER_MAGIC: // also ext2 and ext3
    case XFS_SUPER_MAGIC:
    case BTRFS_SUPER_MAGIC:
    case TMPFS_MAGIC:
    case F2FS_SUPER_MAGIC:
        return true;
    default:
        return false;
    }
}

// Non-blocking so that a path swapped for a FIFO after the size query cannot hang the read.
class Descriptor {
public:
    explicit Descriptor(const std::string& path)
        : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {
        if (fd_ < 0)
            throw FileError(errno);
    }
    ~Descriptor() { ::close(fd_); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

constexpr std::size_t kFirstReadChunk = std::size_t{1} << 16;

// read() until end of file or `maxBytes`, starting with room for the size fstat gave.
std::unique_ptr<std::uint8_t[]> readAll(int fd, std::size_t expected, std::size_t maxBytes,
                                        std::size_t& size) {
    // One byte more than expected, so that the usual end of file needs no second buffer.
    std::size_t capacity = std::min(std::max(expected + 1, kFirstReadChunk), maxBytes);
    auto data = std::make_unique_for_overwrite<std::uint8_t[]>(capacity);
    size = 0;
    for (;;) {
        if (size == capacity) {
            if (capacity == maxBytes)
                return data;
            const std::size_t grown = std::min(capacity * 2, maxBytes);
            auto larger = std::make_unique_for_overwrite<std::uint8_t[]>(grown);
            std::memcpy(larger.get(), data.get(), size);
            data = std::move(larger);
            capacity = grown;
        }
        const ssize_t got = ::read(fd, data.get() + size, capacity - size);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw FileError(errno);
        }
        if (got == 0)
            return data;
        size += static_cast<std::size_t>(got);
    }
}

// Per-thread range being guarded; SIGBUS is delivered to the thread that faulted. The TLS
// model keeps the access in the handler free of allocation.
__attribute__((tls_model("initial-exec"))) thread_local const std::uint8_t* tGuardBegin = nullptr;
__attribute__((tls_model("initial-exec"))) thread_local std::size_t tGuardLength = 0;
__attribute__((tls_model("initial-exec"))) thread_local volatile std::sig_atomic_t tGuardHit = 0;

struct sigaction gPreviousBusAction {};
std::uintptr_t gPageSize = 4096;

void onBusError(int signal, siginfo_t* info, void* context) {
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    const auto begin = reinterpret_cast<std::uintptr_t>(tGuardBegin);
    if (tGuardBegin != nullptr && address - begin < tGuardLength) {
        // Put a zero page where the file page was, and let the access run again.
        void* page = reinterpret_cast<void*>(address & ~(gPageSize - 1));
        if (::mmap(page, gPageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) !=
            MAP_FAILED) {
            tGuardHit = 1;
            return;
        }
    }
    if ((gPreviousBusAction.sa_flags & SA_SIGINFO) != 0 &&
        gPreviousBusAction.sa_sigaction != nullptr) {
        gPreviousBusAction.sa_sigaction(signal, info, context);
    } else if (gPreviousBusAction.sa_handler != SIG_DFL &&
               gPreviousBusAction.sa_handler != SIG_IGN) {
        gPreviousBusAction.sa_handler(signal);
    } else {
        // Not ours: the faulting access runs again and meets the default action.
        ::signal(SIGBUS, SIG_DFL);
    }
}

void installBusErrorHandler() {
    static std::once_flag once;
    std::call_once(once, [] {
        gPageSize = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
        struct sigaction action {};
        action.sa_sigaction = onBusError;
        action.sa_flags = SA_SIGINFO | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGBUS, &action, &gPreviousBusAction);
    });
}

} // namespace

FileError::FileError(int errorNumber) : description_(std::strerror(errorNumber)) {}

std::optional<std::uint64_t> queryFileSize(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        throw FileError(errno);
    if (S_ISDIR(info.st_mode))
        throw FileError(EISDIR);
    if (!S_ISREG(info.st_mode))
        return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

FileBuffer::FileBuffer(FileBuffer&& other) noexcept {
    *this = std::move(other);
}

FileBuffer& FileBuffer::operator=(FileBuffer&& other) noexcept {
    if (this != &other) {
        release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        mapped_ = std::exchange(other.mapped_, false);
        copy_ = std::move(other.copy_);
    }
    return *this;
}

FileBuffer::~FileBuffer() {
    release();
}

void FileBuffer::keepMappedUntilExit() noexcept {
    if (mapped_) {
        data_ = nullptr;
        size_ = 0;
        mapped_ = false;
    }
}

void FileBuffer::release() noexcept {
    if (mapped_)
        ::munmap(const_cast<std::uint8_t*>(data_), size_);
    copy_.reset();
    data_ = nullptr;
    size_ = 0;
    mapped_ = false;
}

FileBuffer readWholeFile(const std::string& path, std::uint64_t maxBytes, bool allowMapping) {
    const Descriptor fd(path);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        throw FileError(errno);
    if (S_ISDIR(info.st_mode))
        throw FileError(EISDIR);
    const std::size_t limit = static_cast<std::size_t>(maxBytes);
    const std::size_t statSize =
        info.st_size > 0 ? std::min(static_cast<std::size_t>(info.st_size), limit) : 0;

    FileBuffer buffer;
    if (allowMapping && S_ISREG(info.st_mode) && statSize > 0 && isMappableFileSystem(fd.get())) {
        void* mapped = ::mmap(nullptr, statSize, PROT_READ, MAP_PRIVATE, fd.get(), 0);
        if (mapped != MAP_FAILED) {
            buffer.data_ = static_cast<const std::uint8_t*>(mapped);
            buffer.size_ = statSize;
            buffer.mapped_ = true;
            return buffer;
        }
    }
    buffer.copy_ = readAll(fd.get(), statSize, limit, buffer.size_);
    buffer.data_ = buffer.copy_.get();
    return buffer;
}

bool runGuarded(std::span<const std::uint8_t> bytes, const std::function<void()>& work) {
    installBusErrorHandler();
    tGuardHit = 0;
    tGuardBegin = bytes.data();
    tGuardLength = bytes.size();
    struct Reset {
        ~Reset() {
            tGuardBegin = nullptr;
            tGuardLength = 0;
        }
    } reset;
    work();
    return tGuardHit == 0;
}

} // namespace MetadataExtractor
