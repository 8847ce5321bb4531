// Folder enumeration, sorting, the scan's writes, the filter and the header line.
#include "FolderBatch.h"

#include "ClipLoader.h"
#include "FileServices.h"
#include "FolderScan.h"
#include "LocalizedString.h"
#include "NaturalCompare.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace {

constexpr QChar kPathSeparator = u'/';

constexpr const char* kListingFolderStatus = "Listing folder...";
constexpr const char* kCouldNotOpenFolderStatus = "Could not open folder";
constexpr const char* kNoClipsStatus = "No MP4 clips in folder";
constexpr const char* kFolderLoadedStatus = "Folder loaded (%n clips)";
constexpr const char* kScanProgress = "scan %d/%d";
constexpr const char* kHeaderPosition = " • Clip %d/%d";
constexpr const char* kHeaderVisible = " • visible: %d/%d";
constexpr const char* kHeaderWithFolder = "%@: %n clips%@ • Metadata: %d%@";
constexpr const char* kHeaderWithoutFolder = "%n clips%@ • Metadata: %d%@";

QString statusName(ClipMetadataStatus status) {
    switch (status) {
    case ClipMetadataStatus::withMetadata:
        return QStringLiteral("withMetadata");
    case ClipMetadataStatus::noMetadata:
        return QStringLiteral("noMetadata");
    case ClipMetadataStatus::error:
        return QStringLiteral("error");
    case ClipMetadataStatus::unknown:
        break;
    }
    return QStringLiteral("unknown");
}

} // namespace

FolderBatch::FolderBatch(ContentView& view, ClipLoader& loader, QObject* parent)
    : QObject(parent), view_(view), loader_(loader) {}

FolderBatch::~FolderBatch() = default;

void FolderBatch::loadFolder(const QUrl& folderUrl) {
    cancelFolderScan();
    view_.setSelectedFolderURL(folderUrl);
    view_.setSelectedFolderClipPath(QString());
    view_.setStatuses({});
    view_.setFolderClips({});
    view_.setStatus(localizedString(kListingFolderStatus));
    // A folder on slow media takes long to walk; the window stays responsive meanwhile.
    const int generation = ++listingGeneration_;
    const QUuid loadBefore = view_.fileLoadID();
    auto* watcher = new QFutureWatcher<std::optional<FolderListing>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this,
            [this, watcher, generation, folderUrl, loadBefore] {
                watcher->deleteLater();
                if (generation != listingGeneration_)
                    return;
                std::optional<FolderListing> listing = watcher->future().takeResult();
                emit folderListed(
                    applyListing(listing ? &*listing : nullptr, loadBefore == view_.fileLoadID()));
            });
    watcher->setFuture(QtConcurrent::run(listFolder, folderUrl));
}

std::optional<FolderBatch::FolderListing> FolderBatch::listFolder(const QUrl& folderUrl) {
    const std::optional<QList<QUrl>> entries = FileServices::enumerateDeep(folderUrl);
    if (!entries)
        return std::nullopt;
    struct Candidate {
        QUrl url;
        std::string name; // UTF-8, as the command line sees it
    };
    QList<Candidate> candidates;
    for (const QUrl& entry : *entries) {
        if (FileServices::isClipFile(entry))
            candidates.append({entry, relativeName(folderUrl, entry).toStdString()});
    }
    // The command line's order, so that both list a folder alike under any locale.
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
        return MetadataExtractor::naturalLess(a.name, b.name);
    });
    FolderListing listing;
    listing.clips.reserve(candidates.size());
    for (const Candidate& candidate : candidates) {
        listing.clips.append(candidate.url);
        listing.statuses.insert(FileServices::fullPath(candidate.url), ClipMetadataStatus::unknown);
    }
    return listing;
}

bool FolderBatch::applyListing(const FolderListing* listing, bool loadFirstClip) {
    if (!listing) {
        view_.setStatus(localizedString(kCouldNotOpenFolderStatus));
        return false;
    }
    const QList<QUrl>& clips = listing->clips;
    view_.setFolderClips(clips);
    view_.setStatuses(listing->statuses);
    if (clips.isEmpty()) {
        view_.setStatus(localizedString(kNoClipsStatus));
        return false;
    }
    view_.setStatus(localizedCount(kFolderLoadedStatus, int(clips.size())));
    startFolderMetadataScan(clips);
    // A clip opened while the folder was listed stays.
    return loadFirstClip;
}

QString FolderBatch::relativeClipName(const QUrl& clipUrl) const {
    return relativeName(view_.selectedFolderURL(), clipUrl);
}

QString FolderBatch::relativeName(const QUrl& folder, const QUrl& clipUrl) {
    if (folder.isEmpty())
        return FileServices::lastPathComponent(clipUrl);
    QString root = FileServices::fullPath(folder);
    if (!root.endsWith(kPathSeparator))
        root += kPathSeparator;
    const QString path = FileServices::fullPath(clipUrl);
    if (path.startsWith(root))
        return path.mid(root.size());
    return FileServices::lastPathComponent(clipUrl);
}

void FolderBatch::startFolderMetadataScan(const QList<QUrl>& clips) {
    if (clips.isEmpty())
        return;
    view_.setIsScanningFolderMetadata(true);
    view_.setFolderScanProgress(localizedString(kScanProgress, 0, int(clips.size())));
    auto* scan = new FolderScan(clips, this);
    connect(scan, &FolderScan::clipScanned, this,
            [this, scan](const QString& path, ClipMetadataStatus status, int scanned) {
                onClipScanned(scan, path, status, scanned);
            });
    connect(scan, &FolderScan::finished, this, [this, scan] { onScanFinished(scan); });
    // A running predecessor deletes itself when its last extraction returns.
    if (currentScan_ && currentScan_->isFinished())
        currentScan_->deleteLater();
    currentScan_ = scan;
    view_.setFolderScanTask(scan);
    scan->start();
}

void FolderBatch::onClipScanned(FolderScan* scan, const QString& path, ClipMetadataStatus status,
                                int scanned) {
    if (scan != currentScan_)
        return;
    view_.setStatus(path, status);
    view_.setFolderScanProgress(localizedString(kScanProgress, scanned, scan->clipCount()));
}

void FolderBatch::onScanFinished(FolderScan* scan) {
    if (scan != currentScan_) {
        scan->deleteLater();
        return;
    }
    // The finished scan stays as the folder's scan task until the next folder replaces it.
    view_.setIsScanningFolderMetadata(false);
}

void FolderBatch::cancelFolderScan() {
    FolderScan* scan = currentScan_;
    if (!scan)
        return;
    scan->cancel();
}

QList<QUrl> FolderBatch::visibleFolderClips() const {
    const QList<QUrl> clips = view_.folderClips();
    if (!view_.showOnlyMetadataClips())
        return clips;
    QList<QUrl> visible;
    for (const QUrl& clip : clips) {
        if (view_.statusFor(FileServices::fullPath(clip)) == ClipMetadataStatus::withMetadata)
            visible.append(clip);
    }
    return visible;
}

QString FolderBatch::batchHeaderText() const {
    const QList<QUrl> clips = view_.folderClips();
    const int total = int(clips.size());
    const QString selected = view_.selectedFolderClipPath();
    int metadata = 0;
    int selectedIndex = -1;
    for (int i = 0; i < total; ++i) {
        const QString path = FileServices::fullPath(clips[i]);
        if (view_.statusFor(path) == ClipMetadataStatus::withMetadata)
            ++metadata;
        if (selectedIndex < 0 && !selected.isNull() && path == selected)
            selectedIndex = i;
    }
    const QString position =
        selectedIndex < 0 ? QString() : localizedString(kHeaderPosition, selectedIndex + 1, total);
    const QString visible =
        view_.showOnlyMetadataClips()
            ? localizedString(kHeaderVisible, int(visibleFolderClips().size()), total)
            : QString();
    const QUrl folder = view_.selectedFolderURL();
    if (!folder.isEmpty())
        return localizedCount(kHeaderWithFolder, total, FileServices::lastPathComponent(folder),
                              position, metadata, visible);
    return localizedCount(kHeaderWithoutFolder, total, position, metadata, visible);
}

QList<BatchClipListModel::Row> FolderBatch::visibleRows() const {
    const QString selected = view_.selectedFolderClipPath();
    QList<BatchClipListModel::Row> rows;
    for (const QUrl& clip : visibleFolderClips()) {
        const QString path = FileServices::fullPath(clip);
        rows.append({path, relativeClipName(clip), statusName(view_.statusFor(path)),
                     !selected.isNull() && path == selected});
    }
    return rows;
}

QUrl FolderBatch::folderClip(const QString& path) const {
    for (const QUrl& clip : view_.folderClips()) {
        if (FileServices::fullPath(clip) == path)
            return clip;
    }
    return {};
}
