// Fuzz target: the engine's buffer entry point, on whole-file bytes.
#include "MetadataExtractor.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto out = MetadataExtractor::extractFromBuffer({data, size});
    // A success always carries the seven-line report; a failure never carries text.
    if (out.isSuccess() ? std::count(out.report().begin(), out.report().end(), '\n') != 6
                        : !out.text().empty() || out.message().empty())
        std::abort();
    return 0;
}
