// std::to_chars writes every number: shortest round-trip digits, and no locale can change it.
#include "ExportText.h"

#include <charconv>
#include <chrono>
#include <cmath>

namespace exports {
namespace {

// Room for any double in fixed notation: 309 integer digits, or 1074 fraction digits of the
// smallest subnormal, with sign and point.
constexpr std::size_t kFixedCapacity = 1100;
constexpr int kEventValueDecimals = 1;
constexpr std::int64_t kMillisecondsPerSecond = 1000;
constexpr char kLabelSeparator = ' ';

template <typename Float> void appendFixed(std::string& out, Float value) {
    char text[kFixedCapacity];
    out.append(text, std::to_chars(text, text + sizeof text, value, std::chars_format::fixed).ptr);
}

void appendDigits(std::string& out, long value, int width) {
    char text[24];
    char* const end = std::to_chars(text, text + sizeof text, value).ptr;
    out.append(static_cast<std::size_t>(std::max<long>(0, width - (end - text))), '0');
    out.append(text, end);
}

void appendCivilTime(std::string& out, std::int64_t epochSeconds) {
    using namespace std::chrono;
    const sys_seconds instant{seconds{epochSeconds}};
    const sys_days day = floor<days>(instant);
    const year_month_day date{day};
    const hh_mm_ss clock{instant - day};
    appendDigits(out, static_cast<int>(date.year()), 4);
    out += '-';
    appendDigits(out, static_cast<long>(static_cast<unsigned>(date.month())), 2);
    out += '-';
    appendDigits(out, static_cast<long>(static_cast<unsigned>(date.day())), 2);
    out += 'T';
    appendDigits(out, clock.hours().count(), 2);
    out += ':';
    appendDigits(out, clock.minutes().count(), 2);
    out += ':';
    appendDigits(out, static_cast<long>(clock.seconds().count()), 2);
}

} // namespace

void appendNumber(std::string& out, double value) {
    appendFixed(out, value);
}
void appendNumber(std::string& out, float value) {
    appendFixed(out, value);
}

void appendUtcTime(std::string& out, std::int64_t startSeconds, double seconds) {
    const std::int64_t total =
        startSeconds * kMillisecondsPerSecond +
        static_cast<std::int64_t>(std::llround(seconds * kMillisecondsPerSecond));
    // Floor division, so that a time before the epoch still has milliseconds in [0, 1000).
    std::int64_t whole = total / kMillisecondsPerSecond;
    std::int64_t milliseconds = total % kMillisecondsPerSecond;
    if (milliseconds < 0) {
        --whole;
        milliseconds += kMillisecondsPerSecond;
    }
    appendCivilTime(out, whole);
    out += '.';
    appendDigits(out, static_cast<long>(milliseconds), 3);
    out += 'Z';
}

void appendUtcTime(std::string& out, std::int64_t startSeconds) {
    appendCivilTime(out, startSeconds);
    out += 'Z';
}

void appendXmlEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            // XML 1.0 has no way to write the other control characters.
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n')
                out += c;
        }
    }
}

void appendJsonString(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    out += '"';
}

bool hasNumericValue(const analysis::DrivingEvent& event) {
    using analysis::EventKind;
    return event.kind == EventKind::HardBrake || event.kind == EventKind::HardAccel ||
           event.kind == EventKind::SharpTurn;
}

void appendEventValue(std::string& out, double value) {
    char text[kFixedCapacity];
    out.append(text, std::to_chars(text, text + sizeof text, value, std::chars_format::fixed,
                                   kEventValueDecimals)
                         .ptr);
}

std::string eventLabel(const analysis::DrivingEvent& event) {
    std::string label(analysis::eventKindName(event.kind));
    if (hasNumericValue(event)) {
        label += kLabelSeparator;
        appendEventValue(label, event.value);
    } else if (!event.state.empty()) {
        label += kLabelSeparator;
        label += event.state;
    }
    return label;
}

} // namespace exports
