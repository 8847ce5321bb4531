// The value text of a float or double built the plain way, from std::to_chars' shortest
// scientific text moved into plain notation with string operations: what the engine's writers
// must give, byte for byte.
#pragma once

#include <charconv>
#include <cmath>
#include <string>

namespace referencetext {

template <typename Float> std::string floatingText(Float value) {
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    if (value == 0)
        return std::signbit(value) ? "-0.0" : "0.0";
    char buffer[64];
    const char* const end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific).ptr;
    const std::string scientific(buffer, static_cast<std::size_t>(end - buffer));
    const std::size_t e = scientific.find('e');
    const int exponent = std::stoi(scientific.substr(e + 1));
    if (exponent < -4 || exponent > 15)
        return scientific;
    const bool negative = scientific[0] == '-';
    std::string digits;
    for (char c : scientific.substr(negative ? 1 : 0, e - (negative ? 1 : 0)))
        if (c != '.')
            digits += c;
    std::string plain;
    if (exponent < 0) {
        plain = "0." + std::string(std::size_t(-1 - exponent), '0') + digits;
    } else {
        const std::size_t integerDigits = std::size_t(exponent) + 1;
        if (digits.size() <= integerDigits)
            plain = digits + std::string(integerDigits - digits.size(), '0') + ".0";
        else
            plain = digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
    }
    return (negative ? "-" : "") + plain;
}

} // namespace referencetext
