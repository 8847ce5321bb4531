#include "StandardInput.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace extractcli {
namespace {

// Reads of this size into huge pages fill a gibibyte in a fraction of a second; one read of the
// whole rest into small pages takes seconds of page faults.
constexpr std::size_t kReadChunkBytes = std::size_t{1} << 20;

} // namespace

InputBytes::~InputBytes() {
    if (data_)
        ::munmap(data_, capacity_);
}

std::string readStandardInput(std::uint64_t maxBytes, InputBytes& input) {
    const std::size_t capacity = static_cast<std::size_t>(maxBytes);
    void* data = ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (data == MAP_FAILED)
        return std::strerror(errno);
    input.data_ = static_cast<std::uint8_t*>(data);
    input.capacity_ = capacity;
    ::madvise(data, capacity, MADV_HUGEPAGE);
    while (input.size_ < capacity) {
        const ssize_t n = ::read(STDIN_FILENO, input.data_ + input.size_,
                                 std::min(kReadChunkBytes, capacity - input.size_));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::strerror(errno);
        if (n == 0)
            break;
        input.size_ += static_cast<std::size_t>(n);
    }
    return {};
}

} // namespace extractcli
