// Folder batches: the clips under a chosen folder, sorted as a file manager sorts them, the
// background metadata scan that classifies them, and the filtered list and header the batch
// panel shows. The batch's state is this object's alone; only the newest scan writes to it.
#pragma once

#include "BatchClipListModel.h"
#include "ClipMetadataStatus.h"
#include "FolderScan.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QVariantMap>
#include <QtQml/qqmlregistration.h>

#include <optional>

class LoadStatus;

class FolderBatch : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("FolderBatch belongs to ClipSources")
    // The chosen folder (empty for none) and its clips, in order.
    Q_PROPERTY(QUrl selectedFolderURL READ selectedFolderURL NOTIFY selectedFolderURLChanged)
    Q_PROPERTY(QList<QUrl> folderClips READ folderClips NOTIFY folderClipsChanged)
    // path -> ClipMetadataStatus as int, for QML; C++ uses statusFor.
    Q_PROPERTY(QVariantMap folderClipMetadataStatus READ folderClipMetadataStatusMap NOTIFY
                   folderClipMetadataStatusChanged)
    // The stored setting "batch.onlyWithMetadata", shared through Settings::instance().
    Q_PROPERTY(bool showOnlyMetadataClips READ showOnlyMetadataClips WRITE setShowOnlyMetadataClips
                   NOTIFY showOnlyMetadataClipsChanged)
    Q_PROPERTY(bool isScanningFolderMetadata READ isScanningFolderMetadata NOTIFY
                   isScanningFolderMetadataChanged)
    Q_PROPERTY(QString folderScanProgress READ folderScanProgress NOTIFY folderScanProgressChanged)
    // The running or last scan; reads null once it is destroyed.
    Q_PROPERTY(QObject* folderScanTask READ folderScanTask NOTIFY folderScanTaskChanged)

public:
    explicit FolderBatch(LoadStatus& load, QObject* parent = nullptr);
    ~FolderBatch() override;

    QUrl selectedFolderURL() const { return selectedFolderURL_; }
    QList<QUrl> folderClips() const { return folderClips_; }
    // A path without an entry reads as unknown.
    ClipMetadataStatus statusFor(const QString& path) const;
    QVariantMap folderClipMetadataStatusMap() const;
    bool showOnlyMetadataClips() const;
    void setShowOnlyMetadataClips(bool value);
    bool isScanningFolderMetadata() const { return isScanningFolderMetadata_; }
    QString folderScanProgress() const { return folderScanProgress_; }
    QObject* folderScanTask() const { return currentScan_; }
    // "unknown", "withMetadata", "noMetadata" or "error", as the lists' rows name a mark.
    static QString statusName(ClipMetadataStatus status);
    // What a load of one of the batch's clips found (a path outside the batch is kept too).
    void setClipStatus(const QString& path, ClipMetadataStatus status);
    bool contains(const QString& clipPath) const;

    // Lists the folder on the thread pool; folderListed follows once the list is shown. The
    // first clip is left to the caller, who knows by then whether the folder holds trips.
    void loadFolder(const QUrl& folderUrl);
    void cancelFolderScan();
    // The clip's name relative to the batch folder (its last path component otherwise).
    QString relativeClipName(const QUrl& clipUrl) const;
    QList<QUrl> visibleFolderClips() const;
    QString batchHeaderText() const;
    // The batch list's rows for visibleFolderClips().
    QList<BatchClipListModel::Row> visibleRows() const;
    // The batch clip with this path, or an empty URL.
    QUrl folderClip(const QString& path) const;

    // The scan now allowed to write, or null.
    FolderScan* currentScan() const { return currentScan_; }

signals:
    void selectedFolderURLChanged();
    void folderClipsChanged();
    void folderClipMetadataStatusChanged();
    void showOnlyMetadataClipsChanged();
    void isScanningFolderMetadataChanged();
    void folderScanProgressChanged();
    void folderScanTaskChanged();
    // `firstClipWanted`: the folder has clips and no other clip was opened while it was listed.
    void folderListed(bool firstClipWanted);

private:
    struct FolderListing {
        QList<QUrl> clips;
        QHash<QString, ClipMetadataStatus> statuses; // every clip unknown
    };
    static std::optional<FolderListing> listFolder(const QUrl& folderUrl);
    static QString relativeName(const QUrl& folder, const QUrl& clipUrl);
    bool applyListing(const FolderListing* listing, bool loadFirstClip);
    void startFolderMetadataScan(const QList<QUrl>& clips);
    void onClipScanned(FolderScan* scan, const QString& path, ClipMetadataStatus status,
                       int scanned);
    void onScanFinished(FolderScan* scan);
    void setFolder(const QUrl& folder, const QList<QUrl>& clips,
                   const QHash<QString, ClipMetadataStatus>& statuses);
    void setScanning(bool scanning, const QString& progress);

    LoadStatus& load_;
    QUrl selectedFolderURL_;
    QList<QUrl> folderClips_;
    QHash<QString, ClipMetadataStatus> statuses_;
    bool isScanningFolderMetadata_ = false;
    QString folderScanProgress_;
    QPointer<FolderScan> currentScan_;
    int listingGeneration_ = 0;
};
