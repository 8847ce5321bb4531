// Value texts of the telemetry fields.
#include "ValueText.h"

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

ValueText nameOrDecimal(const std::array<std::string_view, 4>& names, std::uint64_t value) {
    return value < names.size() ? ValueText(names[value]) : unsignedText(value);
}

template <typename Float> ValueText floatingText(Float value) {
    if (std::isnan(value))
        return ValueText("nan");
    if (std::isinf(value))
        return ValueText(value < 0 ? "-inf" : "inf");
    if (value == 0)
        return ValueText(std::signbit(value) ? "-0.0" : "0.0");

    // The shortest round-trip digits and their exponent, e.g. "-1.2345e-05".
    char scientific[ValueText::kCapacity + 8];
    const auto result = std::to_chars(scientific, scientific + sizeof scientific, value,
                                      std::chars_format::scientific);
    const std::string_view text(scientific, static_cast<std::size_t>(result.ptr - scientific));
    const std::size_t e = text.find('e');
    int exponent = 0;
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(),
                    exponent);
    if (exponent < kSmallestPlainExponent || exponent > kLargestPlainExponent)
        return ValueText(text);

    const bool negative = text.front() == '-';
    char digits[ValueText::kCapacity];
    std::size_t digitCount = 0;
    for (std::size_t i = negative ? 1 : 0; i < e; ++i) {
        if (text[i] != '.')
            digits[digitCount++] = text[i];
    }

    char out[ValueText::kCapacity];
    std::size_t n = 0;
    if (negative)
        out[n++] = '-';
    if (exponent < 0) {
        out[n++] = '0';
        out[n++] = '.';
        for (int i = -1; i > exponent; --i)
            out[n++] = '0';
        std::memcpy(out + n, digits, digitCount);
        n += digitCount;
    } else {
        const std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
        for (std::size_t i = 0; i < integerDigits; ++i)
            out[n++] = i < digitCount ? digits[i] : '0';
        out[n++] = '.';
        if (digitCount > integerDigits) {
            std::memcpy(out + n, digits + integerDigits, digitCount - integerDigits);
            n += digitCount - integerDigits;
        } else {
            out[n++] = '0';
        }
    }
    return ValueText(std::string_view(out, n));
}

} // namespace

ValueText::ValueText(std::string_view text) {
    const std::size_t n = text.size() < kCapacity ? text.size() : kCapacity;
    std::memcpy(chars_.data(), text.data(), n);
    length_ = static_cast<std::uint8_t>(n);
}

ValueText unsignedText(std::uint64_t value) {
    char digits[ValueText::kCapacity];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    return ValueText(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
}

ValueText flagText(std::uint64_t value) {
    return ValueText(value != 0 ? "True" : "False");
}
ValueText gearText(std::uint64_t value) {
    return nameOrDecimal(kGearNames, value);
}
ValueText assistanceText(std::uint64_t value) {
    return nameOrDecimal(kAssistanceNames, value);
}
ValueText floatText(float value) {
    return floatingText(value);
}
ValueText doubleText(double value) {
    return floatingText(value);
}

} // namespace MetadataExtractor
