// Golden tests of generated clips through the real extractor: each fault the generator can
// inject shows up in exactly the expected report counters, CSV survives a round trip
// through a clip byte for byte, and a standard player reads every frame.
#include "TestClips.h"
#include "ToolsTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace toolstest;
using namespace std::string_literals;

struct CounterCase {
    const char* name;
    long long seiUnits, payloadFailures, decodeFailures, rows;
    const char* options; // after "--frames 40"
};

void PrintTo(const CounterCase& c, std::ostream* os) {
    *os << c.name;
}

class GeneratedClipCounters : public testing::TestWithParam<CounterCase> {};

TEST_P(GeneratedClipCounters, ReportCountsExactlyTheInjectedFaults) {
    const CounterCase& c = GetParam();
    const std::string clip = testclips::makeTempDir() + "/clip.mp4";
    testclips::generate(clip, testclips::split("--frames 40 "s + c.options, ' '));
    std::string csv, report;
    EXPECT_EQ(testclips::runExtractor({"--report", clip}, &csv, &report), c.rows ? 0 : 3) << report;
    auto values = parseReport(report);
    EXPECT_EQ(std::tuple(values["sei_nal_count"], values["payload_decode_failures"],
                         values["sei_decode_failures"], values["rows_decoded"]),
              std::tuple(c.seiUnits, c.payloadFailures, c.decodeFailures, c.rows));
    // Without a row, the four lines of the notice.
    EXPECT_EQ(lineCount(csv), c.rows ? static_cast<std::size_t>(c.rows) + 1 : 4);
    EXPECT_EQ(csv.substr(0, csv.find('\n')),
              c.rows ? kCsvHeader : "No SEI metadata found. Requirements:");
}

// With all faults, a frame hit by several counts once, under the first stage that rejects it
// (marker before record).
INSTANTIATE_TEST_SUITE_P(
    Faults, GeneratedClipCounters,
    testing::Values(CounterCase{"BadMarker", 40, 10, 0, 30, "--bad-marker 4"},
                    CounterCase{"BadRecord", 40, 0, 8, 32, "--bad-record 5"},
                    CounterCase{"NoSeq", 40, 0, 13, 27, "--no-seq 3"},
                    CounterCase{"OtherSei", 40, 0, 0, 40, "--other-sei 2"},
                    CounterCase{"Faststart", 40, 0, 0, 40, "--faststart"},
                    CounterCase{"Silent", 0, 0, 0, 0, "--no-telemetry"},
                    CounterCase{"All", 40, 10, 4, 26,
                                "--bad-marker 4 --bad-record 6 --no-seq 10 --other-sei 3"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GeneratedClip, DriveRowsFollowTheFrames) {
    const std::string dir = testclips::makeTempDir();
    testclips::generate(dir + "/drive.mp4", {"--frames", "120", "--seed", "3"});
    std::string csv;
    ASSERT_EQ(testclips::runExtractor({dir + "/drive.mp4"}, &csv), 0);
    // Every field present, frames counted from 0.
    const std::regex row("\n[^,\n]+,[^,\n]+,([0-9]+)(,[^,\n]+){13}(?=\n|$)");
    int frame = 0;
    for (std::sregex_iterator it(csv.begin(), csv.end(), row), end; it != end; ++it, ++frame)
        EXPECT_EQ((*it)[1], std::to_string(frame));
    EXPECT_EQ(std::pair(frame, lineCount(csv)), std::pair(120, std::size_t{121}));
}

// One row of a generated drive, as the extractor writes it.
struct DriveSample {
    double speed, pedal, latitude, longitude, heading, longitudinal, lateral;
    bool brake;
};

std::vector<DriveSample> driveSamples(const std::string& csv) {
    std::vector<DriveSample> samples;
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line); // header
    while (std::getline(lines, line)) {
        const std::vector<std::string> cells = testclips::split(line, ',');
        samples.push_back({std::stod(cells[3]), std::stod(cells[4]), std::stod(cells[10]),
                           std::stod(cells[11]), std::stod(cells[12]), std::stod(cells[13]),
                           std::stod(cells[14]), cells[8] == "True"});
    }
    return samples;
}

// Runs of rows that meet `condition`, each reduced to its largest `value`.
template <typename Condition, typename Value>
std::vector<double> peaksOfRuns(const std::vector<DriveSample>& samples, Condition condition,
                                Value value) {
    std::vector<double> peaks;
    bool inRun = false;
    for (const DriveSample& s : samples) {
        if (condition(s)) {
            if (!inRun)
                peaks.push_back(value(s));
            peaks.back() = std::max(peaks.back(), value(s));
        }
        inRun = condition(s);
    }
    return peaks;
}

// A generated drive moves as a car does: the pedal in percent, position advancing with speed
// along the heading, lateral acceleration from speed and the heading's turn rate, longitudinal
// from the speed's change, and brakings and turns of differing strength.
TEST(GeneratedClip, DriveIsOneConsistentMotion) {
    const std::string dir = testclips::makeTempDir();
    constexpr double kFps = 10.0, kDt = 1.0 / kFps, kMetresPerDegree = 111320.0;
    testclips::generate(dir + "/drive.mp4",
                        {"--duration", "120", "--fps", "10", "--size", "64x64", "--fast"});
    std::string csv;
    ASSERT_EQ(testclips::runExtractor({dir + "/drive.mp4"}, &csv), 0);
    const std::vector<DriveSample> samples = driveSamples(csv);
    ASSERT_EQ(samples.size(), 1200u);
    double maxPedal = 0.0;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        const DriveSample &a = samples[i - 1], &b = samples[i];
        ASSERT_TRUE(b.pedal >= 0.0 && b.pedal <= 100.0) << i;
        maxPedal = std::max(maxPedal, b.pedal);
        const double north = (b.latitude - a.latitude) * kMetresPerDegree;
        const double east = (b.longitude - a.longitude) * kMetresPerDegree *
                            std::cos(b.latitude * std::numbers::pi / 180.0);
        ASSERT_NEAR(std::hypot(north, east), b.speed * kDt, 1e-3) << i;
        const double course = std::atan2(east, north) * 180.0 / std::numbers::pi;
        if (b.speed > 1.0) {
            ASSERT_NEAR(std::remainder(course - b.heading, 360.0), 0.0, 0.1) << i;
        }
        const double turnRate = std::remainder(b.heading - a.heading, 360.0) / kDt;
        ASSERT_NEAR(b.lateral, b.speed * turnRate * std::numbers::pi / 180.0, 0.3) << i;
        if (b.speed > 0.0) {
            ASSERT_NEAR(b.longitudinal, (b.speed - a.speed) / kDt, 0.3) << i;
        }
        ASSERT_TRUE(b.longitudinal >= -1.5 || b.brake) << i;
    }
    // Percent, not a fraction: speeding up presses the pedal well down.
    EXPECT_GT(maxPedal, 40.0);
    const auto spread = [](const std::vector<double>& peaks) {
        return peaks.size() < 3 ? 0.0
                                : *std::max_element(peaks.begin(), peaks.end()) -
                                      *std::min_element(peaks.begin(), peaks.end());
    };
    const auto brakings = peaksOfRuns(
        samples, [](const DriveSample& s) { return s.longitudinal < -1.0; },
        [](const DriveSample& s) { return -s.longitudinal; });
    const auto turns = peaksOfRuns(
        samples, [](const DriveSample& s) { return std::abs(s.lateral) > 1.0; },
        [](const DriveSample& s) { return std::abs(s.lateral); });
    EXPECT_GT(spread(brakings), 1.0) << brakings.size() << " brakings";
    EXPECT_GT(spread(turns), 1.0) << turns.size() << " turns";
}

// Values at the edges of the text rendering: shortest single- and double-precision texts,
// signed zeros, exponent notation, the largest varints, unknown enumeration numbers, doubles
// whose bytes need emulation prevention (00 00 03, runs of zeros), absent fields.
const std::string kAwkwardRows[] = {
    "1,GEAR_PARK,0,0.1,1e-05,-0.0,True,False,True,IDLE,37.5,-122.25,0.0,-0.0,1e-07,9.81",
    "18446744073709551615,7,18446744073709551615,0.0001,-3.0,100.0,False,True,False,4,"
    "1.0000000000436557,5e-324,359.9,2.5e-07,-9.999e-05,10.000000029802322",
    "1,,2,,,,,,,,,,,,,",
    "2,GEAR_NEUTRAL,3,inf,-inf,nan,False,False,False,PACE_GUIDE,0.30000000000000004,"
    "-0.0001,0.0,0.0,0.0,-1e-300",
    "3,GEAR_REVERSE,4,12.5,0.25,-450.75,True,True,True,FULL_GUIDE,-33.8688,151.2093,180.0,"
    "-2.5,0.125,9.80665",
    ",GEAR_DRIVE,5,,,,,,,LANE_GUIDE,,,,,,",
};

TEST(GeneratedClip, CsvSurvivesARoundTripByteForByte) {
    const std::string dir = testclips::makeTempDir();
    std::string csv = kCsvHeader;
    for (const std::string& row : kAwkwardRows)
        csv += "\n" + row;
    writeFile(dir + "/in.csv", csv);
    testclips::generate(dir + "/clip.mp4", {"--from-csv", dir + "/in.csv"});
    std::string out, report;
    ASSERT_EQ(testclips::runExtractor({"--report", dir + "/clip.mp4"}, &out, &report), 0);
    // The last row lacks "version": the extractor rejects it, as it would from the car.
    EXPECT_EQ(out, csv.substr(0, csv.rfind('\n') + 1));
    EXPECT_EQ(parseReport(report)["sei_decode_failures"], 1);
}

TEST(GeneratedClip, StandardPlayerDecodesEveryFrame) {
    const std::string dir = testclips::makeTempDir();
    testclips::generate(dir + "/play.mp4",
                        {"--frames", "48", "--faststart", "--size", "352x288", "--fps", "25",
                         "--fast", "--bitrate", "800", "--other-sei", "2", "--bad-marker", "3",
                         "--bad-record", "5"});
    std::string probed;
    testclips::runShell("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                        "stream=nb_read_frames -of csv=p=0 " +
                            dir + "/play.mp4 2>&1",
                        &probed);
    // Silent at error level: the telemetry units are well-formed SEI to a player too.
    EXPECT_EQ(probed, "48\n");
}

} // namespace
