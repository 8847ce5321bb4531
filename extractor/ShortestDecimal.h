// The shortest decimal that reads back to a given float or double, the digits std::to_chars
// gives, worked out in 128-bit integers for the magnitudes telemetry carries; other values go
// through std::to_chars itself.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace MetadataExtractor {

// base^0 to base^(N - 1).
template <std::size_t N> constexpr std::array<std::uint64_t, N> powersOf(std::uint64_t base) {
    std::array<std::uint64_t, N> powers{};
    std::uint64_t power = 1;
    for (std::uint64_t& entry : powers) {
        entry = power;
        power *= base;
    }
    return powers;
}
// Every power of ten below 2^64.
inline constexpr auto kPowersOf10 = powersOf<20>(10);

// significand x 10^exponent, the significand without trailing zeros.
struct Decimal {
    std::uint64_t significand = 0;
    int exponent = 0;
    friend bool operator==(const Decimal&, const Decimal&) = default;
};

// For finite values above zero.
Decimal shortestDecimal(float value);
Decimal shortestDecimal(double value);

// The integer path alone: nothing where it does not apply (see ShortestDecimal.cpp). Exposed so
// that tests can hold it against std::to_chars.
std::optional<Decimal> exactShortestDecimal(float value);
std::optional<Decimal> exactShortestDecimal(double value);

// What std::to_chars' shortest scientific text says.
Decimal toCharsDecimal(float value);
Decimal toCharsDecimal(double value);

} // namespace MetadataExtractor
