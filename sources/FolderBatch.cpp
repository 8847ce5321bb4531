// Folder enumeration, sorting, the scan's writes, the filter and the header line.
#include "FolderBatch.h"

#include "FileServices.h"
#include "FolderScan.h"
#include "LoadStatus.h"
#include "LocalizedString.h"
#include "NaturalCompare.h"
#include "Settings.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace {

constexpr QChar kPathSeparator = u'/';

constexpr const char* kListingFolderStatus = QT_TRANSLATE_NOOP("Veldrin", "Listing folder...");
constexpr const char* kCouldNotOpenFolderStatus =
    QT_TRANSLATE_NOOP("Veldrin", "Could not open folder");
constexpr const char* kNoClipsStatus = QT_TRANSLATE_NOOP("Veldrin", "No MP4 clips in folder");
constexpr const char* kFolderLoadedStatus =
    QT_TRANSLATE_N_NOOP("Veldrin", "Folder loaded (%n clips)");
constexpr const char* kScanProgress = QT_TRANSLATE_NOOP("Veldrin", "scan %1/%2");
constexpr const char* kHeaderPosition = QT_TRANSLATE_NOOP("Veldrin", " • Clip %1/%2");
constexpr const char* kHeaderVisible = QT_TRANSLATE_NOOP("Veldrin", " • visible: %1/%2");
constexpr const char* kHeaderWithFolder =
    QT_TRANSLATE_N_NOOP("Veldrin", "%1: %n clips%2 • Metadata: %3%4");
constexpr const char* kHeaderWithoutFolder =
    QT_TRANSLATE_N_NOOP("Veldrin", "%n clips%1 • Metadata: %2%3");

} // namespace

QString FolderBatch::statusName(ClipMetadataStatus status) {
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

FolderBatch::FolderBatch(LoadStatus& load, QObject* parent) : QObject(parent), load_(load) {
    connect(Settings::instance(), &Settings::onlyWithMetadataChanged, this,
            &FolderBatch::showOnlyMetadataClipsChanged);
}

FolderBatch::~FolderBatch() = default;

void FolderBatch::loadFolder(const QUrl& folderUrl) {
    cancelFolderScan();
    setFolder(folderUrl, {}, {});
    load_.setSelectedFolderClipPath(QString());
    load_.setStatus(localizedString(kListingFolderStatus));
    // A folder on slow media takes long to walk; the window stays responsive meanwhile.
    const int generation = ++listingGeneration_;
    const QUuid loadBefore = load_.fileLoadID();
    auto* watcher = new QFutureWatcher<std::optional<FolderListing>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this,
            [this, watcher, generation, folderUrl, loadBefore] {
                watcher->deleteLater();
                if (generation != listingGeneration_)
                    return;
                std::optional<FolderListing> listing = watcher->future().takeResult();
                emit folderListed(
                    applyListing(listing ? &*listing : nullptr, loadBefore == load_.fileLoadID()));
            });
    watcher->setFuture(QtConcurrent::run(listFolder, folderUrl));
}

std::optional<FolderBatch::FolderListing> FolderBatch::listFolder(const QUrl& folderUrl) {
    const std::optional<QList<QUrl>> entries = fileservices::enumerateDeep(folderUrl);
    if (!entries)
        return std::nullopt;
    struct Candidate {
        QUrl url;
        std::string name; // UTF-8, as the command line sees it
    };
    QList<Candidate> candidates;
    for (const QUrl& entry : *entries) {
        if (fileservices::isClipFile(entry))
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
        listing.statuses.insert(fileservices::fullPath(candidate.url), ClipMetadataStatus::unknown);
    }
    return listing;
}

bool FolderBatch::applyListing(const FolderListing* listing, bool loadFirstClip) {
    if (!listing) {
        load_.setStatus(localizedString(kCouldNotOpenFolderStatus));
        return false;
    }
    const QList<QUrl>& clips = listing->clips;
    setFolder(selectedFolderURL_, clips, listing->statuses);
    if (clips.isEmpty()) {
        load_.setStatus(localizedString(kNoClipsStatus));
        return false;
    }
    load_.setStatus(localizedCount(kFolderLoadedStatus, int(clips.size())));
    startFolderMetadataScan(clips);
    // A clip opened while the folder was listed stays.
    return loadFirstClip;
}

QString FolderBatch::relativeClipName(const QUrl& clipUrl) const {
    return relativeName(selectedFolderURL_, clipUrl);
}

QString FolderBatch::relativeName(const QUrl& folder, const QUrl& clipUrl) {
    if (folder.isEmpty())
        return fileservices::lastPathComponent(clipUrl);
    QString root = fileservices::fullPath(folder);
    if (!root.endsWith(kPathSeparator))
        root += kPathSeparator;
    const QString path = fileservices::fullPath(clipUrl);
    if (path.startsWith(root))
        return path.mid(root.size());
    return fileservices::lastPathComponent(clipUrl);
}

void FolderBatch::startFolderMetadataScan(const QList<QUrl>& clips) {
    if (clips.isEmpty())
        return;
    setScanning(true, localizedString(kScanProgress, 0, int(clips.size())));
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
    // A scan gone reads as none.
    connect(scan, &QObject::destroyed, this, &FolderBatch::folderScanTaskChanged);
    emit folderScanTaskChanged();
    scan->start();
}

void FolderBatch::onClipScanned(FolderScan* scan, const QString& path, ClipMetadataStatus status,
                                int scanned) {
    if (scan != currentScan_)
        return;
    setClipStatus(path, status);
    setScanning(true, localizedString(kScanProgress, scanned, scan->clipCount()));
}

void FolderBatch::onScanFinished(FolderScan* scan) {
    if (scan != currentScan_) {
        scan->deleteLater();
        return;
    }
    // The finished scan stays as the folder's scan task until the next folder replaces it.
    setScanning(false, folderScanProgress_);
}

void FolderBatch::cancelFolderScan() {
    FolderScan* scan = currentScan_;
    if (!scan)
        return;
    scan->cancel();
}

QList<QUrl> FolderBatch::visibleFolderClips() const {
    const QList<QUrl> clips = folderClips_;
    if (!showOnlyMetadataClips())
        return clips;
    QList<QUrl> visible;
    for (const QUrl& clip : clips) {
        if (statusFor(fileservices::fullPath(clip)) == ClipMetadataStatus::withMetadata)
            visible.append(clip);
    }
    return visible;
}

QString FolderBatch::batchHeaderText() const {
    const QList<QUrl> clips = folderClips_;
    const int total = int(clips.size());
    const QString selected = load_.selectedFolderClipPath();
    int metadata = 0;
    int selectedIndex = -1;
    for (int i = 0; i < total; ++i) {
        const QString path = fileservices::fullPath(clips[i]);
        if (statusFor(path) == ClipMetadataStatus::withMetadata)
            ++metadata;
        if (selectedIndex < 0 && !selected.isNull() && path == selected)
            selectedIndex = i;
    }
    const QString position =
        selectedIndex < 0 ? QString() : localizedString(kHeaderPosition, selectedIndex + 1, total);
    const QString visible =
        showOnlyMetadataClips()
            ? localizedString(kHeaderVisible, int(visibleFolderClips().size()), total)
            : QString();
    const QUrl folder = selectedFolderURL_;
    if (!folder.isEmpty())
        return localizedCount(kHeaderWithFolder, total, fileservices::lastPathComponent(folder),
                              position, metadata, visible);
    return localizedCount(kHeaderWithoutFolder, total, position, metadata, visible);
}

QList<BatchClipListModel::Row> FolderBatch::visibleRows() const {
    const QString selected = load_.selectedFolderClipPath();
    QList<BatchClipListModel::Row> rows;
    for (const QUrl& clip : visibleFolderClips()) {
        const QString path = fileservices::fullPath(clip);
        rows.append({path, relativeClipName(clip), statusName(statusFor(path)),
                     !selected.isNull() && path == selected});
    }
    return rows;
}

QUrl FolderBatch::folderClip(const QString& path) const {
    for (const QUrl& clip : folderClips_) {
        if (fileservices::fullPath(clip) == path)
            return clip;
    }
    return {};
}

bool FolderBatch::contains(const QString& clipPath) const {
    return !clipPath.isNull() && !folderClip(clipPath).isEmpty();
}

ClipMetadataStatus FolderBatch::statusFor(const QString& path) const {
    return statuses_.value(path, ClipMetadataStatus::unknown);
}

QVariantMap FolderBatch::folderClipMetadataStatusMap() const {
    QVariantMap map;
    for (auto it = statuses_.cbegin(); it != statuses_.cend(); ++it)
        map.insert(it.key(), static_cast<int>(it.value()));
    return map;
}

bool FolderBatch::showOnlyMetadataClips() const {
    return Settings::instance()->onlyWithMetadata();
}

void FolderBatch::setShowOnlyMetadataClips(bool value) {
    Settings::instance()->setOnlyWithMetadata(value);
}

void FolderBatch::setClipStatus(const QString& path, ClipMetadataStatus status) {
    auto it = statuses_.find(path);
    if (it != statuses_.end() && *it == status)
        return;
    statuses_.insert(path, status);
    emit folderClipMetadataStatusChanged();
}

void FolderBatch::setFolder(const QUrl& folder, const QList<QUrl>& clips,
                            const QHash<QString, ClipMetadataStatus>& statuses) {
    if (folder != selectedFolderURL_) {
        selectedFolderURL_ = folder;
        emit selectedFolderURLChanged();
    }
    if (statuses != statuses_) {
        statuses_ = statuses;
        emit folderClipMetadataStatusChanged();
    }
    if (clips != folderClips_) {
        folderClips_ = clips;
        emit folderClipsChanged();
    }
}

void FolderBatch::setScanning(bool scanning, const QString& progress) {
    if (scanning != isScanningFolderMetadata_) {
        isScanningFolderMetadata_ = scanning;
        emit isScanningFolderMetadataChanged();
    }
    if (progress != folderScanProgress_) {
        folderScanProgress_ = progress;
        emit folderScanProgressChanged();
    }
}
