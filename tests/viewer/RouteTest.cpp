// The route: which rows make points, the collapse of repeats, and the map's current values.
#include "ContentView.h"
#include "DriveData.h"
#include "MetadataExtractor.h"
#include "MovieDuration.h"
#include "RouteTrack.h"
#include "TelemetryReadout.h"
#include "TestClips.h"

#include <gtest/gtest.h>

#include <limits>
#include <regex>

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
        // One column per field, the later duplicate, as the readout reads it.
        {"laterDuplicateColumnUsed", "longitude_deg,latitude_deg,latitude_deg\n1,2,3", {{3, 1}}},
        {"missingColumn", "latitude_deg,lon\n1,2", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(routeOf(c.csv), c.expected) << c.name;
}

using Places = std::vector<std::pair<double, double>>;

// Every `lat="…" lon="…"` of the GPX elements named `element`, in order.
Places gpxPlaces(const std::string& gpx, const std::string& element) {
    Places places;
    const std::regex point("<" + element + R"re( lat="([^"]+)" lon="([^"]+)")re");
    for (auto it = std::sregex_iterator(gpx.begin(), gpx.end(), point);
         it != std::sregex_iterator(); ++it)
        places.emplace_back(std::stod((*it)[1]), std::stod((*it)[2]));
    return places;
}

// One real clip whose telemetry has (0, 0) fixes, rows without a fix and repeated points: the
// map's route, the timeline's route rows and the GPX track are the same points, and the map's
// event pins are the GPX waypoints, a stop on a row without a fix included. The engine's column
// and gear names are the ones the readout looks for.
TEST(BuildRoute, MapGpxAndEventsAgreeOnARealClip) {
    const std::string dir = testclips::makeTempDir();
    std::string csv = testclips::kCsvHeader;
    int sequence = 0;
    for (const char* positionAndSpeed :
         {"48.1,11.5,5", "48.1,11.5,5", "0.0,0.0,5", ",,5", "48.2,11.6,5", "48.2,11.6,0.1", ",,5",
          ",,0.1", "0.0,0.0,0.1", "-0.0,0.0,0.1", "48.3,11.7,0.1"}) {
        const std::string fields = positionAndSpeed;
        const std::size_t speedAt = fields.rfind(',') + 1;
        csv += "\n1,GEAR_DRIVE," + std::to_string(sequence++) + "," + fields.substr(speedAt) +
               ",0.0,0.0,False,False,False,IDLE," + fields.substr(0, speedAt) + "90.0,0.0,0.0,9.8";
    }
    testclips::writeFile(dir + "/rows.csv", csv + "\n");
    const std::string clip = testclips::generate(dir + "/2026-03-14_08-15-00-front.mp4",
                                                 {"--fps", "10", "--from-csv", dir + "/rows.csv"});
    std::string gpx;
    ASSERT_EQ(testclips::runExtractor({"--format", "gpx", clip}, &gpx), 0);

    ContentView view;
    view.telemetry()->show(ClipTelemetry::Clip::fromCsv(
        QString::fromStdString(MetadataExtractor::extract(clip).text())));
    view.clock()->setPlaybackDuration(MetadataExtractor::movieDuration(clip).value_or(0.0));
    const DriveData& drive = *view.telemetry()->drive();
    Places map, timeline, pins;
    for (const GeoCoordinate& c : view.telemetry()->routeCoordinates())
        map.emplace_back(c.latitude, c.longitude);
    for (const std::size_t row : drive.routeRows())
        timeline.emplace_back(drive.series().fix[row].latitude, drive.series().fix[row].longitude);
    for (const analysis::DrivingEvent& event : drive.drivingEvents())
        if (const std::optional<std::size_t> row = drive.eventRow(event))
            pins.emplace_back(drive.series().fix[*row].latitude,
                              drive.series().fix[*row].longitude);

    const Places expected = {{48.1, 11.5}, {48.2, 11.6}, {48.3, 11.7}};
    EXPECT_EQ(std::tuple(map, timeline, gpxPlaces(gpx, "trkpt")),
              std::tuple(expected, expected, expected));
    // A hard braking and two stops, the second on a row without a fix: where the car last was.
    EXPECT_EQ(drive.drivingEvents().size(), 3u);
    EXPECT_EQ(pins, Places(drive.drivingEvents().size(), {48.2, 11.6}));
    EXPECT_EQ(gpxPlaces(gpx, "wpt"), pins);
    EXPECT_EQ(
        std::pair(view.readout()->currentCoordinate().isValid(), view.readout()->gearLetter()),
        std::pair(true, QString("D")));
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
