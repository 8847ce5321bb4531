// Ingestion of the CSV the engine extracts from real generated clips.
#include "ContentView.h"
#include "MetadataExtractor.h"
#include "TelemetryReadout.h"
#include "TestClips.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

constexpr const char* kHeader =
    "version,gear_state,frame_seq_no,vehicle_speed_mps,accelerator_pedal_position,"
    "steering_wheel_angle,blinker_on_left,blinker_on_right,brake_applied,navark_state,"
    "latitude_deg,longitude_deg,heading_deg,linear_acceleration_mps2_x,"
    "linear_acceleration_mps2_y,linear_acceleration_mps2_z";

QString extractClip(const std::vector<std::string>& args) {
    const std::string clip = testclips::makeTempDir() + "/clip.mp4";
    testclips::generate(clip, args);
    const MetadataExtractor::Output out = MetadataExtractor::extract(clip);
    EXPECT_TRUE(out.isSuccess()) << out.message();
    return QString::fromStdString(out.text());
}

TEST(EngineCsv, SimulatedDriveGivesOneRowPerFrameAndARoute) {
    ContentView view;
    view.ingestCsv(extractClip({"--frames", "90"}));
    EXPECT_EQ(view.csvHeaders().join(u','), QString::fromLatin1(kHeader));
    EXPECT_EQ(view.csvRowCount(), 90);
    EXPECT_EQ(view.extractorMessage(), "Rows: 90");
    for (qsizetype i = 0; i < view.csvRowCount(); ++i)
        ASSERT_EQ(view.csvRow(i).size(), 16) << i;
    EXPECT_FALSE(view.routeCoordinates().isEmpty());
    view.setPlaybackDuration(3);
    view.setPlaybackTime(1.5);
    EXPECT_EQ(view.currentRowIndex(), 45);
    EXPECT_TRUE(view.readout()->currentCoordinate().isValid());
    EXPECT_TRUE(view.readout()->hasRow());
}

TEST(EngineCsv, KnownRecordsReadBackThroughTheReadout) {
    const std::string csvPath = testclips::makeTempDir() + "/drive.csv";
    {
        std::ofstream csv(csvPath);
        csv << kHeader << "\n"
            << "1,GEAR_DRIVE,0,10.0,150.0,-12.5,True,False,True,FULL_GUIDE,37.5,-122.25,90.0,0.0,0."
               "0,9.8\n"
            << "1,GEAR_REVERSE,1,2.5,0.0,0.0,False,False,False,IDLE,37.5,-122.25,180.0,0.0,0.0,9."
               "8\n"
            << "1,GEAR_PARK,2,0.0,0.0,0.0,False,True,False,LANE_GUIDE,37.75,-122.5,270.0,0.0,0.0,9."
               "8\n";
    }
    ContentView view;
    view.setUseMilesPerHour(false);
    view.ingestCsv(extractClip({"--from-csv", csvPath}));
    ASSERT_EQ(view.csvRowCount(), 3);
    EXPECT_EQ(view.routeCoordinates(), (GeoCoordinateList{{37.5, -122.25}, {37.75, -122.5}}));

    view.setPlaybackDuration(3);
    const TelemetryReadout& r = *view.readout();
    EXPECT_EQ(r.gearLetter(), "D");
    EXPECT_EQ(r.speedText(), "36");
    EXPECT_EQ(r.metricCards()[0].toMap()["value"], "36.0 km/h");
    EXPECT_EQ(r.metricCards()[1].toMap()["value"], QString::fromUtf8("-12.5°"));
    EXPECT_EQ(r.pedalFraction(), 1.0);
    EXPECT_TRUE(r.brakeOn());
    EXPECT_EQ(r.assistBadgeText(), "NVG");
    EXPECT_EQ(r.currentHeading().toDouble(), 90.0);

    view.setPlaybackTime(1.2);
    EXPECT_EQ(r.gearLetter(), "R");
    EXPECT_FALSE(r.showsAssistBadge());
    view.setPlaybackTime(2.6);
    EXPECT_EQ(r.gearLetter(), "P");
    EXPECT_EQ(r.detailCells()[3].toMap()["arrowActive"], true);
    EXPECT_EQ(r.currentCoordinate().value<GeoCoordinate>(), (GeoCoordinate{37.75, -122.5}));
}

TEST(EngineCsv, ClipWithoutTelemetryShowsTheNoMetadataMessage) {
    ContentView view;
    view.ingestCsv("latitude_deg,longitude_deg\n1,2");
    view.ingestCsv(extractClip({"--frames", "10", "--no-telemetry"}));
    EXPECT_TRUE(view.extractorMessage().startsWith("No SEI metadata found. Orvik firmware"));
    EXPECT_EQ(view.csvRowCount(), 0);
    EXPECT_TRUE(view.routeCoordinates().isEmpty());
}

} // namespace
