// Shortest round-trip decimals. A value m x 2^q is scaled by 10^p, the power of ten that makes
// its rounding interval (the reals that read back to it, one unit 2^q wide) between one and
// ten units wide. With 10^p = 5^p x 2^p the scaled value and bounds are (4m, 4m +- 2) x 5^p /
// 2^(2 - q - p), exact in 128 bits while 5^p fits in 64 bits, which covers magnitudes from
// about 1e-11 up to 2^53 (doubles), and in 64 bits from about 1e-8 up to 2^24 (floats). The answer
// is the multiple of the largest power of ten inside the interval that lies nearest the value, ties
// to even: what std::to_chars gives.
#include "ShortestDecimal.h"

#include <array>
#include <bit>
#include <charconv>
#include <cstring>

namespace MetadataExtractor {
namespace {

__extension__ typedef unsigned __int128 Wide;

// 5^27 is the largest power of five below 2^64.
constexpr auto kPowersOf5 = powersOf<28>(5);

// floor(e x log10(2)), exact for |e| up to 2620.
constexpr int floorLog10Pow2(int e) {
    constexpr int kLog10Of2Scaled = 315653; // log10(2) x 2^20
    constexpr int kScaleBits = 20;
    return (e * kLog10Of2Scaled) >> kScaleBits;
}

// Drops the trailing zeros of a significand, eight, four, two and one at a time.
template <int Digits> void dropZerosBy(std::uint64_t& significand, int& exponent) {
    constexpr std::uint64_t kUnit = kPowersOf10[Digits];
    if (significand % kUnit == 0) {
        significand /= kUnit;
        exponent += Digits;
    }
}

// Most significands have none: one test for that first.
void dropZeros(Decimal& decimal) {
    if (decimal.significand % 10 != 0)
        return;
    dropZerosBy<8>(decimal.significand, decimal.exponent);
    dropZerosBy<4>(decimal.significand, decimal.exponent);
    dropZerosBy<2>(decimal.significand, decimal.exponent);
    dropZerosBy<1>(decimal.significand, decimal.exponent);
}

template <typename Float> struct Format;
template <> struct Format<float> {
    using Bits = std::uint32_t;
    static constexpr int kMantissaBits = 23;
    static constexpr int kExponentBits = 8;
    static constexpr int kExponentBias = 150; // value = m x 2^(biased - bias)
    // 4m x 5^p stays within 64 bits up to 5^15, magnitudes down to about 1e-8.
    using Scaled = std::uint64_t;
    static constexpr int kLargestPowerOf5 = 15;
};
template <> struct Format<double> {
    using Bits = std::uint64_t;
    static constexpr int kMantissaBits = 52;
    static constexpr int kExponentBits = 11;
    static constexpr int kExponentBias = 1075;
    using Scaled = Wide;
    static constexpr int kLargestPowerOf5 = 27;
};

// The value times 4 x 5^p over 2^shift, in units of 10^-p: its whole units and what is left,
// and the first and last whole units inside its interval (value -+ 2 x 5^p, closed when m is
// even: ties read back to even).
template <typename Rest> struct Units {
    std::uint64_t whole;
    Rest rest, half;
    std::uint64_t first, last;
};

// On the scaled integers as they are.
template <typename Scaled> struct WholeShift {
    int shift;
    Units<Scaled> units(std::uint64_t m, std::uint64_t five, bool closed) const {
        const Scaled value = Scaled{m << 2} * five;
        const Scaled upper = value + 2 * Scaled{five}, lower = value - 2 * Scaled{five};
        const Scaled mask = (Scaled{1} << shift) - 1;
        return {static_cast<std::uint64_t>(value >> shift), value & mask, Scaled{1} << (shift - 1),
                static_cast<std::uint64_t>(lower >> shift) + ((lower & mask) != 0 || !closed),
                static_cast<std::uint64_t>(upper >> shift) - ((upper & mask) == 0 && !closed)};
    }
};

// A double's scaled value takes more than 64 bits, but below a shift of 64 its whole units
// and what is left do not: one shift of the product's halves, then the ends from what is left
// (128-bit arithmetic on each end spilled registers). With 5^p below 2^61, what is left plus or
// minus 2 x 5^p stays within 64 bits, signed below.
struct NarrowShift {
    static constexpr int kLargestPowerOf5 = 26;
    int shift;
    Units<std::uint64_t> units(std::uint64_t m, std::uint64_t five, bool closed) const {
        const Wide product = Wide{m << 2} * five;
        const auto high = static_cast<std::uint64_t>(product >> 64);
        const auto low = static_cast<std::uint64_t>(product);
        const std::uint64_t mask = (std::uint64_t{1} << shift) - 1;
        const std::uint64_t whole = high << (64 - shift) | low >> shift;
        const std::uint64_t rest = low & mask;
        const std::uint64_t up = rest + 2 * five;
        const auto down = static_cast<std::int64_t>(rest - 2 * five);
        return {whole, rest, std::uint64_t{1} << (shift - 1),
                whole + static_cast<std::uint64_t>(down >> shift) +
                    ((static_cast<std::uint64_t>(down) & mask) != 0 || !closed),
                whole + (up >> shift) - ((up & mask) == 0 && !closed)};
    }
};

// At least one and less than ten units fit in the interval (10^-p <= 2^q).
template <typename Shift>
[[gnu::always_inline]] inline std::optional<Decimal> shortestInInterval(std::uint64_t m, int p,
                                                                        Shift by) {
    const auto [whole, rest, half, first, last] =
        by.units(m, kPowersOf5[static_cast<std::size_t>(p)], (m & 1) == 0);
    // Less than ten units wide, the interval holds at most one multiple of ten: if it does,
    // that is the shortest, its trailing zeros dropped.
    Decimal decimal{last / 10, 1 - p};
    if (decimal.significand * 10 >= first) {
        dropZeros(decimal);
        return decimal;
    }
    // Otherwise the unit nearest the value, ties to even, moved inside the interval.
    decimal = {whole + (rest > half || (rest == half && (whole & 1) != 0) ? 1 : 0), -p};
    if (decimal.significand < first)
        ++decimal.significand;
    if (decimal.significand > last)
        return std::nullopt;
    return decimal;
}

template <typename Float>
[[gnu::always_inline]] inline std::optional<Decimal> exactShortest(Float value) {
    using F = Format<Float>;
    const auto bits = std::bit_cast<typename F::Bits>(value);
    const std::uint64_t fraction = bits & ((typename F::Bits{1} << F::kMantissaBits) - 1);
    const int biased = static_cast<int>(bits >> F::kMantissaBits) & ((1 << F::kExponentBits) - 1);
    // Subnormals, and powers of two, whose interval is narrower below than above.
    if (biased == 0 || fraction == 0)
        return std::nullopt;
    const std::uint64_t m = fraction | (std::uint64_t{1} << F::kMantissaBits);
    const int q = biased - F::kExponentBias;
    const int p = -floorLog10Pow2(q);
    const int shift = 2 - q - p;
    using Scaled = typename F::Scaled;
    // Doubles from 2^53 and floats from 2^24 on have p = 0 and a shift below one: left to
    // std::to_chars.
    if (p < 0 || p > F::kLargestPowerOf5 || shift < 1 ||
        shift >= static_cast<int>(8 * sizeof(Scaled)))
        return std::nullopt;
    if constexpr (sizeof(Scaled) > sizeof(std::uint64_t)) {
        if (shift < 64 && p <= NarrowShift::kLargestPowerOf5)
            return shortestInInterval(m, p, NarrowShift{shift});
    }
    return shortestInInterval(m, p, WholeShift<Scaled>{shift});
}

// Reads "d.ddde-XX" back into digits and exponent.
template <typename Float> Decimal toChars(Float value) {
    char text[32];
    const char* const end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::scientific).ptr;
    Decimal decimal;
    const char* p = text;
    int fractionDigits = 0;
    bool inFraction = false;
    for (; *p != 'e'; ++p) {
        if (*p == '.') {
            inFraction = true;
            continue;
        }
        decimal.significand = decimal.significand * 10 + static_cast<std::uint64_t>(*p - '0');
        fractionDigits += inFraction ? 1 : 0;
    }
    int exponent = 0;
    std::from_chars(p[1] == '+' ? p + 2 : p + 1, end, exponent);
    decimal.exponent = exponent - fractionDigits;
    return decimal;
}

} // namespace

std::optional<Decimal> exactShortestDecimal(float value) {
    return exactShortest(value);
}
std::optional<Decimal> exactShortestDecimal(double value) {
    return exactShortest(value);
}
Decimal toCharsDecimal(float value) {
    return toChars(value);
}
Decimal toCharsDecimal(double value) {
    return toChars(value);
}
Decimal shortestDecimal(float value) {
    const auto exact = exactShortest(value);
    return exact ? *exact : toChars(value);
}
Decimal shortestDecimal(double value) {
    const auto exact = exactShortest(value);
    return exact ? *exact : toChars(value);
}

} // namespace MetadataExtractor
