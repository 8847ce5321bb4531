// Single-clip loading and the batch advance.
#include "ClipLoader.h"

#include "ExtractError.h"
#include "FileServices.h"
#include "LocalizedString.h"
#include "MetadataOutcome.h"
#include "PendingExternalFile.h"
#include "RecoveredTiming.h"
#include "Staging.h"

#include <QFileInfo>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

namespace {

constexpr const char* kRejectedSizeStatus = "MP4 rejected: empty, oversized, or unreadable file";
constexpr const char* kMissingStatus = "Could not open %@: no such file";
constexpr const char* kStagingFailedStatus = "Could not access dropped file";
constexpr const char* kStagingRefusedStatus =
    "The staging folder is a link or belongs to another user; clips are not copied there";
constexpr const char* kCopyingMessage = "Copying clip... %d%%";
constexpr const char* kCheckingStatus = "Checking %@";
constexpr const char* kExtractingMessage = "Extracting metadata...";
constexpr const char* kRejectedStatus = "MP4 rejected: %@";
constexpr const char* kLoadedStatus = "Loaded %@";
constexpr const char* kRecoveredStatus = "Recovered telemetry of %@";
constexpr const char* kNoMetadataMessage =
    "No supported Orvik SEI metadata found. Older or parked Orvik clips may lack it.";
constexpr const char* kNoMetadataStatus = "Unsupported MP4: no Orvik SEI metadata";
constexpr const char* kOnlyMp4Status = "Only .mp4 files are supported";
constexpr const char* kBatchCompleteStatus = "Batch playback complete (%n clips)";
constexpr const char* kBatchClipStatus = "Batch clip %d/%d: %@";

// A batch of one clip never advances.
constexpr qsizetype kMinClipsToAdvance = 2;
// How often the copy's percentage is shown while a clip is being staged.
constexpr int kCopyProgressIntervalMs = 100;

} // namespace

ClipLoader::ClipLoader(ContentView& view, QObject* parent) : QObject(parent), view_(view) {
    connect(view_.player(), &VideoPlayer::itemDidPlayToEnd, this, &ClipLoader::handlePlaybackEnded);
    copyProgressTimer_.setInterval(kCopyProgressIntervalMs);
    connect(&copyProgressTimer_, &QTimer::timeout, this, &ClipLoader::showCopyProgress);
}

ClipLoader::~ClipLoader() {
    // Nothing of a clip stays in the cache once its window is gone. A copy still running
    // removes what it wrote when it sees the cancel.
    if (copyJob_)
        copyJob_->cancelled = true;
    for (const QUrl& copy : std::as_const(stagedCopiesInUse_))
        Staging::removeStagedCopy(copy);
    Staging::removeStagedCopy(view_.stagedFileURL());
}

bool ClipLoader::loadClip(const QUrl& fileUrl, bool autoPlay, bool advancing) {
    // Security-scoped access has no counterpart here: nothing to take or give back.
    const std::optional<qint64> size = FileServices::fileSize(fileUrl);
    if (!size && !QFileInfo::exists(FileServices::fullPath(fileUrl)) &&
        !FileServices::lastPathComponent(fileUrl).isEmpty()) {
        view_.setStatus(localizedString(kMissingStatus, FileServices::lastPathComponent(fileUrl)));
        return false;
    }
    if (!size || *size < kMinClipBytes || *size > kMaxClipBytes) {
        view_.setStatus(localizedString(kRejectedSizeStatus));
        return false;
    }
    bool refused = false;
    const std::optional<QUrl> staged = Staging::reserveCopy(&refused);
    if (!staged) {
        view_.setStatus(localizedString(refused ? kStagingRefusedStatus : kStagingFailedStatus));
        return false;
    }
    view_.setSelectedFolderClipPath(FileServices::fullPath(fileUrl));
    copyInBackground(
        fileUrl, beginLoad(*staged, FileServices::lastPathComponent(fileUrl), autoPlay, advancing));
    return true;
}

ClipLoader::LoadContext ClipLoader::beginLoad(const QUrl& stagedFileURL, const QString& displayName,
                                              bool autoPlay, bool advancing) {
    LoadContext context;
    context.clipPath = view_.selectedFolderClipPath();
    context.inFolder = isInFolder(context.clipPath);
    context.fileLoadID = view_.renewFileLoadID();
    context.stagedFileURL = stagedFileURL;
    context.displayName = displayName;
    context.autoPlay = autoPlay;
    context.advancing = advancing && context.inFolder;

    const QUrl supersededCopy = view_.stagedFileURL();
    view_.setStagedFileURL(stagedFileURL);
    view_.setSelectedFileName(displayName);
    view_.setStatus(localizedString(kCheckingStatus, displayName));
    view_.player()->pause();
    view_.player()->clearCurrentItem();
    view_.clearMetadataTable();
    view_.setRawCSV(QString());
    view_.setExtractorDebug(QString());
    view_.setIsExtracting(true);
    recoverable_.reset();
    view_.setCanRecoverTelemetry(false);

    // The player has let go of the previous copy; its copy or extraction may still run.
    if (!supersededCopy.isEmpty() && supersededCopy != stagedFileURL)
        releaseStagedCopy(supersededCopy);
    return context;
}

void ClipLoader::copyInBackground(const QUrl& fileUrl, const LoadContext& context) {
    // A clip on slow media takes long to copy; an outdated copy stops instead of finishing.
    if (copyJob_)
        copyJob_->cancelled = true;
    auto job = std::make_shared<CopyJob>();
    copyJob_ = job;
    stagedCopiesInUse_.insert(context.stagedFileURL);
    shownCopyPercent_ = -1;
    showCopyProgress();
    copyProgressTimer_.start();

    auto* watcher = new QFutureWatcher<bool>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, job, context] {
        const bool copied = watcher->result();
        watcher->deleteLater();
        if (copyJob_ == job) {
            // The last chunk's percentage, however quick the copy was.
            showCopyProgress();
            copyJob_.reset();
            copyProgressTimer_.stop();
        }
        finishCopy(copied, context);
    });
    watcher->setFuture(QtConcurrent::run([fileUrl, copy = context.stagedFileURL, job] {
        return Staging::copyClip(
            fileUrl, copy, [&job](int percent) { job->percent = percent; }, job->cancelled);
    }));
}

void ClipLoader::showCopyProgress() {
    const int percent = copyJob_ ? copyJob_->percent.load() : 0;
    if (percent == shownCopyPercent_)
        return;
    shownCopyPercent_ = percent;
    view_.setExtractorMessage(localizedString(kCopyingMessage, percent));
}

void ClipLoader::finishCopy(bool copied, const LoadContext& context) {
    if (view_.fileLoadID() != context.fileLoadID) {
        stagedCopiesInUse_.remove(context.stagedFileURL);
        releaseStagedCopy(context.stagedFileURL);
        return;
    }
    if (!copied) {
        stagedCopiesInUse_.remove(context.stagedFileURL);
        view_.setIsExtracting(false);
        view_.setExtractorMessage(localizedString(kStagingFailedStatus));
        view_.setStatus(localizedString(kStagingFailedStatus));
        if (context.advancing)
            advanceBatch(context.autoPlay);
        return;
    }
    view_.setExtractorMessage(localizedString(kExtractingMessage));
    extractInBackground(this, FileServices::fullPath(context.stagedFileURL),
                        [this, context](const MetadataExtractor::Output& output) {
                            stagedCopiesInUse_.remove(context.stagedFileURL);
                            applyExtractionResult(output, context);
                        });
}

bool ClipLoader::takeResult(const LoadContext& context) {
    if (view_.fileLoadID() != context.fileLoadID) {
        releaseStagedCopy(context.stagedFileURL);
        return false;
    }
    view_.setIsExtracting(false);
    return true;
}

void ClipLoader::recoverTelemetry() {
    if (!recoverable_ || recoverable_->fileLoadID != view_.fileLoadID())
        return;
    const LoadContext context = *recoverable_;
    recoverable_.reset();
    view_.setCanRecoverTelemetry(false);
    view_.setIsExtracting(true);
    view_.setExtractorMessage(localizedString(kExtractingMessage));
    stagedCopiesInUse_.insert(context.stagedFileURL);
    extractInBackground(
        this, FileServices::fullPath(context.stagedFileURL),
        [this, context](const MetadataExtractor::Output& output) {
            stagedCopiesInUse_.remove(context.stagedFileURL);
            applyRecovery(output, context);
        },
        true);
}

// The clip keeps its error status: only its telemetry is whole, never its video. Its rows are
// browsed on a clock of their own, timed by a clip of the same camera where there is one.
void ClipLoader::applyRecovery(const MetadataExtractor::Output& output,
                               const LoadContext& context) {
    if (view_.fileLoadID() != context.fileLoadID) {
        takeResult(context);
        return;
    }
    auto* watcher = new QFutureWatcher<std::optional<double>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, output, context] {
        const std::optional<double> secondsPerRow = watcher->result();
        watcher->deleteLater();
        if (!takeResult(context))
            return;
        const QString text = QString::fromStdString(output.text());
        if (!output.isSuccess() || !csvHasMetadata(text)) {
            view_.setExtractorMessage(
                output.isSuccess() ? localizedString(kNoMetadataMessage)
                                   : localizedString(QString::fromStdString(output.message())));
            return;
        }
        view_.setExtractorMessage(QString());
        view_.setExtractorDebug(QString::fromStdString(output.report()));
        view_.setRawCSV(text);
        view_.ingestCsv(text);
        view_.browseRecoveredRows(secondsPerRow);
        view_.setStatus(localizedString(kRecoveredStatus, context.displayName));
    });
    watcher->setFuture(QtConcurrent::run(RecoveredTiming::secondsPerRowNear, context.clipPath));
}

void ClipLoader::applyExtractionResult(const MetadataExtractor::Output& output,
                                       const LoadContext& context) {
    if (!takeResult(context))
        return;

    if (!output.isSuccess()) {
        const QString message = QString::fromStdString(output.message());
        view_.setExtractorMessage(localizedString(message));
        view_.setExtractorDebug(QString());
        view_.setStatus(localizedString(kRejectedStatus, message));
        if (keepsStatus(context))
            view_.setStatus(context.clipPath, ClipMetadataStatus::error);
        if (output.message() == MetadataExtractor::messages::kAtomBeyondFile) {
            recoverable_ = context;
            view_.setCanRecoverTelemetry(true);
        }
        if (context.advancing)
            advanceBatch(context.autoPlay);
        return;
    }

    const QString text = QString::fromStdString(output.text());
    const bool hasMetadata = csvHasMetadata(text);
    view_.setExtractorDebug(QString::fromStdString(output.report()));
    if (hasMetadata) {
        view_.setRawCSV(text);
        view_.ingestCsv(text);
        view_.player()->replaceCurrentItem(context.stagedFileURL);
        view_.setStatus(localizedString(kLoadedStatus, context.displayName));
        if (context.autoPlay)
            view_.player()->play();
    } else {
        view_.setExtractorMessage(localizedString(kNoMetadataMessage));
        view_.setStatus(localizedString(kNoMetadataStatus));
    }
    if (keepsStatus(context))
        view_.setStatus(context.clipPath, hasMetadata ? ClipMetadataStatus::withMetadata
                                                      : ClipMetadataStatus::noMetadata);
    if (hasMetadata)
        return;
    if (context.advancing) {
        advanceBatch(context.autoPlay);
        return;
    }
    // A clip the user chose plays its video, with an empty readout and the notice.
    view_.player()->replaceCurrentItem(context.stagedFileURL);
    if (context.autoPlay)
        view_.player()->play();
}

bool ClipLoader::handleDroppedURLs(const QList<QUrl>& urls) {
    for (const QUrl& url : urls) {
        if (FileServices::isClipFile(url))
            return loadClip(url, false);
    }
    view_.setStatus(localizedString(kOnlyMp4Status));
    return false;
}

void ClipLoader::setDropTargeted(bool targeted) {
    view_.setIsDropTargeted(targeted);
}

void ClipLoader::openClipPanelResult(const QUrl& fileUrl) {
    if (!fileUrl.isEmpty())
        loadClip(fileUrl, false);
}

void ClipLoader::takePendingExternalFile() {
    if (const std::optional<QUrl> file = PendingExternalFile::take())
        loadClip(*file, false);
}

void ClipLoader::advanceBatch(bool autoPlay) {
    // Each rejected clip moves the selection on by one, so this ends within the batch.
    for (;;) {
        const QList<QUrl> clips = view_.folderClips();
        if (clips.size() < kMinClipsToAdvance)
            return;
        const QString current = view_.selectedFolderClipPath();
        if (current.isNull())
            return;
        qsizetype index = -1;
        for (qsizetype i = 0; i < clips.size() && index < 0; ++i) {
            if (FileServices::fullPath(clips[i]) == current)
                index = i;
        }
        if (index < 0)
            return;
        if (index + 1 >= clips.size()) {
            view_.setStatus(localizedCount(kBatchCompleteStatus, int(clips.size())));
            return;
        }
        const QUrl next = clips[index + 1];
        if (loadClip(next, autoPlay, true)) {
            view_.setStatus(localizedString(kBatchClipStatus, int(index + 2), int(clips.size()),
                                            FileServices::lastPathComponent(next)));
            return;
        }
        view_.setSelectedFolderClipPath(FileServices::fullPath(next));
    }
}

void ClipLoader::handlePlaybackEnded(VideoPlayer::ItemId endedItem) {
    if (endedItem != VideoPlayer::kNoItem && endedItem == view_.player()->currentItem())
        advanceBatch(true);
}

bool ClipLoader::keepsStatus(const LoadContext& context) const {
    // A folder chosen since keeps no status of the last one's clips.
    return !context.clipPath.isNull() && (!context.inFolder || isInFolder(context.clipPath));
}

bool ClipLoader::isInFolder(const QString& clipPath) const {
    if (clipPath.isNull())
        return false;
    for (const QUrl& clip : view_.folderClips()) {
        if (FileServices::fullPath(clip) == clipPath)
            return true;
    }
    return false;
}

void ClipLoader::releaseStagedCopy(const QUrl& stagedFileURL) {
    if (stagedCopiesInUse_.contains(stagedFileURL) || stagedFileURL == view_.stagedFileURL())
        return;
    Staging::removeStagedCopy(stagedFileURL);
}
