// Golden tests of generated clips through the real extractor: each fault the generator can
// inject shows up in exactly the expected report counters, CSV survives a round trip
// through a clip byte for byte, and a standard player reads every frame.
#include "TestClips.h"
#include "ToolsTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace toolstest;

struct Counters {
    long long seiUnits, payloadFailures, decodeFailures, rows;
};

struct CounterCase {
    const char* name;
    std::vector<std::string> args;
    Counters expected;
};

void PrintTo(const CounterCase& c, std::ostream* os) {
    *os << c.name;
}

class GeneratedClipCounters : public testing::TestWithParam<CounterCase> {};

TEST_P(GeneratedClipCounters, ReportCountsExactlyTheInjectedFaults) {
    const CounterCase& c = GetParam();
    const std::string clip = testclips::makeTempDir() + "/clip.mp4";
    testclips::generate(clip, c.args);
    std::string csv, report;
    ASSERT_EQ(testclips::runExtractor({"--report", clip}, &csv, &report), 0) << report;
    auto values = parseReport(report);
    EXPECT_EQ(values["sei_nal_count"], c.expected.seiUnits);
    EXPECT_EQ(values["payload_decode_failures"], c.expected.payloadFailures);
    EXPECT_EQ(values["sei_decode_failures"], c.expected.decodeFailures);
    EXPECT_EQ(values["rows_decoded"], c.expected.rows);
    EXPECT_EQ(lineCount(csv), static_cast<std::size_t>(c.expected.rows) + 1);
    EXPECT_EQ(csv.substr(0, csv.find('\n')), kCsvHeader);
}

// 40 frames each. In the combined case a frame hit by several faults counts once, under
// the first stage that rejects it (marker before record).
INSTANTIATE_TEST_SUITE_P(
    Faults, GeneratedClipCounters,
    testing::Values(
        CounterCase{"Drive", {"--frames", "40"}, {40, 0, 0, 40}},
        CounterCase{"BadMarker", {"--frames", "40", "--bad-marker", "4"}, {40, 10, 0, 30}},
        CounterCase{"BadRecord", {"--frames", "40", "--bad-record", "5"}, {40, 0, 8, 32}},
        CounterCase{"NoSeq", {"--frames", "40", "--no-seq", "3"}, {40, 0, 13, 27}},
        CounterCase{"OtherSei", {"--frames", "40", "--other-sei", "2"}, {40, 0, 0, 40}},
        CounterCase{"Faststart", {"--frames", "40", "--faststart"}, {40, 0, 0, 40}},
        CounterCase{"Fast", {"--frames", "40", "--fast"}, {40, 0, 0, 40}},
        CounterCase{"Combined",
                    {"--frames", "40", "--bad-marker", "4", "--bad-record", "6", "--no-seq", "10",
                     "--other-sei", "3"},
                    {40, 10, 4, 26}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GeneratedClip, DriveRowsFollowTheFramesInOrder) {
    const std::string clip = testclips::makeTempDir() + "/drive.mp4";
    testclips::generate(clip, {"--frames", "25", "--fps", "25"});
    std::string csv;
    ASSERT_EQ(testclips::runExtractor({clip}, &csv), 0);
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line);
    for (int frame = 0; std::getline(lines, line); ++frame) {
        std::vector<std::string> cells;
        std::istringstream row(line);
        for (std::string cell; std::getline(row, cell, ',');)
            cells.push_back(cell);
        ASSERT_EQ(cells.size(), 16u) << line;
        EXPECT_EQ(cells[2], std::to_string(frame));
        for (const std::string& cell : cells)
            EXPECT_FALSE(cell.empty()) << "every field is present: " << line;
    }
}

TEST(GeneratedClip, FaststartCarriesTheSameTelemetry) {
    const std::string dir = testclips::makeTempDir();
    testclips::generate(dir + "/end.mp4", {"--frames", "30", "--seed", "7"});
    testclips::generate(dir + "/start.mp4", {"--frames", "30", "--seed", "7", "--faststart"});
    std::string atEnd, atStart, reportEnd, reportStart;
    ASSERT_EQ(testclips::runExtractor({"--report", dir + "/end.mp4"}, &atEnd, &reportEnd), 0);
    ASSERT_EQ(testclips::runExtractor({"--report", dir + "/start.mp4"}, &atStart, &reportStart), 0);
    EXPECT_EQ(atStart, atEnd);
    // With the movie header first, the media data starts after it.
    EXPECT_GT(parseReport(reportStart)["mdat_offset"], parseReport(reportEnd)["mdat_offset"]);
}

TEST(GeneratedClip, WithoutTelemetryGivesTheNotice) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--frames", "10", "--no-telemetry"},
          std::vector<std::string>{"--frames", "10", "--no-telemetry", "--other-sei", "1"}}) {
        const std::string clip = testclips::makeTempDir() + "/silent.mp4";
        testclips::generate(clip, args);
        std::string out, report;
        EXPECT_EQ(testclips::runExtractor({"--report", clip}, &out, &report), 3);
        EXPECT_EQ(out.rfind("No SEI metadata found. Requirements:", 0), 0u) << out;
        auto values = parseReport(report);
        EXPECT_EQ(values["sei_nal_count"], 0);
        EXPECT_EQ(values["rows_decoded"], 0);
    }
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
    const std::string expected = csv.substr(0, csv.rfind('\n'));
    EXPECT_EQ(lineCount(out), lineCount(expected));
    EXPECT_EQ(out, expected);
    EXPECT_EQ(parseReport(report)["sei_decode_failures"], 1);
}

TEST(GeneratedClip, SimulatedDriveSurvivesARoundTrip) {
    const std::string dir = testclips::makeTempDir();
    testclips::generate(dir + "/drive.mp4", {"--frames", "120", "--seed", "3"});
    ASSERT_EQ(testclips::runExtractor({"-o", dir + "/drive.csv", dir + "/drive.mp4"}), 0);
    const std::string csv = testclips::readFile(dir + "/drive.csv");
    testclips::generate(dir + "/again.mp4", {"--from-csv", dir + "/drive.csv"});
    std::string again;
    ASSERT_EQ(testclips::runExtractor({dir + "/again.mp4"}, &again), 0);
    EXPECT_EQ(lineCount(again), 121u);
    EXPECT_EQ(again, csv);
}

std::string probeFrameCount(const std::string& clip) {
    const std::string command = "ffprobe -v error -count_frames -select_streams v:0 "
                                "-show_entries stream=nb_read_frames -of csv=p=0 '" +
                                clip + "' 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string out;
    char buffer[256];
    while (pipe && fgets(buffer, sizeof buffer, pipe.get()))
        out += buffer;
    return out;
}

TEST(GeneratedClip, StandardPlayerDecodesEveryFrame) {
    const std::vector<std::vector<std::string>> variants = {
        {"--frames", "48"},
        {"--frames", "48", "--faststart", "--size", "352x288", "--fps", "25"},
        {"--frames", "48", "--fast", "--bitrate", "800"},
        {"--frames", "48", "--other-sei", "2", "--bad-marker", "3", "--bad-record", "5"},
    };
    for (const auto& args : variants) {
        const std::string clip = testclips::makeTempDir() + "/play.mp4";
        testclips::generate(clip, args);
        // Silent at error level: the telemetry units are well-formed SEI to a player too.
        EXPECT_EQ(probeFrameCount(clip), "48\n") << args.back();
    }
}

} // namespace
