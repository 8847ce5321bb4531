// A clip cut short in the studio: it fails as before, offers recovery, and the recovered rows
// fill the window (never the player) and go into the evidence bundle.
#include "DriveData.h"
#include "SourcesTestSupport.h"
#include "TelemetryReadout.h"
#include "VideoPlayer.h"

#include <QDir>
#include <QFile>

#include <functional>

using namespace sourcestest;

TEST_F(SourcesTest, RecoveredClipFillsTheTableAndItsEvidenceBundle) {
    const QByteArray whole = readBytes(makeClip(dir() + "/whole.mp4", {"--frames", "30"}));
    writeBytes(dir() + "/cut.mp4", whole.left(whole.size() / 2));
    ASSERT_TRUE(loadClip(dir() + "/cut.mp4"));
    EXPECT_EQ(view_->load()->status(), "MP4 rejected: MP4 atom extends beyond file");
    ASSERT_TRUE(view_->telemetry()->canRecoverTelemetry());

    sources_->recoverTelemetry();
    ASSERT_TRUE(waitFor(
        [&] { return !view_->load()->isExtracting() && view_->telemetry()->csvRowCount() > 0; }));
    const int rows = view_->telemetry()->csvRowCount();
    EXPECT_LT(rows, 30);
    EXPECT_EQ(view_->telemetry()->extractorRecoveryNote(),
              QString("Clip cut short: telemetry recovered from %1 frames; the video cannot be "
                      "played")
                  .arg(rows));
    EXPECT_FALSE(view_->telemetry()->canRecoverTelemetry());
    EXPECT_EQ(view_->player()->currentItem(), VideoPlayer::kNoItem);

    sources_->exportEvidence(fileUrl(dir() + "/out"));
    ASSERT_TRUE(waitFor([&] { return view_->load()->status().startsWith("Evidence written to"); }));
    EXPECT_TRUE(readBytes(dir() + "/out/cut_evidence/manifest.json")
                    .contains("\"rows\": " + QByteArray::number(rows) + ",\n"));

    // A second bundle never replaces the first, and the message says which folder is in the way.
    sources_->exportEvidence(fileUrl(dir() + "/out"));
    ASSERT_TRUE(
        waitFor([&] { return view_->load()->status().startsWith("Failed to export evidence"); }));
    EXPECT_EQ(view_->load()->status(),
              "Failed to export evidence: " + dir() + "/out/cut_evidence: already exists");
}

// The recovered rows are browsed on a clock of their own: timed by a clip of the same camera in
// the folder where there is one, else counted in rows, without events.
TEST_F(SourcesTest, RecoveredRowsAreBrowsedTimedByAClipOfTheSameCamera) {
    const QString folder = dir() + "/drive";
    const QByteArray whole = readBytes(
        makeClip(folder + "/2026-01-01_10-00-00-front.mp4", {"--frames", "40", "--fps", "20"}));
    makeClip(folder + "/2026-01-01_10-00-00-back.mp4", {"--frames", "40", "--fps", "10"});
    // Before it in name order, of the same camera but without telemetry: it times nothing.
    makeClip(folder + "/2026-01-01_09-59-00-front.mp4", {"--frames", "40", "--no-telemetry"});
    writeBytes(folder + "/2026-01-01_10-01-00-front.mp4", whole.left(whole.size() / 2));
    writeBytes(dir() + "/cut.mp4", whole.left(whole.size() / 2));
    for (const QString& cut : {folder + "/2026-01-01_10-01-00-front.mp4", dir() + "/cut.mp4"}) {
        SCOPED_TRACE(cut.toStdString());
        const bool timed = cut.startsWith(folder);
        ASSERT_TRUE(sources_->loadClip(fileUrl(cut), false));
        ASSERT_TRUE(waitFor([&] { return view_->telemetry()->canRecoverTelemetry(); }));
        sources_->recoverTelemetry();
        ASSERT_TRUE(waitFor([&] { return view_->clock()->recoveredRows() > 0; }));
        const int rows = view_->telemetry()->csvRowCount();
        EXPECT_EQ(std::pair(view_->clock()->recoveredRows(), view_->clock()->recoveredTimed()),
                  std::pair(rows, timed));
        EXPECT_NEAR(view_->clock()->playbackDuration(), timed ? rows / 20.0 : rows, 1e-9);
        EXPECT_TRUE(view_->drive()->hasData());
        EXPECT_TRUE(timed || view_->drive()->events().isEmpty());

        // Steps, seeks and the ends; the clock is the browsing's, not the empty player's.
        const struct {
            std::function<void()> move;
            int row;
        } moves[] = {
            {[&] { view_->clock()->stepRecoveredRow(1); }, 1},
            {[&] { view_->clock()->stepRecoveredRow(2); }, 3},
            {[&] { view_->clock()->refreshPlaybackClock(); }, 3},
            {[&] { view_->clock()->seekRecovered(view_->clock()->playbackDuration() / 2); },
             rows / 2},
            {[&] { view_->clock()->stepRecoveredRow(-rows); }, 0},
            {[&] { view_->clock()->stepRecoveredRow(rows); }, rows - 1},
        };
        for (const auto& step : moves) {
            step.move();
            EXPECT_EQ(view_->readout()->rowIndex(), step.row);
        }
    }
}
