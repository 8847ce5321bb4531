// Shortest round-trip decimals against std::to_chars: the integer path digit for digit over
// every float of a range, a stride through all of them and many doubles, and the texts laid out
// from them byte for byte against the plain-notation rewrite of std::to_chars' text.
#include "ShortestDecimal.h"
#include "ReferenceText.h"
#include "ValueText.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

using namespace MetadataExtractor;

namespace {

template <typename Float> std::string writtenText(Float value) {
    char text[ValueText::kWriteRoom];
    const char* const end = std::is_same_v<Float, float> ? writeFloatText(text, float(value))
                                                         : writeDoubleText(text, double(value));
    return std::string(text, static_cast<std::size_t>(end - text));
}

// Compares the digits of the integer path, where it applies, and the written text.
template <typename Float>
void expectAsToChars(Float value, std::size_t& exactCount, bool withText = true) {
    if (std::isfinite(value) && value > 0) {
        const auto exact = exactShortestDecimal(value);
        if (exact) {
            ++exactCount;
            const Decimal expected = toCharsDecimal(value);
            ASSERT_EQ(exact->significand, expected.significand) << value;
            ASSERT_EQ(exact->exponent, expected.exponent) << value;
        }
    }
    if (withText) {
        ASSERT_EQ(writtenText(value), referencetext::floatingText(value));
    }
}

TEST(ShortestDecimal, TelemetryValues) {
    const std::vector<std::pair<double, Decimal>> doubles = {
        {48.13743, {4813743, -5}},
        {30.0, {3, 1}},
        {9.815875958331759, {9815875958331759, -15}},
        {0.032414387073848076, {32414387073848076, -18}},
        {0.1, {1, -1}},
        {1.0, {1, 0}},                                          // a power of two
        {std::numeric_limits<double>::denorm_min(), {5, -324}}, // below the integer path
        {9007199254740993.0, {9007199254740992, 0}},            // above it
    };
    for (const auto& [value, expected] : doubles)
        EXPECT_EQ(shortestDecimal(value), expected) << value;
    const std::vector<std::pair<float, Decimal>> floats = {
        {12.5f, {125, -1}}, {0.1f, {1, -1}}, {16777215.0f, {16777215, 0}}, {3e-10f, {3, -10}}};
    for (const auto& [value, expected] : floats)
        EXPECT_EQ(shortestDecimal(value), expected) << value;
}

TEST(ShortestDecimal, EveryFloatOfARangeAndAStrideThroughAll) {
    std::size_t exact = 0;
    // [16, 20): speeds in metres per second, every one of the 2^21 values; the texts of some.
    constexpr std::uint32_t kTextStride = 61;
    for (std::uint32_t bits = std::bit_cast<std::uint32_t>(16.0f);
         bits < std::bit_cast<std::uint32_t>(20.0f); ++bits)
        ASSERT_NO_FATAL_FAILURE(
            expectAsToChars(std::bit_cast<float>(bits), exact, bits % kTextStride == 0));
    EXPECT_EQ(exact, (std::size_t{1} << 21) - 1); // all but 16 itself
    // Every bit pattern's neighbourhood: signs, subnormals, both ends, infinities and NaNs.
    constexpr std::uint64_t kStride = 16411;
    for (std::uint64_t bits = 0; bits <= 0xFFFFFFFF; bits += kStride)
        ASSERT_NO_FATAL_FAILURE(
            expectAsToChars(std::bit_cast<float>(static_cast<std::uint32_t>(bits)), exact));
    // Subnormal and normal edges, around 1 and 2^24, and both sides of each notation switch.
    for (std::uint32_t pattern : {0x00000001u, 0x007FFFFFu, 0x00800000u, 0x7F7FFFFEu, 0x3F800000u,
                                  0x4B800000u, 0x3727C5ACu, 0x38D1B717u, 0x58635FA9u, 0x5A0E1BCAu})
        for (std::uint32_t bits : {pattern - 1, pattern, pattern + 1})
            for (std::uint32_t sign : {0u, 0x80000000u})
                ASSERT_NO_FATAL_FAILURE(expectAsToChars(std::bit_cast<float>(bits | sign), exact));
}

TEST(ShortestDecimal, RandomAndBoundaryDoubles) {
    std::mt19937_64 random(26);
    std::size_t exact = 0;
    constexpr int kDraws = 100000;
    for (int i = 0; i < kDraws; ++i) {
        // Any bit pattern; a full significand at telemetry magnitudes; a short decimal.
        const double any = std::bit_cast<double>(random());
        const double full = std::ldexp(double(random() >> 11), int(random() % 100) - 90);
        const double shortDecimal =
            double(std::int64_t(random() % 2000001) - 1000000) / std::pow(10.0, random() % 12);
        ASSERT_NO_FATAL_FAILURE(expectAsToChars(any, exact));
        ASSERT_NO_FATAL_FAILURE(expectAsToChars(full, exact));
        ASSERT_NO_FATAL_FAILURE(expectAsToChars(shortDecimal, exact));
    }
    // Each side of powers of ten and two, where digit counts, notation and rounding switch.
    for (int power = -30; power <= 30; ++power) {
        for (double centre : {std::pow(10.0, power), std::ldexp(1.0, 3 * power)}) {
            double value = centre;
            for (int step = 0; step < 3; ++step)
                value = std::nextafter(value, 0.0);
            for (int step = 0; step < 7; ++step, value = std::nextafter(value, 1e300))
                ASSERT_NO_FATAL_FAILURE(expectAsToChars(value, exact));
        }
    }
    EXPECT_GT(exact, std::size_t{kDraws}); // the integer path took most telemetry-like values
}

} // namespace
