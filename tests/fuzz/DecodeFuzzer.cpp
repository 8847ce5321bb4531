// Fuzz target: the telemetry record decoder and the CSV line of what it decodes; and the input's
// bytes read as floats and doubles, whose written texts must be std::to_chars' shortest digits
// moved into plain notation, byte for byte.
#include "Csv.h"
#include "ReferenceText.h"
#include "TelemetryRecord.h"
#include "ValueText.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

template <typename Float> void checkTexts(const std::uint8_t* data, std::size_t size) {
    for (std::size_t at = 0; size - at >= sizeof(Float); at += sizeof(Float)) {
        Float value;
        std::memcpy(&value, data + at, sizeof value);
        char text[MetadataExtractor::ValueText::kWriteRoom];
        const char* const end = std::is_same_v<Float, float>
                                    ? MetadataExtractor::writeFloatText(text, float(value))
                                    : MetadataExtractor::writeDoubleText(text, double(value));
        if (std::string_view(text, static_cast<std::size_t>(end - text)) !=
            referencetext::floatingText(value))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkTexts<float>(data, size);
    checkTexts<double>(data, size);
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
