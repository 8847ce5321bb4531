// Value texts: shortest round-trip digits laid out in plain or exponent notation.
#include "ValueText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace MetadataExtractor;

namespace {

TEST(FloatText, ShortestDigitsInSinglePrecision) {
    const std::vector<std::pair<float, std::string_view>> cases = {
        {0.1f, "0.1"},
        {100.0f, "100.0"},
        {12.5f, "12.5"},
        {-3.0f, "-3.0"},
        {0.25f, "0.25"},
        {0.0001f, "0.0001"},
        {0.00001f, "1e-05"},
        {2.5e-7f, "2.5e-07"},
        {-9.999e-5f, "-9.999e-05"},
        {0.0f, "0.0"},
        {-0.0f, "-0.0"},
        {1.0f, "1.0"},
        {16777216.0f, "16777216.0"},
        {123456.79f, "123456.79"},
        {1e15f, "1000000000000000.0"}, // largest plain exponent
        {1e16f, "1e+16"},
        {std::numeric_limits<float>::max(), "3.4028235e+38"},
        {std::numeric_limits<float>::denorm_min(), "1e-45"},
        {std::numeric_limits<float>::infinity(), "inf"},
        {-std::numeric_limits<float>::infinity(), "-inf"},
        {std::numeric_limits<float>::quiet_NaN(), "nan"},
        {-std::numeric_limits<float>::quiet_NaN(), "nan"},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(floatText(value).view(), expected) << expected;
}

TEST(DoubleText, ShortestDigitsInDoublePrecision) {
    const std::vector<std::pair<double, std::string_view>> cases = {
        {37.5, "37.5"},
        {0.1, "0.1"},
        {-122.41941550000001, "-122.41941550000001"},
        {0.000123456789012345, "0.000123456789012345"},
        {1e-4, "0.0001"},
        {9.99e-5, "9.99e-05"},
        {1.2345678901234567e-308, "1.2345678901234567e-308"},
        {-1.5e-300, "-1.5e-300"},
        {1234567890123456.0, "1234567890123456.0"},
        {1e16, "1e+16"},
        {1.5e300, "1.5e+300"},
        {0.0, "0.0"},
        {-0.0, "-0.0"},
        {std::numeric_limits<double>::infinity(), "inf"},
        {std::nan(""), "nan"},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(doubleText(value).view(), expected) << expected;
}

TEST(FloatText, ReadsBackToTheSameBits) {
    // Every 4099th bit pattern: cheap, and spread over all exponents and signs.
    for (std::uint64_t bits = 0; bits <= 0xFFFFFFFFu; bits += 4099) {
        const float value = std::bit_cast<float>(std::uint32_t(bits));
        const std::string text(floatText(value).view());
        const float back = std::strtof(text.c_str(), nullptr);
        if (std::isnan(value))
            EXPECT_TRUE(std::isnan(back));
        else
            ASSERT_EQ(std::bit_cast<std::uint32_t>(back), std::uint32_t(bits)) << text;
    }
}

TEST(IntegerTexts, DecimalsFlagsAndNames) {
    EXPECT_EQ(unsignedText(0).view(), "0");
    EXPECT_EQ(unsignedText(~0ull).view(), "18446744073709551615");
    EXPECT_EQ(flagText(0).view(), "False");
    EXPECT_EQ(flagText(2).view(), "True");
    const std::vector<std::string_view> gears = {"GEAR_PARK", "GEAR_DRIVE", "GEAR_REVERSE",
                                                 "GEAR_NEUTRAL", "4"};
    const std::vector<std::string_view> assistance = {"IDLE", "FULL_GUIDE", "LANE_GUIDE",
                                                      "PACE_GUIDE", "4"};
    for (std::uint64_t v = 0; v < 5; ++v) {
        EXPECT_EQ(gearText(v).view(), gears[v]);
        EXPECT_EQ(assistanceText(v).view(), assistance[v]);
    }
    EXPECT_EQ(gearText(~0ull).view(), "18446744073709551615");
}

} // namespace
