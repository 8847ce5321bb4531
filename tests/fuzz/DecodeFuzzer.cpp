// Fuzz target: the telemetry record decoder and the CSV line of what it decodes.
#include "Csv.h"
#include "TelemetryRecord.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto record = MetadataExtractor::decodeTelemetryRecord({data, size});
    if (!record)
        return 0;
    const MetadataExtractor::TelemetryRecord records[] = {*record};
    const std::string csv = MetadataExtractor::renderCsv(records);
    // Header and one line, 15 commas each, never quoted.
    if (std::count(csv.begin(), csv.end(), '\n') != 1 ||
        std::count(csv.begin(), csv.end(), ',') != 30 || csv.find('"') != std::string::npos)
        std::abort();
    return 0;
}
