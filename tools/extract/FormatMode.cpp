#include "FormatMode.h"

#include "ClipOutcome.h"
#include "EventsMode.h"
#include "MovieDuration.h"

#include <algorithm>
#include <filesystem>

namespace extractcli {
namespace {

namespace fs = std::filesystem;

// The track name of a clip read from standard input, which has no file name.
constexpr std::string_view kStandardInputName = "standard input";

} // namespace

void writeClipText(exports::Format format, const std::string& csv, const std::string& clipPath,
                   std::span<const std::uint8_t> clipBytes, const exports::TextSink& sink) {
    if (format == exports::Format::Csv) {
        sink(csv);
        sink(lineEnd(csv));
        return;
    }
    const bool fromInput = clipPath == kStandardInputPath;
    const std::optional<double> duration =
        fromInput ? bufferedMovieDuration(clipBytes) : MetadataExtractor::movieDuration(clipPath);
    const std::string fileName =
        fromInput ? std::string(kStandardInputName) : fs::path(clipPath).filename().string();
    exports::render(
        format, exports::clipTelemetry(analysis::TelemetryTable::fromCsv(csv), fileName, duration),
        sink);
}

std::string formattedFileName(const std::string& clipPath, exports::Format format) {
    return fs::path(clipPath).stem().string() + std::string(exports::fileSuffix(format));
}

void writeFormattedTrip(exports::Format format, const trips::Trip& trip,
                        const std::string& joinedCsvName, std::size_t& rows,
                        const exports::TextSink& sink) {
    const exports::Telemetry telemetry =
        exports::tripTelemetry(trip, fs::path(joinedCsvName).stem().string());
    rows = exports::rowCount(telemetry);
    exports::render(format, telemetry, sink);
}

std::string formattedTripFileName(const std::string& joinedCsvName, exports::Format format) {
    if (format == exports::Format::Csv)
        return joinedCsvName;
    return fs::path(joinedCsvName).stem().string() + std::string(exports::fileSuffix(format));
}

} // namespace extractcli
