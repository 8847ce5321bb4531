// The route: which rows make points, the collapse of repeats, and the map's current values.
#include "ContentView.h"
#include "DriveSeries.h"
#include "DrivingEvents.h"
#include "RoutePoints.h"
#include "RouteTrack.h"
#include "TestClips.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

GeoCoordinateList routeOf(const QString& csv) {
    ContentView view;
    view.telemetry()->show(ClipTelemetry::Clip::fromCsv(csv));
    return view.telemetry()->routeCoordinates();
}

TEST(BuildRoute, RowsThatMakePoints) {
    struct Case {
        const char* name;
        QString csv;
        GeoCoordinateList expected;
    };
    const Case cases[] = {
        {"collapsesConsecutiveRepeatsOnly",
         "latitude_deg,longitude_deg\n1,2\n1,2\n1,3\n1,2",
         {{1, 2}, {1, 3}, {1, 2}}},
        {"outOfRangeDropped",
         "latitude_deg,longitude_deg\n95,10\n10,200\n90,-180\n-90.0,180",
         {{90, -180}, {-90, 180}}},
        {"shortRowDropped", "latitude_deg,longitude_deg\n5\n6,7", {{6, 7}}},
        {"nanAndInfinityDropped",
         "latitude_deg,longitude_deg\nnan,1\n1,nan\ninf,1\n2,-inf\n3,3",
         {{3, 3}}},
        // What a receiver without a fix writes; either number zero alone is a fix.
        {"zeroZeroDropped", "latitude_deg,longitude_deg\n0,0\n0.0,-0.0\n0,1\n-0.0,0", {{0, 1}}},
        {"firstDuplicateColumnUsed", "longitude_deg,latitude_deg,latitude_deg\n1,2,3", {{2, 1}}},
        {"missingColumn", "latitude_deg,lon\n1,2", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(routeOf(c.csv), c.expected) << c.name;
}

// The map's route, the exported route and the rows the timeline places the car by are the same
// points: fixes at (0, 0), rows without a fix, out of range and repeated positions alike.
TEST(BuildRoute, MapExportsAndTimelineAgreeOnThePoints) {
    std::string csv = testclips::kCsvHeader;
    for (const char* position : {"48,11", "0,0", ",", "48,11", "48.5,11", "95,11", "-0.0,0",
                                 "48.5,11.25", "nan,11", "48.5,11.25", "0,11.5"})
        csv += std::string("\n1,,0,5,,,,,,,") + position + ",,,,";
    std::vector<std::pair<double, double>> map, exported, timeline;
    for (const GeoCoordinate& c : routeOf(QString::fromStdString(csv)))
        map.emplace_back(c.latitude, c.longitude);
    for (const exports::RoutePoint& p :
         exports::routeOf(exports::clipTelemetry(csv, "clip.mp4", 1.0)).points)
        exported.emplace_back(p.latitude, p.longitude);
    const auto rows = analysis::readDriveRows(csv);
    for (const std::size_t row : analysis::routeRows(analysis::driveSeries(rows, 1.0)))
        timeline.emplace_back(rows[row].latitude, rows[row].longitude);
    const std::vector<std::pair<double, double>> expected = {
        {48, 11}, {48.5, 11}, {48.5, 11.25}, {0, 11.5}};
    EXPECT_EQ(map, expected);
    EXPECT_EQ(exported, expected);
    EXPECT_EQ(timeline, expected);
}

TEST(RouteValues, CurrentCoordinateAndHeadingComeFromTheCurrentRow) {
    ContentView view;
    view.telemetry()->show(
        ClipTelemetry::Clip::fromCsv("latitude_deg,longitude_deg,heading_deg,heading_deg\n"
                                     "1,2,10,370\n"
                                     "95,2,,\n"
                                     "3,,5,-20\n"
                                     "4,5, 5,"));
    view.clock()->setPlaybackDuration(4);
    struct Case {
        double time;
        std::optional<GeoCoordinate> coordinate;
        std::optional<double> heading;
    };
    const Case cases[] = {{0.5, GeoCoordinate{1, 2}, 370.0}, // later duplicate, not normalised
                          {1.5, {}, {}},
                          {2.5, {}, -20.0},
                          {3.5, GeoCoordinate{4, 5}, {}}};
    for (const Case& c : cases) {
        view.clock()->setPlaybackTime(c.time);
        EXPECT_EQ(view.readout()->coordinate(), c.coordinate) << c.time;
        EXPECT_EQ(view.readout()->heading(), c.heading) << c.time;
    }
    // Progress is clamped, and absent without a duration.
    EXPECT_EQ(std::tuple(route::routeProgress(15, 10), route::routeProgress(-1, 10),
                         route::routeProgress(2.5, 10)),
              std::tuple(1.0, 0.0, 0.25));
    EXPECT_FALSE(route::routeProgress(5, std::numeric_limits<double>::quiet_NaN()));
    view.telemetry()->show(ClipTelemetry::Clip::fromCsv("latitude_deg,longitude_deg,heading_deg"));
    EXPECT_FALSE(view.readout()->coordinate() || view.readout()->heading());
}

} // namespace
