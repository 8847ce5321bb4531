// Numbers are written with std::to_chars, which no locale can change.
#include "EventsMode.h"

#include "DrivingEvents.h"
#include "MetadataExtractor.h"
#include "MovieDuration.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace extractcli {
namespace {

constexpr int kTimeDecimals = 2;
constexpr int kValueDecimals = 1;
constexpr char kFieldSeparator = '\t';
// VALUE of an event that has none.
constexpr std::string_view kNoValue = "-";
// Room for any double in fixed notation with a few decimals.
constexpr std::size_t kNumberCapacity = 400;

void appendFixed(std::string& line, double value, int decimals) {
    char text[kNumberCapacity];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    line.append(text, result.ptr);
}

} // namespace

std::string eventLines(std::string_view csv, std::optional<double> duration) {
    if (!duration)
        return {};
    std::string lines;
    for (const analysis::DrivingEvent& event :
         analysis::findEvents(analysis::TelemetryTable::fromCsv(csv).rows(), *duration)) {
        appendFixed(lines, event.time, kTimeDecimals);
        lines.append(1, kFieldSeparator).append(analysis::eventKindName(event.kind));
        lines.append(1, kFieldSeparator);
        switch (event.kind) {
        case analysis::EventKind::AssistOn:
        case analysis::EventKind::AssistOff:
            lines.append(event.state);
            break;
        case analysis::EventKind::Stop:
            lines.append(kNoValue);
            break;
        default:
            appendFixed(lines, event.value, kValueDecimals);
        }
        lines.append("\n");
    }
    return lines;
}

std::optional<double> bufferedMovieDuration(std::span<const std::uint8_t> clip) {
    return MetadataExtractor::movieDurationInMemory(clip);
}

} // namespace extractcli
