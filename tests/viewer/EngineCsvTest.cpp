// Ingestion of the CSV the engine extracts from real generated clips.
#include "ContentView.h"
#include "MetadataExtractor.h"
#include "TelemetryReadout.h"
#include "TestClips.h"

#include <gtest/gtest.h>

namespace {

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
    EXPECT_EQ(view.csvHeaders().join(u','), QString::fromStdString(testclips::kCsvHeader));
    EXPECT_EQ(view.extractorMessage(), "Rows: 90");
    for (qsizetype i = 0; i < view.csvRowCount(); ++i)
        ASSERT_EQ(view.csvRow(i).size(), 16) << i;
    EXPECT_FALSE(view.routeCoordinates().isEmpty());
    view.setPlaybackDuration(3);
    view.setPlaybackTime(1.5);
    EXPECT_EQ(view.currentRowIndex(), 45);
    EXPECT_TRUE(view.readout()->currentCoordinate().isValid());
}

TEST(EngineCsv, KnownRecordsReadBackThroughTheReadout) {
    const std::string csvPath = testclips::makeTempDir() + "/drive.csv";
    testclips::writeFile(csvPath,
                         testclips::kCsvHeader +
                             "\n1,GEAR_DRIVE,0,10.0,150.0,-12.5,True,False,True,FULL_GUIDE,"
                             "37.5,-122.25,90.0,0.0,0.0,9.8\n"
                             "1,GEAR_PARK,1,0.0,0.0,0.0,False,True,False,IDLE,37.75,"
                             "-122.5,270.0,0.0,0.0,9.8\n");
    ContentView view;
    view.setUseMilesPerHour(false);
    view.ingestCsv(extractClip({"--from-csv", csvPath}));
    ASSERT_EQ(view.csvRowCount(), 2);
    EXPECT_EQ(view.routeCoordinates(), (GeoCoordinateList{{37.5, -122.25}, {37.75, -122.5}}));
    view.setPlaybackDuration(2);
    const TelemetryReadout& r = *view.readout();
    EXPECT_EQ(r.gearLetter() + r.speedText() + r.assistBadgeText(), "D36NVG");
    EXPECT_EQ(r.metricCards()[1].toMap()["value"], QString::fromUtf8("-12.5°"));
    EXPECT_TRUE(r.brakeOn());
    view.setPlaybackTime(1.5);
    EXPECT_EQ(r.gearLetter(), "P");
    EXPECT_EQ(r.detailCells()[3].toMap()["arrowActive"], true);
    EXPECT_EQ(r.currentHeading().toDouble(), 270.0);
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
