// Driving events: each rule on rows built to trigger it (or only just not), a trip's moments,
// and the command line's output on a clip generated from a CSV.
#include "DrivingEvents.h"
#include "TestClips.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace {

using analysis::DriveRow;
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

// " kind@time=value" per event, with ":state" for assistance; %g keeps them short.
std::string describe(const std::vector<analysis::DrivingEvent>& events) {
    std::string text;
    for (const auto& e : events) {
        char line[128];
        std::snprintf(line, sizeof line, " %s@%g=%g%s", analysis::eventKindName(e.kind).data(),
                      e.time, e.value, (e.state.empty() ? "" : ":" + e.state).c_str());
        text += line;
    }
    return text;
}

struct Stretch {
    std::size_t first, end; // rows [first, end)
    double value;
};

TEST(DrivingEvents, Rules) {
    struct Case {
        double rowsPerSecond;
        std::size_t rows;
        std::vector<Stretch> speed, lateral;                     // over 20 m/s and 0 m/s²
        std::vector<std::pair<std::size_t, const char*>> states; // from that row on
        const char* events;
    };
    // At 10 rows/s, h = floor(2.5 + 0.5) = 3: a speed step at row 20 is seen from row 17.
    const Case cases[] = {
        // Ties in kind order.
        {10,
         40,
         {{20, 40, 17}},
         {{17, 21, -4}},
         {{17, "LANE_GUIDE"}},
         " hard_brake@1.7=5 sharp_turn@1.7=4 assist_on@1.7=0:LANE_GUIDE"},
        {10, 40, {{20, 40, 22.4}}, {}, {}, " hard_accel@1.7=4"},
        // A missing speed at row 23 leaves runs of 3 and 2 rows.
        {10, 40, {{20, 40, 17}, {23, 24, kNan}}, {}, {}, ""},
        // 0.3 s counts, 0.2 s not; over 14 rows 3 * D / R is just short of 0.3.
        {10, 14, {}, {{2, 5, 9}, {10, 14, 4}}, {}, " sharp_turn@1=4"},
        {10, 40, {}, {{10, 18, -5}, {13, 14, kNan}, {15, 16, -6}}, {}, " sharp_turn@1.4=6"},
        // Under the thresholds.
        {10, 40, {{0, 20, 22.9}, {20, 40, 21.12}}, {{0, 40, 3.99}}, {}, ""},
        {10,
         40,
         {},
         {},
         {{5, "FULL_GUIDE"}, {10, "LANE_GUIDE"}, {15, "IDLE"}, {20, ""}},
         " assist_on@0.5=0:FULL_GUIDE assist_off@1.5=0:LANE_GUIDE"},
        {10, 40, {}, {}, {{0, "PACE_GUIDE"}, {3, ""}}, " assist_off@0.3=0:PACE_GUIDE"},
        // One row per 10 s keeps accelerations small; a non-finite speed is skipped.
        {0.1,
         14,
         {{3, 4, -HUGE_VAL}, {4, 6, 0.2}, {6, 8, 2.9}, {8, 9, 0.1}, {12, 14, 0.29}},
         {},
         {},
         " stop@40=0 stop@120=0"},
        // h = floor(0.25 + 0.5) is raised to 1.
        {1, 10, {{5, 10, 30}}, {}, {}, " hard_accel@4=5"},
        // Fewer than 2h+1 rows: no accelerations.
        {10, 6, {{3, 6, 0}}, {}, {}, " stop@0.3=0"},
    };
    for (const Case& c : cases) {
        std::vector<DriveRow> rows(c.rows, DriveRow{20, 0, {}});
        for (const Stretch& s : c.speed)
            for (std::size_t i = s.first; i < s.end; ++i)
                rows[i].speed = s.value;
        for (const Stretch& s : c.lateral)
            for (std::size_t i = s.first; i < s.end; ++i)
                rows[i].lateral = s.value;
        for (const auto& [first, state] : c.states)
            for (std::size_t i = first; i < c.rows; ++i)
                rows[i].assistance = state;
        const double duration = static_cast<double>(c.rows) / c.rowsPerSecond;
        EXPECT_EQ(describe(analysis::findEvents(rows, duration)), c.events);
        EXPECT_TRUE(analysis::findEvents(rows, kNan).empty());
        EXPECT_TRUE(analysis::findEvents(rows, 0.0).empty());
    }
}

// Rows at 10 per second whose speed follows an acceleration profile from 20 m/s, and whose
// lateral acceleration is given as it stands.
std::vector<DriveRow> profile(double seconds, double (*acceleration)(double),
                              double (*lateral)(double)) {
    std::vector<DriveRow> rows;
    double speed = 20.0;
    for (int row = 0; row < static_cast<int>(seconds * 10); ++row) {
        const double t = row / 10.0;
        rows.push_back(DriveRow{speed, lateral(t), {}});
        speed += acceleration(t) * 0.1;
    }
    return rows;
}

// One manoeuvre is one event however often it dips under the threshold; separate manoeuvres
// stay separate.
TEST(DrivingEvents, MergedManoeuvres) {
    const auto none = [](double) { return 0.0; };
    struct Case {
        const char* name;
        double (*acceleration)(double);
        double (*lateral)(double);
        const char* events;
    };
    const Case cases[] = {
        // Measured over 0.3 s either side, this qualifies from 1.5 to 1.8, 2.3 to 2.6 and 3.0
        // to 3.3.
        {"a braking hovering about the threshold",
         [](double t) { return t >= 1 && t < 4 ? -3.0 - 0.5 * std::cos(t * 8) : 0.0; }, none,
         " hard_brake@1.5=3.14437"},
        // Each qualifies from 0.2 s after its start to 0.2 s before its end: 1.9 s apart.
        {"two brakings 1.5 s apart",
         [](double t) { return (t >= 1 && t < 2) || (t >= 3.5 && t < 4.5) ? -4.0 : 0.0; }, none,
         " hard_brake@1.2=4 hard_brake@3.7=4"},
        {"two brakings 0.5 s apart, the larger second",
         [](double t) { return t >= 1 && t < 2       ? -4.0
                               : t >= 2.5 && t < 3.5 ? -6.0
                                                     : 0.0; }, none,
         " hard_brake@1.2=6"},
        {"a braking, then speeding up",
         [](double t) { return t >= 1 && t < 2       ? -4.0
                               : t >= 2.2 && t < 3.2 ? 4.0
                                                     : 0.0; }, none,
         " hard_brake@1.2=4 hard_accel@2.4=4"},
        {"a left then a right turn 0.5 s apart", none,
         [](double t) { return t >= 1 && t < 1.5   ? 5.0
                               : t >= 2 && t < 2.5 ? -5.0
                                                   : 0.0; },
         " sharp_turn@1=5 sharp_turn@2=5"},
        {"one turn tightening twice", none,
         [](double t) { return t >= 1 && t < 1.5   ? -5.0
                               : t >= 2 && t < 2.5 ? -7.0
                                                   : 0.0; },
         " sharp_turn@1=7"},
    };
    for (const Case& c : cases) {
        const auto rows = profile(6.0, c.acceleration, c.lateral);
        EXPECT_EQ(describe(analysis::findEvents(rows, static_cast<double>(rows.size()) / 10)),
                  c.events)
            << c.name;
    }
}

// speed, navark_state and linear_acceleration_mps2_y; the other cells empty.
std::string csvRow(const char* speed, const char* state, const char* lateral) {
    return std::string("\n1,,0,") + speed + ",,,,,," + state + ",,,,," + lateral + ",";
}

// Each moment on its own: a turn over the end of one and the start of the next is two short
// ones, and the second moment's first row sets its state without an event.
TEST(DrivingEvents, TripMoments) {
    std::string first = testclips::kCsvHeader, second = testclips::kCsvHeader;
    for (int i = 0; i < 40; ++i) {
        first += csvRow(i < 20 ? "20" : "17", "", i < 37 ? "0" : "5");
        second += csvRow("inf", i < 10 ? "FULL_GUIDE" : "IDLE", i < 3 ? "-5" : "nan");
    }
    trips::Trip trip;
    for (const std::int64_t start : {100, 160})
        trip.moments.push_back({"/f", "", start, {{std::to_string(start), "front", 4.0, 40}}, 4.0});
    const auto events = analysis::findTripEvents(
        trip, [&](const std::string& path) { return path == "/f/100" ? first : second; });
    EXPECT_EQ(describe(events), " hard_brake@1.7=5 assist_off@61=0:FULL_GUIDE");
}

// h = floor(7.5 + 0.5) = 8 at 30 rows/s; a nan speed at row 50 leaves the first brake
// exactly 0.3 s (rows 32 to 41).
TEST(DrivingEvents, CommandLine) {
    const std::string dir = testclips::makeTempDir();
    std::string csv = testclips::kCsvHeader;
    for (int i = 0; i < 90; ++i) {
        const char* speed = i == 50 ? "nan" : i < 40 ? "20" : i < 70 ? "16.8" : "0";
        const char* state = i < 30 ? "" : i < 60 ? "LANE_GUIDE" : "IDLE";
        const char* lateral = i == 15 ? "nan" : i / 10 == 1 ? "4.5" : i / 10 == 8 ? "-5" : "0";
        csv += csvRow(speed, state, lateral);
    }
    testclips::writeFile(dir + "/drive.csv", csv);
    const std::string clip =
        testclips::generate(dir + "/drive.mp4", {"--from-csv", dir + "/drive.csv"});
    std::string out, err;
    EXPECT_EQ(testclips::runExtractor({"--events", clip}, &out, &err), 0);
    EXPECT_EQ(out,
              "1.00\tassist_on\tLANE_GUIDE\n1.07\thard_brake\t31.5\n2.00\tassist_off\tLANE_GUIDE\n"
              "2.33\tstop\t-\n2.67\tsharp_turn\t5.0\n");
    EXPECT_EQ(err, "");
}

} // namespace
