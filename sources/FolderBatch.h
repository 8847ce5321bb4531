// Folder batches: the clips under a chosen folder, sorted as a file manager sorts them, the
// background metadata scan that classifies them, and the filtered list and header the batch
// panel shows. Only the newest scan may write to the viewer state.
#pragma once

#include "BatchClipListModel.h"
#include "ContentView.h"
#include "FolderScan.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <optional>

class ClipLoader;

class FolderBatch : public QObject {
    Q_OBJECT

public:
    FolderBatch(ContentView& view, ClipLoader& loader, QObject* parent = nullptr);
    ~FolderBatch() override;

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

    ContentView& view_;
    ClipLoader& loader_;
    QPointer<FolderScan> currentScan_;
    int listingGeneration_ = 0;
};
