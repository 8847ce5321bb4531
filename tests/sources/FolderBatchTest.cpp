// Folder batches: the scan with its progress, filter and header, a second folder during a scan,
// and the batch advance over clips that fail. Order and exclusions: tools/NaturalOrderTest.cpp.
#include "FolderScan.h"
#include "SourcesTestSupport.h"

#include <QDir>
#include <QPointer>
#include <QSignalSpy>

using namespace sourcestest;

class FolderBatchTest : public SourcesTest {
protected:
    QStringList rowNames() const {
        QStringList names;
        for (const auto& row : sources_->visibleFolderClips()->rows())
            names.append(row.name);
        return names;
    }
};

TEST_F(FolderBatchTest, FilterAndHeaderFollowTheScan) {
    const QString root = dir() + "/Mixed";
    makeClip(root + "/1.MP4");
    makeClip(root + "/2.mp4", {"--no-telemetry"});
    makeClip(root + "/sub/3.mp4");
    sources_->batch()->setShowOnlyMetadataClips(true);

    // While the scan runs, the visible part grows with the clips marked withMetadata only.
    QStringList progress;
    QObject::connect(sources_->batch(), &FolderBatch::folderScanProgressChanged, view_.get(),
                     [&] { progress.append(sources_->batch()->folderScanProgress()); });
    // The first clip loads once the folder is known to hold no trips.
    ASSERT_TRUE(loadFolder(root));
    EXPECT_EQ(view_->load()->status(), "Checking 1.MP4");
    ASSERT_TRUE(idle());
    EXPECT_EQ(progress, QStringList({"scan 0/3", "scan 1/3", "scan 2/3", "scan 3/3"}));
    ASSERT_TRUE(waitFor([&] { return rowNames() == QStringList({"1.MP4", "sub/3.mp4"}); }));
    EXPECT_EQ(sources_->batchHeaderText(),
              "Mixed: 3 clips • Clip 1/3 • Metadata: 2 • visible: 2/3");
    const auto row = sources_->visibleFolderClips()->rows()[0];
    EXPECT_EQ(std::pair(row.isSelected, row.status), std::pair(true, QString("withMetadata")));

    sources_->batch()->setShowOnlyMetadataClips(false);
    ASSERT_TRUE(waitFor([&] { return rowNames().size() == 3; }));
    EXPECT_EQ(sources_->visibleFolderClips()->rows()[1].status, "noMetadata");
    EXPECT_EQ(sources_->batchHeaderText(), "Mixed: 3 clips • Clip 1/3 • Metadata: 2");
}

TEST_F(FolderBatchTest, ASecondFolderOwnsTheScanAlone) {
    const QString first = dir() + "/first";
    const QString second = dir() + "/second";
    // The first scan is busy with a slow clip when the second folder arrives.
    makeClip(first + "/0.mp4", {"--fast", "--frames", "20000"});
    for (int i = 1; i <= 4; ++i)
        makeClip(first + QString("/%1.mp4").arg(i));
    makeClip(second + "/a.mp4", {"--fast", "--frames", "6000"});
    makeClip(second + "/b.mp4");

    QList<QPair<bool, QString>> scanningChanges;
    QObject::connect(sources_->batch(), &FolderBatch::isScanningFolderMetadataChanged, view_.get(),
                     [&] {
                         scanningChanges.append({sources_->batch()->isScanningFolderMetadata(),
                                                 sources_->batch()->folderScanProgress()});
                     });
    ASSERT_TRUE(loadFolder(first));
    QPointer<QObject> firstScan = sources_->batch()->folderScanTask();
    ASSERT_TRUE(firstScan);
    ASSERT_TRUE(loadFolder(second));
    EXPECT_NE(sources_->batch()->folderScanTask(), firstScan.data());

    ASSERT_TRUE(idle());
    // The first scan's in-flight result is dropped and the scan object goes away.
    ASSERT_TRUE(waitFor([&] { return firstScan.isNull(); }));
    for (const QString& path : sources_->batch()->folderClipMetadataStatusMap().keys())
        EXPECT_TRUE(path.startsWith(second + "/")) << path.toStdString();
    EXPECT_EQ(sources_->batchHeaderText(), "second: 2 clips • Clip 1/2 • Metadata: 2");
    // Scanning went off only once, when the second scan ended.
    EXPECT_EQ(std::ranges::count_if(scanningChanges, [](const auto& c) { return !c.first; }), 1);
    EXPECT_EQ(scanningChanges.value(scanningChanges.size() - 1),
              qMakePair(false, QString("scan 2/2")));
}

TEST_F(FolderBatchTest, CancelledScanStopsBeforeTheNextClip) {
    const QString root = dir() + "/many";
    for (int i = 0; i < 5; ++i)
        makeClip(root + QString("/%1.mp4").arg(i));
    // Cancelled as soon as it starts, before any clip's outcome.
    const auto cancel = QObject::connect(sources_->batch(), &FolderBatch::folderScanTaskChanged,
                                         sources_.get(), &ClipSources::cancelFolderScan);
    ASSERT_TRUE(loadFolder(root));
    QObject::disconnect(cancel);
    ASSERT_TRUE(idle());
    EXPECT_EQ(sources_->batch()->folderScanProgress(), "scan 0/5");
    // Only the loaded clip carries an outcome.
    EXPECT_EQ(std::pair(sources_->batch()->statusFor(root + "/0.mp4"),
                        sources_->batch()->statusFor(root + "/1.mp4")),
              std::pair(ClipMetadataStatus::withMetadata, ClipMetadataStatus::unknown));
}

// A click loads exactly its row and stays there whatever the outcome; a clip without telemetry
// plays its video. Only the advance at a clip's end passes over clips that fail or carry nothing.
TEST_F(FolderBatchTest, AClickStaysOnItsRowAndOnlyAClipsEndPassesOverFailures) {
    const QString root = dir() + "/batch";
    const std::vector<std::string> brief{"--frames", "8", "--fps", "20"};
    makeClip(root + "/1.mp4", brief);
    const QByteArray whole = readBytes(makeClip(dir() + "/whole.mp4", {"--frames", "30"}));
    writeBytes(root + "/2.mp4", whole.left(whole.size() / 2));
    makeClip(root + "/3.mp4", {"--no-telemetry", "--frames", "8", "--fps", "20"});
    writeBytes(root + "/4.mp4", QByteArray(64, 'x'));
    writeBytes(root + "/5.mp4", ""); // fails the size check during the advance
    makeClip(root + "/10.mp4", brief);
    ASSERT_TRUE(loadFolder(root));
    ASSERT_TRUE(idle());
    EXPECT_EQ(view_->load()->status(), "Loaded 1.mp4");

    struct Click {
        const char* name;
        const char* status;
        bool recoverable;
        bool playable;
    };
    for (const Click& click :
         {Click{"2.mp4", "MP4 rejected: MP4 atom extends beyond file", true, false},
          Click{"3.mp4", "Unsupported MP4: no Orvik SEI metadata", false, true},
          Click{"4.mp4", "MP4 rejected: not a supported MP4 container", false, false},
          Click{"10.mp4", "Loaded 10.mp4", false, true}}) {
        sources_->selectFolderClip(root + "/" + click.name);
        ASSERT_TRUE(idle());
        // Long enough for a wrongly started advance to show.
        waitFor([] { return false; }, 300);
        EXPECT_EQ(std::tuple(view_->load()->status(), view_->load()->selectedFolderClipPath(),
                             view_->telemetry()->canRecoverTelemetry(),
                             view_->player()->currentItem() != VideoPlayer::kNoItem),
                  std::tuple(QString(click.status), root + "/" + click.name, click.recoverable,
                             click.playable))
            << click.name;
    }
    EXPECT_EQ(view_->telemetry()->csvRowCount(), 8);
    sources_->selectFolderClip(root + "/3.mp4");
    ASSERT_TRUE(idle());
    EXPECT_EQ(std::pair(view_->telemetry()->csvRowCount(), view_->telemetry()->extractorMessage()),
              std::pair(0, QString("No supported Orvik SEI metadata found. Older or parked "
                                   "Orvik clips may lack it.")));

    sources_->selectFolderClip(root + "/1.mp4");
    ASSERT_TRUE(idle());
    QStringList statuses;
    QObject::connect(view_->load(), &LoadStatus::statusChanged, view_.get(),
                     [&] { statuses.append(view_->load()->status()); });
    view_->player()->play();
    ASSERT_TRUE(waitFor([&] { return view_->load()->status() == "Loaded 10.mp4"; }))
        << view_->load()->status().toStdString();
    EXPECT_EQ(statuses,
              QStringList({"Checking 2.mp4", "Batch clip 2/6: 2.mp4",
                           "MP4 rejected: MP4 atom extends beyond file", "Checking 3.mp4",
                           "Batch clip 3/6: 3.mp4", "Unsupported MP4: no Orvik SEI metadata",
                           "Checking 4.mp4", "Batch clip 4/6: 4.mp4",
                           "MP4 rejected: not a supported MP4 container",
                           "MP4 rejected: empty, oversized, or unreadable file", "Checking 10.mp4",
                           "Batch clip 6/6: 10.mp4", "Loaded 10.mp4"}));
    EXPECT_EQ(view_->load()->selectedFolderClipPath(), root + "/10.mp4");
    EXPECT_EQ(view_->player()->mediaPlayer()->playbackState(), QMediaPlayer::PlayingState);
}

TEST_F(FolderBatchTest, TheLastClipEndsTheBatchAndABatchOfOneNeverAdvances) {
    for (const QString& name : {QString("ending"), QString("one")}) {
        const QString root = dir() + "/" + name;
        makeClip(root + "/1.mp4", {"--no-telemetry"});
        if (name == "ending")
            makeClip(root + "/0.mp4");
        ASSERT_TRUE(loadFolder(root));
        ASSERT_TRUE(idle());
        sources_->selectFolderClip(root + "/1.mp4");
        ASSERT_TRUE(idle());
        // The clip without telemetry plays to its end.
        QSignalSpy ended(view_->player(), &VideoPlayer::itemDidPlayToEnd);
        view_->player()->play();
        ASSERT_TRUE(waitFor([&] { return ended.count() == 1; }));
        EXPECT_EQ(view_->load()->status(), name == "ending"
                                               ? "Batch playback complete (2 clips)"
                                               : "Unsupported MP4: no Orvik SEI metadata");
    }
    EXPECT_EQ(sources_->batchHeaderText(), "one: 1 clips • Clip 1/1 • Metadata: 0");
}

TEST_F(FolderBatchTest, EmptyAndMissingFolders) {
    const QString clip = makeClip(dir() + "/shown.mp4");
    ASSERT_TRUE(loadClip(clip));

    QDir().mkpath(dir() + "/empty/sub");
    writeBytes(dir() + "/empty/.hidden.mp4", "x");
    ASSERT_TRUE(loadFolder(dir() + "/empty"));
    EXPECT_EQ(std::tuple(view_->load()->status(), sources_->batch()->folderClips().size(),
                         sources_->batch()->isScanningFolderMetadata(),
                         view_->load()->selectedFileName()),
              std::tuple("No MP4 clips in folder", 0, false, "shown.mp4"));
    EXPECT_FALSE(view_->telemetry()->rawCSV().isEmpty());

    ASSERT_TRUE(loadFolder(dir() + "/missing"));
    EXPECT_EQ(std::tuple(view_->load()->status(), sources_->batch()->folderClips().size(),
                         sources_->batch()->selectedFolderURL(),
                         view_->load()->selectedFolderClipPath().isNull()),
              std::tuple("Could not open folder", 0, fileUrl(dir() + "/missing"), true));
}

TEST_F(FolderBatchTest, OnlyTheNewestListingShowsAndAClipOpenedMeanwhileStays) {
    makeClip(dir() + "/a/1.mp4");
    makeClip(dir() + "/b/2.mp4");
    const QString single = makeClip(dir() + "/single.mp4");

    sources_->loadFolder(fileUrl(dir() + "/a"));
    ASSERT_TRUE(loadFolder(dir() + "/b"));
    EXPECT_EQ(sources_->batch()->folderClips(), QList<QUrl>({fileUrl(dir() + "/b/2.mp4")}));
    ASSERT_TRUE(idle());

    QSignalSpy listed(sources_.get(), &ClipSources::folderListed);
    sources_->loadFolder(fileUrl(dir() + "/a"));
    ASSERT_TRUE(sources_->loadClip(fileUrl(single), false));
    ASSERT_TRUE(listed.wait());
    ASSERT_TRUE(idle());
    EXPECT_EQ(std::tuple(sources_->batch()->folderClips().size(), view_->load()->selectedFileName(),
                         listed.size()),
              std::tuple(1, "single.mp4", 1));
}
