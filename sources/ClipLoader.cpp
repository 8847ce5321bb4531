// Single-clip loading and the batch advance.
#include "ClipLoader.h"

#include "FileServices.h"
#include "FolderBatch.h"
#include "LocalizedString.h"
#include "MetadataOutcome.h"
#include "PendingExternalFile.h"
#include "RecoveredTiming.h"
#include "Staging.h"

#include <QFileInfo>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

namespace {

constexpr const char* kRejectedSizeStatus =
    QT_TRANSLATE_NOOP("Veldrin", "MP4 rejected: empty, oversized, or unreadable file");
constexpr const char* kMissingStatus =
    QT_TRANSLATE_NOOP("Veldrin", "Could not open %1: no such file");
constexpr const char* kStagingFailedStatus =
    QT_TRANSLATE_NOOP("Veldrin", "Could not access dropped file");
constexpr const char* kStagingRefusedStatus = QT_TRANSLATE_NOOP(
    "Veldrin",
    "The staging folder is a link or belongs to another user; clips are not copied there");
constexpr const char* kCopyingMessage = QT_TRANSLATE_NOOP("Veldrin", "Copying clip... %1%%");
constexpr const char* kCheckingStatus = QT_TRANSLATE_NOOP("Veldrin", "Checking %1");
constexpr const char* kExtractingMessage = QT_TRANSLATE_NOOP("Veldrin", "Extracting metadata...");
constexpr const char* kOnlyMp4Status =
    QT_TRANSLATE_NOOP("Veldrin", "Only .mp4 files are supported");
constexpr const char* kBatchCompleteStatus =
    QT_TRANSLATE_N_NOOP("Veldrin", "Batch playback complete (%n clips)");
constexpr const char* kBatchClipStatus = QT_TRANSLATE_NOOP("Veldrin", "Batch clip %1/%2: %3");

// A batch of one clip never advances.
constexpr qsizetype kMinClipsToAdvance = 2;
// How often the copy's percentage is shown while a clip is being staged.
constexpr int kCopyProgressIntervalMs = 100;

} // namespace

ClipLoader::ClipLoader(ContentView& view, FolderBatch& batch, QObject* parent)
    : QObject(parent), view_(view), load_(*view.load()), telemetry_(*view.telemetry()),
      batch_(batch) {
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
        staging::removeStagedCopy(copy);
    staging::removeStagedCopy(load_.stagedFileURL());
}

bool ClipLoader::loadClip(const QUrl& fileUrl, bool autoPlay, bool advancing) {
    // Security-scoped access has no counterpart here: nothing to take or give back.
    const std::optional<qint64> size = fileservices::fileSize(fileUrl);
    if (!size && !QFileInfo::exists(fileservices::fullPath(fileUrl)) &&
        !fileservices::lastPathComponent(fileUrl).isEmpty()) {
        load_.setStatus(localizedString(kMissingStatus, fileservices::lastPathComponent(fileUrl)));
        return false;
    }
    if (!size || *size < kMinClipBytes || *size > kMaxClipBytes) {
        load_.setStatus(localizedString(kRejectedSizeStatus));
        return false;
    }
    bool refused = false;
    const std::optional<QUrl> staged = staging::reserveCopy(&refused);
    if (!staged) {
        load_.setStatus(localizedString(refused ? kStagingRefusedStatus : kStagingFailedStatus));
        return false;
    }
    load_.setSelectedFolderClipPath(fileservices::fullPath(fileUrl));
    copyInBackground(
        fileUrl, beginLoad(*staged, fileservices::lastPathComponent(fileUrl), autoPlay, advancing));
    return true;
}

ClipLoader::LoadContext ClipLoader::beginLoad(const QUrl& stagedFileURL, const QString& displayName,
                                              bool autoPlay, bool advancing) {
    LoadContext context;
    context.clipPath = load_.selectedFolderClipPath();
    context.inFolder = isInFolder(context.clipPath);
    context.fileLoadID = load_.renewFileLoadID();
    context.stagedFileURL = stagedFileURL;
    context.displayName = displayName;
    context.autoPlay = autoPlay;
    context.advancing = advancing && context.inFolder;

    const QUrl supersededCopy = load_.stagedFileURL();
    load_.setStagedFileURL(stagedFileURL);
    load_.setSelectedFileName(displayName);
    load_.setStatus(localizedString(kCheckingStatus, displayName));
    view_.player()->pause();
    view_.player()->clearCurrentItem();
    telemetry_.clear();
    load_.setIsExtracting(true);
    recoverable_.reset();

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
        return staging::copyClip(
            fileUrl, copy, [&job](int percent) { job->percent = percent; }, job->cancelled);
    }));
}

void ClipLoader::showCopyProgress() {
    const int percent = copyJob_ ? copyJob_->percent.load() : 0;
    if (percent == shownCopyPercent_)
        return;
    shownCopyPercent_ = percent;
    telemetry_.setMessage(localizedString(kCopyingMessage, percent));
}

void ClipLoader::finishCopy(bool copied, const LoadContext& context) {
    if (load_.fileLoadID() != context.fileLoadID) {
        stagedCopiesInUse_.remove(context.stagedFileURL);
        releaseStagedCopy(context.stagedFileURL);
        return;
    }
    if (!copied) {
        stagedCopiesInUse_.remove(context.stagedFileURL);
        load_.setIsExtracting(false);
        telemetry_.setMessage(localizedString(kStagingFailedStatus));
        load_.setStatus(localizedString(kStagingFailedStatus));
        if (context.advancing)
            advanceBatch(context.autoPlay);
        return;
    }
    telemetry_.setMessage(localizedString(kExtractingMessage));
    extractInBackground(this, fileservices::fullPath(context.stagedFileURL),
                        [this, context](const MetadataExtractor::Output& output) {
                            stagedCopiesInUse_.remove(context.stagedFileURL);
                            applyExtractionResult(output, context);
                        });
}

bool ClipLoader::takeResult(const LoadContext& context) {
    if (load_.fileLoadID() != context.fileLoadID) {
        releaseStagedCopy(context.stagedFileURL);
        return false;
    }
    load_.setIsExtracting(false);
    return true;
}

void ClipLoader::recoverTelemetry() {
    if (!recoverable_ || recoverable_->fileLoadID != load_.fileLoadID())
        return;
    const LoadContext context = *recoverable_;
    recoverable_.reset();
    telemetry_.clear();
    load_.setIsExtracting(true);
    telemetry_.setMessage(localizedString(kExtractingMessage));
    stagedCopiesInUse_.insert(context.stagedFileURL);
    extractInBackground(
        this, fileservices::fullPath(context.stagedFileURL),
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
    if (load_.fileLoadID() != context.fileLoadID) {
        takeResult(context);
        return;
    }
    auto* watcher = new QFutureWatcher<std::optional<double>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, output, context] {
        const std::optional<double> secondsPerRow = watcher->result();
        watcher->deleteLater();
        if (!takeResult(context))
            return;
        const LoadOutcome outcome = recoveryOutcome(output, context);
        apply(outcome, context);
        if (outcome.telemetry.csv)
            view_.clock()->browseRows(telemetry_.csvRowCount(), secondsPerRow);
    });
    watcher->setFuture(QtConcurrent::run(recoveredtiming::secondsPerRowNear, context.clipPath));
}

void ClipLoader::applyExtractionResult(const MetadataExtractor::Output& output,
                                       const LoadContext& context) {
    if (takeResult(context))
        apply(loadOutcome(output, context, keepsStatus(context)), context);
}

void ClipLoader::apply(const LoadOutcome& outcome, const LoadContext& context) {
    telemetry_.show(outcome.telemetry);
    if (outcome.recoverable)
        recoverable_ = context;
    if (outcome.showVideo)
        view_.player()->replaceCurrentItem(context.stagedFileURL);
    if (!outcome.status.isNull())
        load_.setStatus(outcome.status);
    if (outcome.clipStatus)
        batch_.setClipStatus(context.clipPath, *outcome.clipStatus);
    if (outcome.showVideo && context.autoPlay)
        view_.player()->play();
    if (outcome.advance)
        advanceBatch(context.autoPlay);
}

bool ClipLoader::handleDroppedURLs(const QList<QUrl>& urls) {
    for (const QUrl& url : urls) {
        if (fileservices::isClipFile(url))
            return loadClip(url, false);
    }
    load_.setStatus(localizedString(kOnlyMp4Status));
    return false;
}

void ClipLoader::setDropTargeted(bool targeted) {
    load_.setIsDropTargeted(targeted);
}

void ClipLoader::openClipPanelResult(const QUrl& fileUrl) {
    if (!fileUrl.isEmpty())
        loadClip(fileUrl, false);
}

void ClipLoader::takePendingExternalFile() {
    if (const std::optional<QUrl> file = pendingexternalfile::take())
        loadClip(*file, false);
}

void ClipLoader::advanceBatch(bool autoPlay) {
    // Each rejected clip moves the selection on by one, so this ends within the batch.
    for (;;) {
        const QList<QUrl> clips = batch_.folderClips();
        if (clips.size() < kMinClipsToAdvance)
            return;
        const QString current = load_.selectedFolderClipPath();
        if (current.isNull())
            return;
        qsizetype index = -1;
        for (qsizetype i = 0; i < clips.size() && index < 0; ++i) {
            if (fileservices::fullPath(clips[i]) == current)
                index = i;
        }
        if (index < 0)
            return;
        if (index + 1 >= clips.size()) {
            load_.setStatus(localizedCount(kBatchCompleteStatus, int(clips.size())));
            return;
        }
        const QUrl next = clips[index + 1];
        if (loadClip(next, autoPlay, true)) {
            load_.setStatus(localizedString(kBatchClipStatus, int(index + 2), int(clips.size()),
                                            fileservices::lastPathComponent(next)));
            return;
        }
        load_.setSelectedFolderClipPath(fileservices::fullPath(next));
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
    return batch_.contains(clipPath);
}

void ClipLoader::releaseStagedCopy(const QUrl& stagedFileURL) {
    if (stagedCopiesInUse_.contains(stagedFileURL) || stagedFileURL == load_.stagedFileURL())
        return;
    staging::removeStagedCopy(stagedFileURL);
}
