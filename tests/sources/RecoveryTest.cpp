// A clip cut short in the studio: it fails as before, offers recovery, and the recovered rows
// fill the window (never the player) and go into the evidence bundle.
#include "SourcesTestSupport.h"
#include "VideoPlayer.h"

#include <QDir>
#include <QFile>

using namespace sourcestest;

TEST_F(SourcesTest, RecoveredClipFillsTheTableAndItsEvidenceBundle) {
    const QByteArray whole = readBytes(makeClip(dir() + "/whole.mp4", {"--frames", "30"}));
    writeBytes(dir() + "/cut.mp4", whole.left(whole.size() / 2));
    ASSERT_TRUE(sources_->loadClip(fileUrl(dir() + "/cut.mp4"), false));
    ASSERT_TRUE(waitFor([&] { return !view_->isExtracting(); }));
    EXPECT_EQ(view_->status(), "MP4 rejected: MP4 atom extends beyond file");
    ASSERT_TRUE(view_->canRecoverTelemetry());

    sources_->recoverTelemetry();
    ASSERT_TRUE(waitFor([&] { return !view_->isExtracting() && view_->csvRowCount() > 0; }));
    const int rows = view_->csvRowCount();
    EXPECT_LT(rows, 30);
    EXPECT_EQ(view_->extractorRecoveryNote(),
              QString("Clip cut short: telemetry recovered from %1 frames; the video cannot be "
                      "played")
                  .arg(rows));
    EXPECT_FALSE(view_->canRecoverTelemetry());
    EXPECT_EQ(view_->player()->currentItem(), VideoPlayer::kNoItem);

    sources_->exportEvidence(fileUrl(dir() + "/out"));
    ASSERT_TRUE(waitFor([&] { return view_->status().startsWith("Evidence written to"); }));
    EXPECT_TRUE(readBytes(dir() + "/out/cut_evidence/manifest.json")
                    .contains("\"rows\": " + QByteArray::number(rows) + ",\n"));

    // A second bundle never replaces the first, and the message says which folder is in the way.
    sources_->exportEvidence(fileUrl(dir() + "/out"));
    ASSERT_TRUE(waitFor([&] { return view_->status().startsWith("Failed to export evidence"); }));
    EXPECT_EQ(view_->status(),
              "Failed to export evidence: " + dir() + "/out/cut_evidence: already exists");
}
