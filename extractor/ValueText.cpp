// Value texts of the telemetry fields.
#include "ValueText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

namespace MetadataExtractor {
namespace {

constexpr std::array<std::string_view, 4> kGearNames = {"GEAR_PARK", "GEAR_DRIVE", "GEAR_REVERSE",
                                                        "GEAR_NEUTRAL"};
constexpr std::array<std::string_view, 4> kAssistanceNames = {"IDLE", "FULL_GUIDE", "LANE_GUIDE",
                                                              "PACE_GUIDE"};

// Scientific exponents (value = d.ddd x 10^x) written in plain decimal notation. Below: values
// under 0.0001 in their shortest form. Above: far beyond any telemetry magnitude.
constexpr int kSmallestPlainExponent = -4;
constexpr int kLargestPlainExponent = 15;

char* writeText(char* out, std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

char* writeNameOrDecimal(char* out, const std::array<std::string_view, 4>& names,
                         std::uint64_t value) {
    return value < names.size() ? writeText(out, names[value]) : writeUnsignedText(out, value);
}

// The exponent of to_chars' scientific text, which ends in "e+dd", "e-dd" or the same with
// three digits; `e` points at the 'e'.
constexpr std::ptrdiff_t kShortExponentChars = 4;
const char* findExponentMark(const char* end) {
    return end[-kShortExponentChars] == 'e' ? end - kShortExponentChars
                                            : end - (kShortExponentChars + 1);
}

int scientificExponent(const char* e, const char* end) {
    int magnitude = 0;
    for (const char* p = e + 2; p < end; ++p)
        magnitude = magnitude * 10 + (*p - '0');
    return e[1] == '-' ? -magnitude : magnitude;
}

template <typename Float> char* writeFloatingText(char* out, Float value) {
    if (std::isnan(value))
        return writeText(out, "nan");
    if (std::isinf(value))
        return writeText(out, value < 0 ? "-inf" : "inf");
    if (value == 0)
        return writeText(out, std::signbit(value) ? "-0.0" : "0.0");

    // The shortest round-trip digits and their exponent, e.g. "-1.2345e-05".
    char buffer[ValueText::kCapacity + 8];
    const char* const scientific = buffer;
    const char* const end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific).ptr;
    const char* const e = findExponentMark(end);
    const int exponent = scientificExponent(e, end);
    if (exponent < kSmallestPlainExponent || exponent > kLargestPlainExponent)
        return std::copy(scientific, end, out);

    // Mantissa "d" or "d.ddd": a leading digit, then the fraction digits.
    const char* p = scientific;
    if (*p == '-')
        *out++ = *p++;
    const char leading = *p;
    const char* const fraction = p[1] == '.' ? p + 2 : p + 1;
    const std::size_t fractionCount = static_cast<std::size_t>(e - fraction);
    if (exponent < 0) {
        *out++ = '0';
        *out++ = '.';
        out = std::fill_n(out, -1 - exponent, '0');
        *out++ = leading;
        return std::copy(fraction, e, out);
    }
    // The leading digit and `exponent` more make the integer part, padded with zeros.
    const std::size_t moreIntegerDigits = static_cast<std::size_t>(exponent);
    const std::size_t taken = std::min(moreIntegerDigits, fractionCount);
    *out++ = leading;
    out = std::copy(fraction, fraction + taken, out);
    out = std::fill_n(out, moreIntegerDigits - taken, '0');
    *out++ = '.';
    if (taken == fractionCount)
        *out++ = '0';
    return std::copy(fraction + taken, e, out);
}

template <typename Value, typename Writer> ValueText textOf(Value value, Writer write) {
    char chars[ValueText::kCapacity];
    const char* const end = write(chars, value);
    return ValueText(std::string_view(chars, static_cast<std::size_t>(end - chars)));
}

} // namespace

ValueText::ValueText(std::string_view text) {
    const std::size_t n = text.size() < kCapacity ? text.size() : kCapacity;
    std::memcpy(chars_.data(), text.data(), n);
    length_ = static_cast<std::uint8_t>(n);
}

char* writeUnsignedText(char* out, std::uint64_t value) {
    return std::to_chars(out, out + ValueText::kCapacity, value).ptr;
}
char* writeFlagText(char* out, std::uint64_t value) {
    return writeText(out, value != 0 ? "True" : "False");
}
char* writeGearText(char* out, std::uint64_t value) {
    return writeNameOrDecimal(out, kGearNames, value);
}
char* writeAssistanceText(char* out, std::uint64_t value) {
    return writeNameOrDecimal(out, kAssistanceNames, value);
}
char* writeFloatText(char* out, float value) {
    return writeFloatingText(out, value);
}
char* writeDoubleText(char* out, double value) {
    return writeFloatingText(out, value);
}

ValueText unsignedText(std::uint64_t value) {
    return textOf(value, writeUnsignedText);
}
ValueText flagText(std::uint64_t value) {
    return textOf(value, writeFlagText);
}
ValueText gearText(std::uint64_t value) {
    return textOf(value, writeGearText);
}
ValueText assistanceText(std::uint64_t value) {
    return textOf(value, writeAssistanceText);
}
ValueText floatText(float value) {
    return textOf(value, writeFloatText);
}
ValueText doubleText(double value) {
    return textOf(value, writeDoubleText);
}

} // namespace MetadataExtractor
