// Fuzz target: the engine's entry points on whole-file bytes: the extraction, its salvage of
// clips cut short, its CSV handed over in pieces, and the movie-header duration walk.
#include "ExtractError.h"
#include "MetadataExtractor.h"
#include "MovieDuration.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto out = MetadataExtractor::extractFromBuffer({data, size});
    // A success always carries the seven-line report; a failure never carries text.
    if (out.isSuccess() ? std::count(out.report().begin(), out.report().end(), '\n') != 6
                        : !out.text().empty() || out.message().empty())
        std::abort();
    // Salvage changes only a failure on a cut media data atom; it then adds an eighth line.
    // In pieces, the salvaged CSV adds up to its text; anything else hands nothing over.
    std::string pieces;
    const auto salvaged = MetadataExtractor::extractFromBuffer(
        {data, size}, {true, {}, [&pieces](std::string_view piece) { pieces += piece; }});
    const auto salvagedWhole = MetadataExtractor::extractFromBuffer({data, size}, {true, {}, {}});
    if (pieces.empty()
            ? salvaged != salvagedWhole
            : pieces != salvagedWhole.text() ||
                  salvaged != MetadataExtractor::Output::success({}, salvagedWhole.report()))
        std::abort();
    if (out.message() != MetadataExtractor::messages::kAtomBeyondFile
            ? salvagedWhole != out
            : salvagedWhole.isSuccess() && std::count(salvagedWhole.report().begin(),
                                                      salvagedWhole.report().end(), '\n') != 7)
        std::abort();
    const auto seconds = MetadataExtractor::movieDuration(
        size, [&](std::uint64_t offset, std::span<std::uint8_t> bytes) -> std::size_t {
            const std::size_t n =
                offset < size ? std::min<std::uint64_t>(bytes.size(), size - offset) : 0;
            if (n != 0) // an empty span may have no storage at all
                std::memcpy(bytes.data(), data + offset, n);
            return n;
        });
    if (seconds && !(std::isfinite(*seconds) && *seconds >= 0))
        std::abort();
    return 0;
}
