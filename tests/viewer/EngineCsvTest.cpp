// The CSV the engine extracts from a real generated clip: its column and gear names are the
// ones the route and the readout look for.
#include "ContentView.h"
#include "MetadataExtractor.h"
#include "TelemetryReadout.h"
#include "TestClips.h"

#include <gtest/gtest.h>

namespace {

TEST(EngineCsv, SimulatedDriveGivesARouteAndAGear) {
    const std::string clip =
        testclips::generate(testclips::makeTempDir() + "/clip.mp4", {"--frames", "90"});
    ContentView view;
    view.telemetry()->show(ClipTelemetry::Clip::fromCsv(
        QString::fromStdString(MetadataExtractor::extract(clip).text())));
    EXPECT_EQ(view.telemetry()->extractorMessage(), "Rows: 90");
    EXPECT_FALSE(view.telemetry()->routeCoordinates().isEmpty());
    EXPECT_TRUE(view.readout()->currentCoordinate().isValid());
    EXPECT_TRUE(QStringList({"P", "R", "N", "D"}).contains(view.readout()->gearLetter()));
}

} // namespace
