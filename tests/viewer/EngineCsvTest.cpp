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
    // The engine's gear names are the ones the readout turns into letters.
    EXPECT_TRUE(QStringList({"P", "R", "N", "D"}).contains(view.readout()->gearLetter()));
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
