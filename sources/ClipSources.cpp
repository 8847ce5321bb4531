// The facade: forwards to the loader, the batch and the export, and keeps the batch list
// and its header in step with the viewer state.
#include "ClipSources.h"

#include "ClipLoader.h"
#include "ContentView.h"
#include "CsvExport.h"
#include "EvidenceExport.h"
#include "FileServices.h"
#include "FolderBatch.h"
#include "LocalizedString.h"
#include "RouteExport.h"
#include "Staging.h"

#include <QTimer>

namespace {
constexpr const char* kOpenClipPanelTitle = "Select Orvik Dashcam MP4";
constexpr const char* kOpenFolderPanelTitle = "Select Folder With Orvik MP4 Clips";
constexpr const char* kOnlyWithMetadataLabel = "Only with metadata";
constexpr const char* kExportPanelTitle = "Export Telemetry CSV";
constexpr const char* kExportedStatus = "CSV exported to %@";
constexpr const char* kExportFailedStatus = "Failed to export CSV";
constexpr const char* kRouteExportPanelTitle = "Export Route";
constexpr const char* kRouteExportedStatus = "Route exported to %@";
constexpr const char* kRouteExportFailedStatus = "Failed to export route";
constexpr const char* kEvidencePanelTitle = "Export Evidence";
constexpr const char* kEvidenceWritingStatus = "Writing evidence...";
constexpr const char* kEvidenceExportedStatus = "Evidence written to %@";
constexpr const char* kEvidenceFailedStatus = "Failed to export evidence: %@";
} // namespace

ClipSources::ClipSources(ContentView& view, QObject* parent)
    : QObject(parent), view_(view), loader_(std::make_unique<ClipLoader>(view)),
      batch_(std::make_unique<FolderBatch>(view, *loader_)),
      visibleFolderClips_(new BatchClipListModel(this)) {
    // Many state changes arrive in one step (a folder marks every clip); the list and the
    // header are rebuilt once per event-loop pass.
    const auto scheduleRefresh = [this] {
        if (refreshPending_)
            return;
        refreshPending_ = true;
        QTimer::singleShot(0, this, &ClipSources::refreshBatchList);
    };
    connect(&view_, &ContentView::folderClipsChanged, this, scheduleRefresh);
    connect(&view_, &ContentView::folderClipMetadataStatusChanged, this, scheduleRefresh);
    connect(&view_, &ContentView::selectedFolderClipPathChanged, this, scheduleRefresh);
    connect(&view_, &ContentView::selectedFolderURLChanged, this, scheduleRefresh);
    connect(&view_, &ContentView::showOnlyMetadataClipsChanged, this, scheduleRefresh);
    connect(&view_, &ContentView::selectedFileNameChanged, this,
            &ClipSources::proposedExportFileNameChanged);
    connect(&view_, &ContentView::selectedFolderClipPathChanged, this,
            &ClipSources::proposedExportFileNameChanged);
}

ClipSources::~ClipSources() = default;

bool ClipSources::loadClip(const QUrl& fileUrl, bool autoPlay) {
    return loader_->loadClip(fileUrl, autoPlay);
}

bool ClipSources::handleDroppedURLs(const QList<QUrl>& urls) {
    return loader_->handleDroppedURLs(urls);
}

void ClipSources::setDropTargeted(bool targeted) {
    loader_->setDropTargeted(targeted);
}

void ClipSources::openClipPanelResult(const QUrl& fileUrl) {
    loader_->openClipPanelResult(fileUrl);
}

void ClipSources::takePendingExternalFile() {
    loader_->takePendingExternalFile();
}

void ClipSources::openFolderPanelResult(const QUrl& folderUrl) {
    if (!folderUrl.isEmpty())
        batch_->loadFolder(folderUrl);
}

void ClipSources::loadFolder(const QUrl& folderUrl) {
    batch_->loadFolder(folderUrl);
}

void ClipSources::selectFolderClip(const QString& path) {
    const QUrl clip = batch_->folderClip(path);
    if (!clip.isEmpty())
        loader_->loadClip(clip, false);
}

void ClipSources::cancelFolderScan() {
    batch_->cancelFolderScan();
}

void ClipSources::exportRoute(const QUrl& destination, int filterIndex) {
    const QString csv = view_.rawCSV();
    if (csv.isEmpty() || destination.isEmpty())
        return;
    const QUrl written =
        RouteExport::write(csv, view_.selectedFolderClipPath(), destination, filterIndex);
    view_.setStatus(written.isEmpty() ? localizedString(kRouteExportFailedStatus)
                                      : localizedString(kRouteExportedStatus,
                                                        FileServices::lastPathComponent(written)));
}

QUrl ClipSources::proposedRouteExportUrl() const {
    return RouteExport::proposedUrl(view_.selectedFolderClipPath());
}

QStringList ClipSources::routeNameFilters() const {
    return RouteExport::nameFilters();
}

QString ClipSources::routeExportPanelTitle() const {
    return localizedString(kRouteExportPanelTitle);
}

void ClipSources::exportCsv(const QUrl& destination) {
    const QString csv = view_.rawCSV();
    if (csv.isEmpty() || destination.isEmpty())
        return;
    view_.setStatus(
        CsvExport::write(csv, destination)
            ? localizedString(kExportedStatus, FileServices::lastPathComponent(destination))
            : localizedString(kExportFailedStatus));
}

BatchClipListModel* ClipSources::visibleFolderClips() const {
    return visibleFolderClips_;
}

QString ClipSources::batchHeaderText() const {
    return batch_->batchHeaderText();
}

QString ClipSources::proposedExportFileName() const {
    return CsvExport::proposedFileName(view_.selectedFileName());
}

void ClipSources::exportEvidence(const QUrl& folder) {
    const QString clip = view_.selectedFolderClipPath();
    if (view_.rawCSV().isEmpty() || clip.isEmpty() || folder.isEmpty())
        return;
    view_.setStatus(localizedString(kEvidenceWritingStatus));
    // A recovered clip is salvaged again, so the bundle holds the rows the window shows.
    EvidenceExport::writeInBackground(
        this, clip, folder, !view_.extractorRecoveryNote().isEmpty(),
        [this](const QString& bundle, const QString& error) {
            view_.setStatus(bundle.isEmpty() ? localizedString(kEvidenceFailedStatus, error)
                                             : localizedString(kEvidenceExportedStatus, bundle));
        });
}

void ClipSources::recoverTelemetry() {
    loader_->recoverTelemetry();
}

QString ClipSources::evidencePanelTitle() const {
    return localizedString(kEvidencePanelTitle);
}

QUrl ClipSources::proposedExportUrl() const {
    return CsvExport::proposedUrl(view_.selectedFolderClipPath());
}

QUrl ClipSources::exportFolderUrl() const {
    return proposedExportUrl().adjusted(QUrl::RemoveFilename);
}

QString ClipSources::openClipPanelTitle() const {
    return localizedString(kOpenClipPanelTitle);
}

QString ClipSources::openFolderPanelTitle() const {
    return localizedString(kOpenFolderPanelTitle);
}

QString ClipSources::exportPanelTitle() const {
    return localizedString(kExportPanelTitle);
}

QString ClipSources::onlyWithMetadataLabel() const {
    return localizedString(kOnlyWithMetadataLabel);
}

void ClipSources::removeStaleStagedCopies() {
    Staging::removeCopiesModifiedBefore(QDateTime::currentDateTime().addSecs(
        -std::chrono::duration_cast<std::chrono::seconds>(Staging::kStaleCopyAge).count()));
}

void ClipSources::refreshBatchList() {
    refreshPending_ = false;
    visibleFolderClips_->setRows(batch_->visibleRows());
    emit batchHeaderTextChanged();
}
