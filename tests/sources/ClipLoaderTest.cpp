// Single-clip loading against real clips and the real engine: messages and state of every
// outcome, the stale-result rule, drops, the pending external file and staged-copy upkeep.
#include "ClipSources.h"
#include "ContentView.h"
#include "MetadataOutcome.h"
#include "SourcesTestSupport.h"
#include "Staging.h"
#include "VideoPlayer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QtEndian>

#include <atomic>
#include <future>

#include "PendingExternalFile.h"

using namespace sourcestest;

namespace {

QByteArray be32(quint32 value) {
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

QByteArray atom(quint32 size, const char* type, const QByteArray& body = {}) {
    return be32(size) + QByteArray(type, 4) + body;
}

const QByteArray kFileType = atom(16, "ftyp", "isom" + be32(0));

struct BrokenClip {
    const char* name;
    QByteArray bytes;
    const char* message;
};

std::vector<BrokenClip> brokenClips() {
    QByteArray hugeSei =
        be32((1u << 20) + 1) + QByteArray("\x06\x05", 2) + QByteArray((1 << 20) - 1, '\0');
    return {
        {"zeros", QByteArray(32, '\0'), "not a supported MP4 container"},
        {"no-mdat", kFileType, "mdat atom not found"},
        {"short-header", atom(12, "ftyp", "isom") + atom(8, "free"), "invalid MP4 file header"},
        {"tiny-atom", kFileType + atom(4, "free"), "invalid MP4 atom size"},
        {"beyond", kFileType + atom(1000, "free"), "MP4 atom extends beyond file"},
        {"extended", kFileType + atom(1, "free", "1234"), "truncated extended atom size"},
        {"bad-block", kFileType + atom(12, "mdat", be32(0xFFFFFFFF)), "invalid video block size"},
        {"huge-sei", kFileType + atom(8 + quint32(hugeSei.size()), "mdat", hugeSei),
         "SEI block exceeds safety limit"},
    };
}

} // namespace

class ClipLoaderTest : public SourcesTest {
protected:
    bool loadAndWait(const QString& path) {
        if (!sources_->loadClip(fileUrl(path), false))
            return false;
        return waitFor([&] { return !view_->isExtracting(); });
    }
};

TEST_F(ClipLoaderTest, ClipWithTelemetryFillsTableAndPlayer) {
    const QString clip = makeClip(dir() + "/front.mp4");
    ASSERT_TRUE(sources_->loadClip(fileUrl(clip), false));
    // Until the result arrives: the extracting state.
    EXPECT_EQ(view_->status(), "Checking front.mp4");
    EXPECT_TRUE(view_->isExtracting());
    EXPECT_EQ(view_->extractorMessage(), "Extracting metadata...");
    EXPECT_EQ(view_->player()->currentItem(), VideoPlayer::kNoItem);
    EXPECT_EQ(view_->selectedFolderClipPath(), clip);
    EXPECT_EQ(view_->selectedFileName(), "front.mp4");
    EXPECT_TRUE(view_->stagedFileURL().toLocalFile().startsWith(Staging::stagingFolder() + "/"));

    ASSERT_TRUE(waitFor([&] { return !view_->isExtracting(); }));
    EXPECT_EQ(view_->status(), "Loaded front.mp4");
    EXPECT_FALSE(view_->rawCSV().isEmpty());
    EXPECT_EQ(view_->csvRowCount(), 20);
    EXPECT_FALSE(view_->extractorDebug().isEmpty());
    EXPECT_NE(view_->player()->currentItem(), VideoPlayer::kNoItem);
    EXPECT_EQ(view_->player()->currentSource(), view_->stagedFileURL());
    EXPECT_EQ(view_->statusFor(clip), ClipMetadataStatus::withMetadata);
    EXPECT_EQ(sources_->proposedExportFileName(), "front_sei.csv");
    EXPECT_NE(view_->player()->mediaPlayer()->playbackState(), QMediaPlayer::PlayingState);
}

TEST_F(ClipLoaderTest, ClipWithoutTelemetryLeavesPlayerAndCsvEmpty) {
    const QString clip = makeClip(dir() + "/parked.mp4", {"--no-telemetry"});
    ASSERT_TRUE(loadAndWait(clip));
    EXPECT_EQ(view_->status(), "Unsupported MP4: no Orvik SEI metadata");
    EXPECT_EQ(view_->extractorMessage(),
              "No supported Orvik SEI metadata found. Older or parked Orvik clips may lack it.");
    EXPECT_FALSE(view_->extractorDebug().isEmpty());
    EXPECT_TRUE(view_->rawCSV().isEmpty());
    EXPECT_EQ(view_->player()->currentItem(), VideoPlayer::kNoItem);
    EXPECT_EQ(view_->statusFor(clip), ClipMetadataStatus::noMetadata);

    // Export is unavailable: nothing is written, the status stays.
    sources_->exportCsv(fileUrl(dir() + "/out.csv"));
    EXPECT_FALSE(QFileInfo::exists(dir() + "/out.csv"));
    EXPECT_EQ(view_->status(), "Unsupported MP4: no Orvik SEI metadata");
}

TEST_F(ClipLoaderTest, EngineFailuresReachStatusAndMessage) {
    for (const BrokenClip& broken : brokenClips()) {
        const QString path = dir() + "/" + broken.name + ".mp4";
        writeBytes(path, broken.bytes);
        ASSERT_TRUE(loadAndWait(path)) << broken.name;
        EXPECT_EQ(view_->status(), QString("MP4 rejected: ") + broken.message) << broken.name;
        EXPECT_EQ(view_->extractorMessage(), broken.message) << broken.name;
        EXPECT_TRUE(view_->extractorDebug().isEmpty());
        EXPECT_EQ(view_->player()->currentItem(), VideoPlayer::kNoItem);
        EXPECT_EQ(view_->statusFor(path), ClipMetadataStatus::error) << broken.name;
    }
}

TEST_F(ClipLoaderTest, RejectedFilesChangeOnlyTheStatus) {
    const QString good = makeClip(dir() + "/good.mp4");
    ASSERT_TRUE(loadAndWait(good));
    const QUrl staged = view_->stagedFileURL();
    const VideoPlayer::ItemId item = view_->player()->currentItem();

    writeBytes(dir() + "/empty.mp4", "");
    {
        QFile oversized(dir() + "/oversized.mp4");
        ASSERT_TRUE(oversized.open(QIODevice::WriteOnly));
        ASSERT_TRUE(oversized.resize((qint64(1) << 30) + 1)); // sparse
    }
    for (const char* name : {"empty.mp4", "oversized.mp4", "missing.mp4", ""}) {
        EXPECT_FALSE(sources_->loadClip(fileUrl(dir() + "/" + name), false)) << name;
        EXPECT_EQ(view_->status(), "MP4 rejected: empty, oversized, or unreadable file");
    }

    // The staging folder cannot be made.
    QDir(Staging::stagingFolder()).removeRecursively();
    writeBytes(Staging::stagingFolder(), "not a folder");
    EXPECT_FALSE(sources_->loadClip(fileUrl(good), false));
    EXPECT_EQ(view_->status(), "Could not access dropped file");

    EXPECT_EQ(view_->stagedFileURL(), staged);
    EXPECT_EQ(view_->player()->currentItem(), item);
    EXPECT_EQ(view_->selectedFileName(), "good.mp4");
    EXPECT_EQ(view_->selectedFolderClipPath(), good);
    EXPECT_FALSE(view_->rawCSV().isEmpty());
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
    const QString slowCopy = view_->stagedFileURL().toLocalFile();
    ASSERT_TRUE(sources_->loadClip(fileUrl(quick), false));
    const bool quickApplied = waitFor([&] { return !view_->isExtracting(); });
    release.set_value();
    setBeforeExtractionHookForTesting({});
    ASSERT_TRUE(quickApplied);
    ASSERT_TRUE(QFileInfo::exists(slowCopy));

    QSignalSpy extracting(view_.get(), &ContentView::isExtractingChanged);
    QSignalSpy statuses(view_.get(), &ContentView::folderClipMetadataStatusChanged);
    QSignalSpy status(view_.get(), &ContentView::statusChanged);
    QSignalSpy csv(view_.get(), &ContentView::rawCSVChanged);
    // The superseded copy goes once its extraction has returned: the result has arrived.
    ASSERT_TRUE(waitFor([&] { return !QFileInfo::exists(slowCopy); }));
    EXPECT_EQ(extracting.count(), 0);
    EXPECT_EQ(statuses.count(), 0);
    EXPECT_EQ(status.count(), 0);
    EXPECT_EQ(csv.count(), 0);
    EXPECT_EQ(view_->status(), "Unsupported MP4: no Orvik SEI metadata");
    EXPECT_EQ(view_->statusFor(slow), ClipMetadataStatus::unknown);
    EXPECT_EQ(view_->statusFor(quick), ClipMetadataStatus::noMetadata);
    EXPECT_EQ(stagedCopies(),
              QStringList{QFileInfo(view_->stagedFileURL().toLocalFile()).fileName()});
}

TEST_F(ClipLoaderTest, StagedCopiesOfSupersededLoadsAreRemoved) {
    const QString a = makeClip(dir() + "/a.mp4");
    const QString b = makeClip(dir() + "/b.mp4");
    ASSERT_TRUE(loadAndWait(a));
    const QString aCopy = view_->stagedFileURL().toLocalFile();
    ASSERT_TRUE(loadAndWait(b));
    EXPECT_FALSE(QFileInfo::exists(aCopy));
    EXPECT_TRUE(QFileInfo::exists(view_->stagedFileURL().toLocalFile()));
    EXPECT_EQ(stagedCopies().size(), 1);
    // Loading the same file again makes a new copy and keeps the one on screen until then.
    const QString bCopy = view_->stagedFileURL().toLocalFile();
    ASSERT_TRUE(loadAndWait(b));
    EXPECT_NE(view_->stagedFileURL().toLocalFile(), bCopy);
}

TEST_F(ClipLoaderTest, DropsTakeTheFirstMp4InAnyCase) {
    const QString upper = makeClip(dir() + "/B.MP4");
    const QString lower = makeClip(dir() + "/c.mp4");
    writeBytes(dir() + "/a.txt", "text");
    EXPECT_TRUE(
        sources_->handleDroppedURLs({fileUrl(dir() + "/a.txt"), fileUrl(upper), fileUrl(lower)}));
    EXPECT_EQ(view_->selectedFileName(), "B.MP4");
    ASSERT_TRUE(waitFor([&] { return !view_->isExtracting(); }));

    const QString before = view_->selectedFileName();
    EXPECT_FALSE(sources_->handleDroppedURLs({fileUrl(dir() + "/a.mov")}));
    EXPECT_EQ(view_->status(), "Only .mp4 files are supported");
    EXPECT_EQ(view_->selectedFileName(), before);
    EXPECT_FALSE(view_->rawCSV().isEmpty());

    sources_->setDropTargeted(true);
    EXPECT_TRUE(view_->isDropTargeted());
    sources_->setDropTargeted(false);
    EXPECT_FALSE(view_->isDropTargeted());
}

TEST_F(ClipLoaderTest, PendingExternalFileIsLoadedOnce) {
    const QString clip = makeClip(dir() + "/handed.mp4");
    sources_->takePendingExternalFile();
    EXPECT_EQ(view_->selectedFileName(), "No file loaded");
    PendingExternalFile::set(fileUrl(clip));
    sources_->takePendingExternalFile();
    EXPECT_EQ(view_->selectedFileName(), "handed.mp4");
    EXPECT_EQ(PendingExternalFile::take(), std::nullopt);
    sources_->openClipPanelResult(QUrl()); // a cancelled panel
    EXPECT_EQ(view_->status(), "Checking handed.mp4");
}

TEST_F(ClipLoaderTest, ExportWritesRawCsvOrKeepsTheDestination) {
    ASSERT_TRUE(loadAndWait(makeClip(dir() + "/front.mp4")));
    const QString out = dir() + "/front_sei.csv";
    sources_->exportCsv(fileUrl(out));
    EXPECT_EQ(view_->status(), "CSV exported to front_sei.csv");
    QFile file(out);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), view_->rawCSV().toUtf8());

    // A destination whose folder is missing, and one that is a folder.
    writeBytes(dir() + "/taken.csv/inside.txt", "kept");
    for (const QString& destination : {dir() + "/none/x.csv", dir() + "/taken.csv"}) {
        view_->setStatus("before");
        sources_->exportCsv(fileUrl(destination));
        EXPECT_EQ(view_->status(), "Failed to export CSV");
    }
    EXPECT_FALSE(QFileInfo::exists(dir() + "/none"));
    QFile kept(dir() + "/taken.csv/inside.txt");
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "kept");
}
