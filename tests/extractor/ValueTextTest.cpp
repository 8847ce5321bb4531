// Value texts: shortest round-trip digits laid out in plain or exponent notation. Common values,
// names and integers go through a clip byte for byte in tests/tools.
#include "ValueText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace MetadataExtractor;

namespace {

TEST(FloatingText, ShortestDigitsInPlainOrExponentNotation) {
    const std::vector<std::pair<float, std::string_view>> floats = {
        {-9.999e-5f, "-9.999e-05"},
        {1e15f, "1000000000000000.0"}, // largest plain exponent
        {1e16f, "1e+16"},
        {std::numeric_limits<float>::max(), "3.4028235e+38"},
        {std::numeric_limits<float>::denorm_min(), "1e-45"},
    };
    for (const auto& [value, expected] : floats)
        EXPECT_EQ(floatText(value).view(), expected) << expected;
    const std::vector<std::pair<double, std::string_view>> doubles = {
        {-122.41941550000001, "-122.41941550000001"},         {9.99e-5, "9.99e-05"},
        {1.2345678901234567e-308, "1.2345678901234567e-308"}, {1e16, "1e+16"},
        {std::numeric_limits<double>::infinity(), "inf"},     {std::nan(""), "nan"},
    };
    for (const auto& [value, expected] : doubles)
        EXPECT_EQ(doubleText(value).view(), expected) << expected;
}

} // namespace
