#include "Exports.h"
#include "MovieDuration.h"
#include "TestClips.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>

namespace {

using exports::Format;

// Central European time with its daylight-saving rule, without the zone database.
constexpr const char* kZone = "CET-1CEST,M3.5.0,M10.5.0/3";

std::string row(const std::string& lat, const std::string& lon, const std::string& heading = "90.0",
                const std::string& speed = "4.0") {
    return "1,GEAR_DRIVE,7," + speed + ",0.0,0.0,False,False,False,IDLE," + lat + "," + lon + "," +
           heading + ",0.0,0.0,9.8";
}

std::string csvOf(const std::vector<std::string>& rows) {
    std::string csv = testclips::kCsvHeader;
    for (const std::string& r : rows)
        csv += "\n" + r;
    return csv;
}

std::string exported(Format format, const std::vector<std::string>& rows,
                     const char* name = "c.mp4", std::optional<double> duration = std::nullopt) {
    return exports::render(
        format,
        exports::clipTelemetry(analysis::TelemetryTable::fromCsv(csvOf(rows)), name, duration));
}

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

std::string shell(const std::string& command) {
    std::string out;
    testclips::runShell(command, &out);
    return out;
}

// Invalid fixes, repeats (also across 180 = -180), (0, 0), NaN, an exponent-sized latitude.
const std::vector<std::string> kMixedRows = {
    row("48.1", "11.5"),   row("48.1", "11.5"),
    row("0.0", "0.0"),     row("nan", "11.5"),
    row("91.0", "11.5"),   row("48.2", "180.0"),
    row("48.2", "-180.0"), row("1e-05", "5.0"),
    row("0.0", "7.0"),     row("48.3", "11.6", "90.0", "0.1"),
    row("48.4", "11.7"),   row("48.5", "")};

TEST(Export, PointSelectionNumbersAndGeometry) {
    struct Case {
        std::vector<std::string> rows;
        std::string geoJson, kml;
    };
    const Case cases[] = {
        {kMixedRows,
         R"("LineString","coordinates":[[11.5,48.1],[-180,48.2],[5,0.00001],[7,0],[11.6,48.3],)"
         R"([11.7,48.4]]},"properties":{"name":"c","start":null,"rows":12,"points":6}})",
         "11.5,48.1\n          -180,48.2\n          5,0.00001\n          7,0\n"},
        {{row("48.1", "11.5"), row("inf", "1.0")},
         R"("Point","coordinates":[11.5,48.1]},"properties":{"name":"c","start":null,"rows":2,)",
         "<Point><coordinates>11.5,48.1</coordinates></Point>"},
        {{row("0.0", "0.0")}, "", ""},
    };
    for (const Case& c : cases) {
        const std::string geoJson = exported(Format::GeoJson, c.rows),
                          kml = exported(Format::Kml, c.rows);
        EXPECT_EQ(count(geoJson, "Feature\""), c.geoJson.empty() ? 0u : 1u) << geoJson;
        EXPECT_NE(geoJson.find(c.geoJson), std::string::npos) << geoJson;
        EXPECT_EQ(count(kml, "<Placemark>"), c.kml.empty() ? 0u : 1u) << kml;
        EXPECT_NE(kml.find(c.kml), std::string::npos) << kml;
    }
}

TEST(Export, GpxCoursesAndTimesFromLocalNamesAcrossDaylightSaving) {
    ::setenv("TZ", kZone, 1);
    ::tzset();
    const std::vector<std::string> rows = {row("1.0", "1.0", "-90.0"), row("2.0", "1.0", "360.0"),
                                           row("3.0", "1.0", "725.5"), row("4.0", "1.0", "nan")};
    struct Case {
        const char* name;
        std::string first, last; // empty: no times
    };
    const Case cases[] = {
        {"2026-01-15_12-00-00-front.mp4", "2026-01-15T11:00:00.000Z", "2026-01-15T11:00:01.500Z"},
        {"2026-07-15_12-00-00-front.mp4", "2026-07-15T10:00:00.000Z", "2026-07-15T10:00:01.500Z"},
        // 02:00 local becomes 03:00 in between: the times carry on in UTC.
        {"2026-03-29_01-59-59-front.mp4", "2026-03-29T00:59:59.000Z", "2026-03-29T01:00:00.500Z"},
        {"clip.mp4", "", ""},
    };
    for (const Case& c : cases) {
        const std::string gpx = exported(Format::Gpx, rows, c.name, 2.0);
        EXPECT_EQ(count(gpx, "<time>"), c.first.empty() ? 0u : 4u) << c.name;
        for (const std::string& time : {c.first, c.last})
            EXPECT_TRUE(time.empty() || gpx.find("<time>" + time) != std::string::npos) << time;
        EXPECT_NE(gpx.find("<trk>\n    <name>" + std::filesystem::path(c.name).stem().string()),
                  std::string::npos);
    }
    const std::string gpx = exported(Format::Gpx, rows);
    EXPECT_TRUE(std::regex_search(gpx, std::regex("course>270<[^]*course>0<[^]*course>5.5<")));
    EXPECT_EQ(count(gpx, "<gpxtpx:course>"), 3u);
    EXPECT_EQ(count(gpx, "<gpxtpx:speed>4</gpxtpx:speed>"), 4u);
}

TEST(Export, JsonLinesTypes) {
    const std::string line = "18446744073709551615,7,3,nan,-inf,1e-05,True,False,True,,48.1,11.5,,"
                             "0.0,-0.0,9.8";
    const std::string fields =
        R"("version":18446744073709551615,"gear_state":"7","frame_seq_no":3,)"
        R"("vehicle_speed_mps":null,"accelerator_pedal_position":null,"steering_wheel_angle":1e-05,)"
        R"("blinker_on_left":true,"blinker_on_right":false,"brake_applied":true,"latitude_deg":48.1,)"
        R"("longitude_deg":11.5,"linear_acceleration_mps2_x":0.0,"linear_acceleration_mps2_y":-0.0,)"
        R"("linear_acceleration_mps2_z":9.8})";
    EXPECT_EQ(exported(Format::JsonLines, {line, line}, "c.mp4", 1.0),
              "{\"t\":0," + fields + "\n{\"t\":0.5," + fields + "\n");
    EXPECT_EQ(exported(Format::JsonLines, {line}), "{" + fields + "\n");
}

// The command line's files, read back by the readers other tools are built on.
TEST(Export, RealReadersSeeEveryPointWithItsTime) {
    ::setenv("TZ", kZone, 1);
    const std::string dir = testclips::makeTempDir();
    testclips::writeFile(dir + "/rows.csv", csvOf(kMixedRows) + "\n");
    const std::string clip = testclips::generate(dir + "/2026-03-29_01-59-58-front.mp4",
                                                 {"--fps", "4", "--from-csv", dir + "/rows.csv"});
    for (const char* format : {"gpx", "geojson", "kml", "jsonl", "csv"})
        ASSERT_EQ(testclips::runExtractor({"--format", format, "-d", dir + "/out", clip}), 0);
    const std::string name = dir + "/out/2026-03-29_01-59-58-front";
    for (const char* suffix : {".gpx", ".geojson", ".kml", ".jsonl", "_sei.csv"})
        EXPECT_TRUE(std::filesystem::exists(name + suffix)) << suffix;
    EXPECT_EQ(count(testclips::readFile(name + ".jsonl"), "\n"), kMixedRows.size());

    EXPECT_EQ(testclips::runShell("xmllint --noout " + name + ".gpx " + name + ".kml"), 0);
    // Six points from 00:59:58Z, 0.25 s apart by row; the stop at row 9 first, as a waypoint.
    // The readers print local times, so they are asked for UTC.
    const std::string times = shell("ogrinfo -ro -q " + name + ".gpx track_points");
    EXPECT_EQ(count(times, "POINT ("), 6u);
    EXPECT_EQ(count(times, "time (DateTime) = 2026/03/29 0"), 6u) << times;
    EXPECT_NE(times.find("00:59:59.250+00"), std::string::npos);
    EXPECT_EQ(count(shell("ogrinfo -ro -q " + name + ".gpx waypoints"), "name (String) = stop"),
              1u);
    for (const char* route : {".geojson", ".kml"}) {
        const std::string read = shell("ogrinfo -ro -q -al " + name + route);
        EXPECT_TRUE(std::regex_search(
            read,
            std::regex(R"(LINESTRING \(11.5 48.1,-180 48.2,[^,]+,7 0,11.6 48.3,11.7 48.4\))")))
            << read;
        EXPECT_NE(read.find("POINT (11.6 48.3)"), std::string::npos) << route;
    }
    const std::string track = shell("TZ=UTC gpsbabel -t -i gpx -f " + name + ".gpx -o unicsv -F -");
    EXPECT_EQ(count(track, ",2026/03/29,0"), 6u) << track;
    EXPECT_NE(track.find(",2026/03/29,01:00:00.500"), std::string::npos);
    EXPECT_EQ(count(shell("gpsbabel -t -i kml -f " + name + ".kml -o unicsv -F -"), "\n"), 6u + 1);
}

// A route of many pieces reaches standard output and a file whole and in order.
TEST(Export, LongRouteIsWrittenWholeEverywhere) {
    const std::string dir = testclips::makeTempDir();
    std::vector<std::string> rows;
    for (int i = 0; i < 2000; ++i)
        rows.push_back(row(std::to_string(48.0 + i * 1e-4), "11.5"));
    testclips::writeFile(dir + "/rows.csv", csvOf(rows) + "\n");
    const std::string clip = testclips::generate(dir + "/2026-03-14_08-15-00-front.mp4",
                                                 {"--fps", "36", "--from-csv", dir + "/rows.csv"});
    std::string csv, streamed;
    ASSERT_EQ(testclips::runExtractor({clip}, &csv), 0);
    csv.pop_back(); // the command line's line feed
    const std::string whole = exports::render(
        Format::Gpx, exports::clipTelemetry(analysis::TelemetryTable::fromCsv(csv),
                                            "2026-03-14_08-15-00-front.mp4",
                                            MetadataExtractor::movieDuration(clip)));
    ASSERT_GT(whole.size(), 4u * 64 * 1024);
    ASSERT_EQ(testclips::runExtractor({"--format", "gpx", clip}, &streamed), 0);
    EXPECT_TRUE(streamed == whole);
    ASSERT_EQ(testclips::runExtractor({"--format", "gpx", "-o", dir + "/route.gpx", clip}), 0);
    EXPECT_TRUE(testclips::readFile(dir + "/route.gpx") == whole);
}

TEST(Export, JoinedTripIsOneRouteInTripTime) {
    const std::string dir = testclips::makeTempDir();
    testclips::generate(dir + "/in", {"--moments", "2", "--seconds", "2", "--fps", "5", "--trip"});
    ASSERT_EQ(testclips::runExtractor(
                  {"--format", "jsonl", "-d", dir + "/out", "--join-trips", dir + "/in"}),
              0);
    const std::string lines = testclips::readFile(dir + "/out/2025-06-01_07-00-00_trip.jsonl");
    EXPECT_EQ(count(lines, "\n"), 20u);
    EXPECT_EQ(count(lines, "{\"t\":2.2,"), 1u) << lines;
}

} // namespace
