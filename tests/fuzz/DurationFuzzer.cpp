// Fuzz target: the movie-header duration walk over a file held in memory.
#include "MovieDuration.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto seconds = MetadataExtractor::movieDuration(
        size, [&](std::uint64_t offset, std::span<std::uint8_t> out) -> std::size_t {
            if (offset >= size)
                return 0;
            const std::size_t n = std::min<std::uint64_t>(out.size(), size - offset);
            std::memcpy(out.data(), data + offset, n);
            return n;
        });
    if (seconds && !(std::isfinite(*seconds) && *seconds >= 0))
        std::abort();
    return 0;
}
