// The timeline's series and the car between rows, on rows read from CSV text.
#include "DriveSeries.h"
#include "TestClips.h"

#include <gtest/gtest.h>

namespace {

using namespace analysis;

// One CSV line per row from (speed, pedal, brake, left blinker, state, latitude, heading).
std::string csvOf(
    const std::vector<std::tuple<double, double, bool, bool, const char*, double, double>>& rows) {
    std::string csv = testclips::kCsvHeader + "\n";
    for (const auto& [speed, pedal, brake, left, state, lat, heading] : rows) {
        char line[256];
        std::snprintf(line, sizeof line, "1,D,0,%g,%g,0,%s,False,%s,%s,%g,10,%g,0,0,0\n", speed,
                      pedal, left ? "True" : "False", brake ? "True" : "False", state, lat,
                      heading);
        csv += line;
    }
    return csv;
}

TEST(DriveSeries, SpansTicksAndCarBetweenRows) {
    const std::string csv = csvOf({{10, 50, false, false, "", 1.0, 359},
                                   {12, 200, true, true, "FULL_GUIDE", 2.0, 1},
                                   {14, -5, true, true, "FULL_GUIDE", 3.0, 90},
                                   {16, 0, false, false, "", 999, 90}});
    const DriveSeries s = driveSeries(TelemetryTable::fromCsv(csv).rows(), 4.0);
    ASSERT_EQ(s.size(), 4u);
    EXPECT_EQ(std::vector<float>(s.pedal), (std::vector<float>{0.5f, 1.0f, 0.0f, 0.0f}));
    ASSERT_EQ(std::tuple(s.brake.size(), s.assistance.size(), s.blinkers.size()),
              std::tuple(1u, 1u, 1u));
    EXPECT_EQ(
        std::tuple(s.brake[0].start, s.brake[0].end, s.assistance[0].state, s.blinkers[0].time),
        std::tuple(1.0, 3.0, "FULL_GUIDE", 1.0));

    const auto half = carPoseAt(s, 0.5);
    ASSERT_TRUE(half && half->heading);
    EXPECT_DOUBLE_EQ(half->latitude, 1.5);
    EXPECT_NEAR(*half->heading, 0.0, 1e-9); // 359 -> 1 the short way
    EXPECT_DOUBLE_EQ(headingBetween(1, 359, 0.25), 0.5);
    // The next row has no fix: the car stays on its row; a row without a fix shows none.
    EXPECT_DOUBLE_EQ(carPoseAt(s, 2.5)->latitude, 3.0);
    EXPECT_FALSE(carPoseAt(s, 3.5));
    EXPECT_EQ(routeRows(s), (std::vector<std::size_t>{0, 1, 2}));

    const std::vector<Envelope> e = envelope(s, s.speed, 0.0, 4.0, 2);
    EXPECT_EQ(std::pair(e[0].low, e[1].high), std::pair(10.0f, 16.0f));
    // Sparser rows than columns: a column between rows holds the row before it.
    EXPECT_EQ(envelope(s, s.speed, 0.0, 4.0, 8)[3].high, 12.0f);
}

} // namespace
