// Single-clip loading against real clips and the real engine: messages and state of every
// outcome, the copy off the GUI thread, the stale-result rule and staged-copy upkeep; drops
// are the window tests' and the pending external file the shell's real hand-over test.
#include "MetadataOutcome.h"
#include "SourcesTestSupport.h"
#include "Staging.h"
#include "VideoPlayer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QThreadPool>

#include <atomic>
#include <future>

using namespace sourcestest;

class ClipLoaderTest : public SourcesTest {};

TEST_F(ClipLoaderTest, RejectedFilesChangeOnlyTheStatus) {
    const QString good = makeClip(dir() + "/good.mp4");
    ASSERT_TRUE(loadClip(good));
    const QUrl staged = view_->load()->stagedFileURL();
    const VideoPlayer::ItemId item = view_->player()->currentItem();

    writeBytes(dir() + "/empty.mp4", "");
    writeBytes(dir() + "/oversized.mp4", "");
    ASSERT_TRUE(QFile::resize(dir() + "/oversized.mp4", (qint64(1) << 30) + 1)); // sparse
    for (const char* name : {"empty.mp4", "oversized.mp4", "missing.mp4", ""}) {
        EXPECT_FALSE(sources_->loadClip(fileUrl(dir() + "/" + name), false)) << name;
        EXPECT_EQ(view_->load()->status(),
                  QString(name) == "missing.mp4"
                      ? "Could not open missing.mp4: no such file"
                      : "MP4 rejected: empty, oversized, or unreadable file");
    }

    // The staging folder cannot be made, or is not this user's own.
    QDir(staging::stagingFolder()).removeRecursively();
    writeBytes(staging::stagingFolder(), "not a folder");
    EXPECT_FALSE(sources_->loadClip(fileUrl(good), false));
    EXPECT_EQ(view_->load()->status(), "Could not access dropped file");
    QFile::remove(staging::stagingFolder());
    ASSERT_TRUE(QFile::link(dir(), staging::stagingFolder()));
    EXPECT_FALSE(sources_->loadClip(fileUrl(good), false));
    EXPECT_EQ(view_->load()->status(), "The staging folder is a link or belongs to another user; "
                                       "clips are not copied there");

    EXPECT_EQ(std::tuple(view_->load()->stagedFileURL(), view_->player()->currentItem(),
                         view_->load()->selectedFileName(),
                         view_->load()->selectedFolderClipPath()),
              std::tuple(staged, item, "good.mp4", good));
    EXPECT_FALSE(view_->telemetry()->rawCSV().isEmpty());
}

TEST_F(ClipLoaderTest, OnlyTheNewestOfTwoLoadsApplies) {
    // The first extraction is held back until the second has been applied.
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<int> extractions{0};
    setBeforeExtractionHookForTesting([&](const QString&) {
        if (extractions++ == 0)
            released.wait();
    });
    const QString slow = makeClip(dir() + "/slow.mp4");
    const QString quick = makeClip(dir() + "/quick.mp4", {"--no-telemetry"});
    ASSERT_TRUE(sources_->loadClip(fileUrl(slow), false));
    const QString slowCopy = view_->load()->stagedFileURL().toLocalFile();
    ASSERT_TRUE(waitFor([&] { return extractions == 1; }));
    ASSERT_TRUE(sources_->loadClip(fileUrl(quick), false));
    const bool quickApplied = waitFor([&] { return !view_->load()->isExtracting(); });
    release.set_value();
    setBeforeExtractionHookForTesting({});
    ASSERT_TRUE(quickApplied);
    ASSERT_TRUE(QFileInfo::exists(slowCopy));

    QSignalSpy extracting(view_->load(), &LoadStatus::isExtractingChanged);
    QSignalSpy statuses(sources_->batch(), &FolderBatch::folderClipMetadataStatusChanged);
    QSignalSpy status(view_->load(), &LoadStatus::statusChanged);
    QSignalSpy csv(view_->telemetry(), &ClipTelemetry::rawCSVChanged);
    // The superseded copy goes once its extraction has returned: the result has arrived.
    ASSERT_TRUE(waitFor([&] { return !QFileInfo::exists(slowCopy); }));
    EXPECT_EQ(extracting.count() + statuses.count() + status.count() + csv.count(), 0);
    // The clip without telemetry plays its video, with the notice and no readout.
    EXPECT_EQ(std::tuple(view_->load()->status(), view_->telemetry()->extractorMessage(),
                         view_->telemetry()->rawCSV(), view_->player()->currentSource()),
              std::tuple("Unsupported MP4: no Orvik SEI metadata",
                         "No supported Orvik SEI metadata found. Older or parked Orvik clips may "
                         "lack it.",
                         "", view_->load()->stagedFileURL()));
    // Export is unavailable without telemetry: nothing is written.
    sources_->exportCsv(fileUrl(dir() + "/out.csv"));
    EXPECT_FALSE(QFileInfo::exists(dir() + "/out.csv"));
    EXPECT_EQ(std::pair(sources_->batch()->statusFor(slow), sources_->batch()->statusFor(quick)),
              std::pair(ClipMetadataStatus::unknown, ClipMetadataStatus::noMetadata));
    EXPECT_EQ(stagedCopies(),
              QStringList{QFileInfo(view_->load()->stagedFileURL().toLocalFile()).fileName()});
}

TEST_F(ClipLoaderTest, CopiesRunOffTheGuiThreadAndOnlyTheNewestFillsTableAndPlayer) {
    const QString first = makeClip(dir() + "/first.mp4");
    const QString second = makeClip(dir() + "/second.mp4");
    // With every pool thread held, no copy can run until the loads have returned.
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    QThreadPool* pool = QThreadPool::globalInstance();
    for (int i = 0; i < pool->maxThreadCount(); ++i)
        pool->start([released] { released.wait(); });
    QStringList messages;
    QObject::connect(view_->telemetry(), &ClipTelemetry::extractorMessageChanged, view_.get(),
                     [&] { messages.append(view_->telemetry()->extractorMessage()); });
    ASSERT_TRUE(sources_->loadClip(fileUrl(first), false));
    ASSERT_TRUE(sources_->loadClip(fileUrl(second), false));
    // Until the result arrives: the extracting state.
    EXPECT_EQ(std::tuple(view_->load()->status(), view_->load()->isExtracting(),
                         view_->telemetry()->extractorMessage(), view_->player()->currentItem(),
                         view_->load()->selectedFolderClipPath()),
              std::tuple("Checking second.mp4", true, "Copying clip... 0%", VideoPlayer::kNoItem,
                         second));
    EXPECT_TRUE(stagedCopies().isEmpty());
    release.set_value();

    ASSERT_TRUE(waitFor([&] { return view_->load()->status() == "Loaded second.mp4"; }));
    EXPECT_EQ(view_->telemetry()->csvRowCount(), 20);
    EXPECT_FALSE(view_->telemetry()->extractorDebug().isEmpty());
    EXPECT_EQ(view_->player()->currentSource(), view_->load()->stagedFileURL());
    EXPECT_NE(view_->player()->mediaPlayer()->playbackState(), QMediaPlayer::PlayingState);
    EXPECT_EQ(sources_->proposedExportFileName(), "second_sei.csv");
    EXPECT_EQ(std::pair(sources_->batch()->statusFor(second), sources_->batch()->statusFor(first)),
              std::pair(ClipMetadataStatus::withMetadata, ClipMetadataStatus::unknown));
    EXPECT_EQ(messages.mid(0, 3), QStringList({"Copying clip... 0%", "Copying clip... 100%",
                                               "Extracting metadata..."}));
    EXPECT_EQ(stagedCopies(),
              QStringList{QFileInfo(view_->load()->stagedFileURL().toLocalFile()).fileName()});
    // A copy nothing uses any more goes as soon as a newer load starts.
    const QString shown = view_->load()->stagedFileURL().toLocalFile();
    ASSERT_TRUE(sources_->loadClip(fileUrl(first), false));
    EXPECT_FALSE(QFileInfo::exists(shown));
}

TEST_F(ClipLoaderTest, ExportWritesRawCsvOrKeepsTheDestination) {
    ASSERT_TRUE(loadClip(makeClip(dir() + "/front.mp4")));
    const QString out = dir() + "/front_sei.csv";
    sources_->exportCsv(fileUrl(out));
    EXPECT_EQ(view_->load()->status(), "CSV exported to front_sei.csv");
    EXPECT_EQ(readBytes(out), view_->telemetry()->rawCSV().toUtf8());

    // A destination whose folder is missing, and one that is a folder.
    writeBytes(dir() + "/taken.csv/inside.txt", "kept");
    for (const QString& destination : {dir() + "/none/x.csv", dir() + "/taken.csv"}) {
        view_->load()->setStatus("before");
        sources_->exportCsv(fileUrl(destination));
        EXPECT_EQ(view_->load()->status(), "Failed to export CSV");
    }
    EXPECT_FALSE(QFileInfo::exists(dir() + "/none"));
    EXPECT_EQ(readBytes(dir() + "/taken.csv/inside.txt"), "kept");
}
