// Value texts of the telemetry fields.
#include "ValueText.h"

#include "ShortestDecimal.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <limits>
#include <string_view>
#include <type_traits>

namespace MetadataExtractor {
namespace {

// Scientific exponents (value = d.ddd x 10^x) written in plain decimal notation. Below: values
// under 0.0001 in their shortest form. Above: far beyond any telemetry magnitude.
constexpr int kSmallestPlainExponent = -4;
constexpr int kLargestPlainExponent = 15;

char* writeText(char* out, std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

__extension__ typedef unsigned __int128 Chars16;

// Eight decimal digits of `value` (below 10^8), zeros in front, as the bytes of one word, the
// first digit in the lowest byte: split in halves, quarters and single digits lane-wise, without
// a chain of divisions or stores that are read back.
[[gnu::always_inline]] inline std::uint64_t eightDigits(std::uint32_t value) {
    constexpr std::uint32_t kTenThousand = 10000;
    std::uint64_t lanes = value / kTenThousand | std::uint64_t{value % kTenThousand} << 32;
    // x / 100 as (x x 10486) >> 20 and x / 10 as (x x 103) >> 10, exact for four and two digits.
    std::uint64_t quotients = ((lanes * 10486) >> 20) & 0x0000007F0000007FULL;
    lanes = quotients | (lanes - quotients * 100) << 16;
    quotients = ((lanes * 103) >> 10) & 0x000F000F000F000FULL;
    lanes = quotients | (lanes - quotients * 10) << 8;
    return lanes | 0x3030303030303030ULL;
}

constexpr std::uint64_t kTenToTheEight = 100000000;
constexpr std::uint64_t kTenToTheSixteen = kTenToTheEight * kTenToTheEight;
constexpr std::size_t kWordDigits = 16;
// Eight '0' characters.
constexpr std::uint64_t kZeroDigits = 0x3030303030303030ULL;

// Sixteen decimal digits of `value` (below 10^16), zeros in front, the first digit in the lowest
// byte. With SSE2 both halves of eight digits are split at once: four-digit groups, each
// repeated in four 16-bit lanes and divided there by 1000, 100, 10 and 1 by multiplications.
[[gnu::always_inline]] inline Chars16 sixteenDigitWords(std::uint64_t value) {
    const std::uint64_t high = value / kTenToTheEight;
    const std::uint64_t low = value - high * kTenToTheEight;
#if defined(__SSE2__)
    // x / 10^4 as (x * kDivideBy10000) >> 45, exact below 10^8.
    constexpr int kDivideBy10000 = static_cast<int>(0xd1b71759U), kDivideBy10000Shift = 45;
    constexpr short kTenThousand = 10000, kTen = 10;
    // A group times 4, times these over 2^16, then these over 2^16: its first one, two, three
    // and four digits.
    const __m128i kGroupDivisors =
        _mm_setr_epi16(8389, 5243, 13108, -32768, 8389, 5243, 13108, -32768);
    const __m128i kGroupShifts =
        _mm_setr_epi16(1 << 7, 1 << 11, 1 << 13, -32768, 1 << 7, 1 << 11, 1 << 13, -32768);
    const __m128i halves =
        _mm_set_epi64x(static_cast<long long>(low), static_cast<long long>(high));
    const __m128i upper =
        _mm_srli_epi64(_mm_mul_epu32(halves, _mm_set1_epi32(kDivideBy10000)), kDivideBy10000Shift);
    const __m128i lower = _mm_sub_epi32(halves, _mm_mul_epu32(upper, _mm_set1_epi32(kTenThousand)));
    const auto digitsOf = [&](__m128i groups) {
        groups = _mm_slli_epi64(groups, 2);
        const __m128i pairs = _mm_unpacklo_epi16(groups, groups);
        const __m128i prefixes = _mm_mulhi_epu16(
            _mm_mulhi_epu16(_mm_unpacklo_epi32(pairs, pairs), kGroupDivisors), kGroupShifts);
        return _mm_sub_epi16(prefixes,
                             _mm_slli_epi64(_mm_mullo_epi16(prefixes, _mm_set1_epi16(kTen)), 16));
    };
    const __m128i chars = _mm_add_epi8(_mm_packus_epi16(digitsOf(_mm_unpacklo_epi16(upper, lower)),
                                                        digitsOf(_mm_unpackhi_epi16(upper, lower))),
                                       _mm_set1_epi8('0'));
    return Chars16{static_cast<std::uint64_t>(_mm_cvtsi128_si64(chars))} |
           Chars16{static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(chars, chars)))}
               << 64;
#else
    return Chars16{eightDigits(static_cast<std::uint32_t>(high))} |
           Chars16{eightDigits(static_cast<std::uint32_t>(low))} << 64;
#endif
}

// The last sixteen digits of `value`, zeros in front; a float's take one word of eight.
[[gnu::always_inline]] inline Chars16 sixteenDigits(std::uint64_t value) {
    if (value < kTenToTheEight)
        return Chars16{eightDigits(static_cast<std::uint32_t>(value))} << 64 | kZeroDigits;
    return sixteenDigitWords(value % kTenToTheSixteen);
}

void store(char* out, Chars16 chars) {
    std::memcpy(out, &chars, sizeof chars);
}

std::size_t digitCount(std::uint64_t value) {
    // bit width x log10(2), then one comparison.
    constexpr unsigned kLog10Of2Scaled = 1233, kScaleBits = 12;
    const auto guess =
        static_cast<std::size_t>((std::bit_width(value) * kLog10Of2Scaled) >> kScaleBits);
    return guess + (value >= kPowersOf10[guess] ? 1 : 0);
}

// As to_chars' scientific form: "d.ddde+XX", at least two exponent digits.
char* writeExponentNotation(char* out, std::uint64_t significand, std::size_t count, int exponent) {
    char digits[ValueText::kWriteRoom];
    const std::uint64_t lead = significand / kTenToTheSixteen;
    digits[0] = static_cast<char>('0' + lead);
    store(digits + 1, sixteenDigits(significand));
    const std::size_t skipped = lead == 0 ? 1 + kWordDigits - count : 0;
    *out++ = digits[skipped];
    if (count > 1) {
        *out++ = '.';
        out = writeText(out, std::string_view(digits + skipped + 1, count - 1));
    }
    *out++ = 'e';
    *out++ = exponent < 0 ? '-' : '+';
    const auto magnitude = static_cast<std::uint32_t>(exponent < 0 ? -exponent : exponent);
    constexpr std::uint32_t kHundred = 100, kTen = 10;
    if (magnitude >= kHundred)
        *out++ = static_cast<char>('0' + magnitude / kHundred);
    *out++ = static_cast<char>('0' + magnitude / kTen % kTen);
    *out++ = static_cast<char>('0' + magnitude % kTen);
    return out;
}

// Not a number, infinities and zeros: rare, kept off the way of the others.
template <typename Float> [[gnu::cold]] char* writeSpecialText(char* out, Float value) {
    if (std::isnan(value))
        return writeText(out, "nan");
    if (std::isinf(value))
        return writeText(out, value < 0 ? "-inf" : "inf");
    return writeText(out, std::signbit(value) ? "-0.0" : "0.0");
}

// Plain notation, "0.000ddd", "ddd.ddd" or "ddd000.0", from the digits' words stored whole and
// overlapping: registers and stores only. The digits are moved to the front of the words (a
// multiplication by a power of ten), so that the zeros after them are those a whole number
// needs up to its point; a digit more than the words hold is written on its own first.
template <typename Float> char* writeFloatingText(char* out, Float value) {
    using Bits =
        std::conditional_t<sizeof(Float) == sizeof(std::uint64_t), std::uint64_t, std::uint32_t>;
    // A double's shortest digits are at most 17, a float's 9.
    constexpr std::size_t kWordsDigits = sizeof(Float) == sizeof(std::uint64_t) ? 16 : 8;
    constexpr unsigned kSignShift = 8 * sizeof(Bits) - 1;
    const auto bits = std::bit_cast<Bits>(value);
    const Bits magnitude = bits & ~(Bits{1} << kSignShift);
    if (magnitude == 0 || magnitude >= std::bit_cast<Bits>(std::numeric_limits<Float>::infinity()))
        return writeSpecialText(out, value);
    // Written either way; kept for a negative value only.
    *out = '-';
    out += bits >> kSignShift;

    const Decimal decimal = shortestDecimal(std::bit_cast<Float>(magnitude));
    std::size_t count = digitCount(decimal.significand);
    const int exponent = decimal.exponent + static_cast<int>(count) - 1;
    if (exponent < kSmallestPlainExponent || exponent > kLargestPlainExponent)
        return writeExponentNotation(out, decimal.significand, count, exponent);

    std::uint64_t digits = decimal.significand;
    char first = 0;
    if (count > kWordsDigits) {
        const std::uint64_t lead = digits / kPowersOf10[kWordsDigits];
        first = static_cast<char>('0' + lead);
        digits -= lead * kPowersOf10[kWordsDigits];
        count = kWordsDigits;
    } else {
        digits *= kPowersOf10[kWordsDigits - count];
    }
    Chars16 words = 0;
    if constexpr (kWordsDigits == kWordDigits) {
        words = sixteenDigitWords(digits);
    } else {
        words = Chars16{eightDigits(static_cast<std::uint32_t>(digits))} | Chars16{kZeroDigits}
                                                                               << 64;
    }

    if (exponent < 0) {
        constexpr std::uint64_t kFractionStart = 0x303030303030'2e30ULL; // "0.000000"
        std::memcpy(out, &kFractionStart, sizeof kFractionStart);
        out += 1 - exponent;
        if (first != 0)
            *out++ = first;
        store(out, words);
        return out + count;
    }
    std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
    if (first != 0) {
        *out++ = first;
        --integerDigits;
    }
    store(out, words);
    if (count <= integerDigits) {
        // A whole number: the words' zeros reach its point; then ".0".
        out[integerDigits] = '.';
        out[integerDigits + 1] = '0';
        return out + integerDigits + 2;
    }
    // The digits after the point again, one place further on, then the point.
    store(out + integerDigits + 1, words >> (8 * integerDigits));
    out[integerDigits] = '.';
    return out + count + 1;
}

template <typename Value, typename Writer> ValueText textOf(Value value, Writer write) {
    char chars[ValueText::kWriteRoom];
    const char* const end = write(chars, value);
    return ValueText(std::string_view(chars, static_cast<std::size_t>(end - chars)));
}

} // namespace

ValueText::ValueText(std::string_view text) {
    const std::size_t n = text.size() < kCapacity ? text.size() : kCapacity;
    std::memcpy(chars_.data(), text.data(), n);
    length_ = static_cast<std::uint8_t>(n);
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
