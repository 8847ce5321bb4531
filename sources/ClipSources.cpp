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
#include "PendingExternalFile.h"
#include "RouteExport.h"
#include "Staging.h"
#include "TripList.h"

#include <QDir>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

namespace {
constexpr const char* kOpenClipPanelTitle =
    QT_TRANSLATE_NOOP("Veldrin", "Select Orvik Dashcam MP4");
constexpr const char* kOpenFolderPanelTitle =
    QT_TRANSLATE_NOOP("Veldrin", "Select Folder With Orvik MP4 Clips");
constexpr const char* kOnlyWithMetadataLabel = QT_TRANSLATE_NOOP("Veldrin", "Only with metadata");
constexpr const char* kExportPanelTitle = QT_TRANSLATE_NOOP("Veldrin", "Export Telemetry CSV");
constexpr const char* kClipExportPanelTitle =
    QT_TRANSLATE_NOOP("Veldrin", "Export Telemetry CSV of %1");
constexpr const char* kClipEvidencePanelTitle =
    QT_TRANSLATE_NOOP("Veldrin", "Export Evidence of %1");
constexpr const char* kTripRouteExportPanelTitle =
    QT_TRANSLATE_NOOP("Veldrin", "Export Trip Route");
constexpr const char* kRouteWritingStatus = QT_TRANSLATE_NOOP("Veldrin", "Writing route...");
constexpr const char* kReplaceQuestion =
    QT_TRANSLATE_NOOP("Veldrin", "\"%1\" already exists. Do you want to replace it?");
constexpr const char* kExportedStatus = QT_TRANSLATE_NOOP("Veldrin", "CSV exported to %1");
constexpr const char* kExportFailedStatus = QT_TRANSLATE_NOOP("Veldrin", "Failed to export CSV");
constexpr const char* kRouteExportPanelTitle = QT_TRANSLATE_NOOP("Veldrin", "Export Route");
constexpr const char* kRouteExportedStatus = QT_TRANSLATE_NOOP("Veldrin", "Route exported to %1");
constexpr const char* kRouteExportFailedStatus =
    QT_TRANSLATE_NOOP("Veldrin", "Failed to export route");
constexpr const char* kEvidencePanelTitle = QT_TRANSLATE_NOOP("Veldrin", "Export Evidence");
constexpr const char* kEvidenceWritingStatus = QT_TRANSLATE_NOOP("Veldrin", "Writing evidence...");
constexpr const char* kEvidenceExportedStatus =
    QT_TRANSLATE_NOOP("Veldrin", "Evidence written to %1");
constexpr const char* kEvidenceFailedStatus =
    QT_TRANSLATE_NOOP("Veldrin", "Failed to export evidence: %1");
constexpr int kScanRefreshIntervalMs = 100;
constexpr const char* kTripsCompleteStatus =
    QT_TRANSLATE_N_NOOP("Veldrin", "Batch playback complete (%n trips)");
} // namespace

ClipSources::ClipSources(ContentView& view, QObject* parent)
    : QObject(parent), view_(view), batch_(std::make_unique<FolderBatch>(*view.load())),
      loader_(std::make_unique<ClipLoader>(view, *batch_)),
      visibleFolderClips_(new BatchClipListModel(this)),
      tripList_(std::make_unique<TripList>(*batch_)), tripRows_(new TripListModel(this)) {
    // Many state changes arrive in one step (a folder marks every clip); the list and the
    // header are rebuilt once per event-loop pass. A scan's results, one clip at a time over
    // thousands of clips, are gathered for a moment first.
    refreshTimer_.setSingleShot(true);
    connect(&refreshTimer_, &QTimer::timeout, this, &ClipSources::refreshBatchList);
    connect(batch_.get(), &FolderBatch::folderClipsChanged, this, &ClipSources::scheduleRefresh);
    connect(batch_.get(), &FolderBatch::folderClipMetadataStatusChanged, this, [this] {
        if (!refreshTimer_.isActive())
            refreshTimer_.start(kScanRefreshIntervalMs);
    });
    connect(view_.load(), &LoadStatus::selectedFolderClipPathChanged, this,
            &ClipSources::scheduleRefresh);
    connect(batch_.get(), &FolderBatch::selectedFolderURLChanged, this,
            &ClipSources::scheduleRefresh);
    connect(batch_.get(), &FolderBatch::showOnlyMetadataClipsChanged, this,
            &ClipSources::scheduleRefresh);
    connect(batch_.get(), &FolderBatch::folderClipsChanged, this,
            [this] { tripList_->setClips(batch_->folderClips()); });
    connect(batch_.get(), &FolderBatch::folderListed, this, [this](bool firstClipWanted) {
        if (!firstClipWanted) {
            emit folderListed();
            return;
        }
        folderAwaitsGrouping_ = view_.load()->fileLoadID();
        if (!tripList_->isGrouping())
            showFolderStart();
    });
    connect(tripList_.get(), &TripList::tripsChanged, this, &ClipSources::onTripsGrouped);
    connect(view_.load(), &LoadStatus::selectedFileNameChanged, this,
            &ClipSources::proposedExportFileNameChanged);
    connect(view_.load(), &LoadStatus::selectedFolderClipPathChanged, this,
            &ClipSources::proposedExportFileNameChanged);
}

void ClipSources::setTripPlayer(PlayingTrip* player) {
    if (trip_ || !player)
        return;
    trip_ = player;
    connect(trip_, &PlayingTrip::momentChanged, this, &ClipSources::scheduleRefresh);
    connect(trip_, &PlayingTrip::activeChanged, this, &ClipSources::scheduleRefresh);
    connect(trip_, &PlayingTrip::finished, this, &ClipSources::advanceTrip);
    connect(trip_, &PlayingTrip::tripChanged, this, &ClipSources::tripsChanged);
    for (const auto signal :
         {&PlayingTrip::activeChanged, &PlayingTrip::momentChanged, &PlayingTrip::telemetryChanged})
        connect(trip_, signal, this, &ClipSources::proposedExportFileNameChanged);
    emit tripPlayerChanged();
}

void ClipSources::scheduleRefresh() {
    refreshTimer_.start(0);
}

bool ClipSources::tripPlaying() const {
    return trip_ && trip_->active();
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
    const std::optional<QUrl> file = pendingexternalfile::take();
    if (file && QFileInfo(file->toLocalFile()).isDir())
        loadBatchFolder(*file);
    else if (file)
        loader_->loadClip(*file, false);
}

void ClipSources::openFolderPanelResult(const QUrl& folderUrl) {
    if (!folderUrl.isEmpty())
        loadBatchFolder(folderUrl);
}

void ClipSources::loadFolder(const QUrl& folderUrl) {
    loadBatchFolder(folderUrl);
}

void ClipSources::loadBatchFolder(const QUrl& folderUrl) {
    folderAwaitsGrouping_.reset();
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

void ClipSources::exportCsv(const QUrl& destination) {
    const QString csv = view_.telemetry()->rawCSV();
    if (csv.isEmpty() || destination.isEmpty())
        return;
    view_.load()->setStatus(
        csvexport::write(csv, destination)
            ? localizedString(kExportedStatus, fileservices::lastPathComponent(destination))
            : localizedString(kExportFailedStatus));
}

void ClipSources::exportRoute(const QUrl& destination, int filterIndex) {
    const QString csv = view_.telemetry()->rawCSV();
    if (csv.isEmpty() || destination.isEmpty())
        return;
    const auto report = [this](const QUrl& written) {
        view_.load()->setStatus(
            written.isEmpty()
                ? localizedString(kRouteExportFailedStatus)
                : localizedString(kRouteExportedStatus, fileservices::lastPathComponent(written)));
    };
    if (!tripPlaying()) {
        report(routeexport::write(view_.telemetry()->table().table(), exportClipPath(), destination,
                                  filterIndex));
        return;
    }
    // Every moment's telemetry is read again from its file, as the command line does.
    view_.load()->setStatus(localizedString(kRouteWritingStatus));
    auto* watcher = new QFutureWatcher<QUrl>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [watcher, report] {
        report(watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(
        QtConcurrent::run(routeexport::writeTrip, trip_->trip(), destination, filterIndex));
}

QString ClipSources::routeReplaceQuestion(const QUrl& destination, int filterIndex) const {
    const QUrl target = routeexport::finalUrl(destination, filterIndex);
    if (target.isEmpty() || target == destination || !QFileInfo::exists(target.toLocalFile()))
        return QString();
    return localizedString(kReplaceQuestion, fileservices::lastPathComponent(target));
}

QString ClipSources::exportClipPath() const {
    return tripPlaying() ? trip_->telemetryClipPath() : view_.load()->selectedFolderClipPath();
}

void ClipSources::exportEvidence(const QUrl& folder) {
    const QString clip = exportClipPath();
    if (view_.telemetry()->rawCSV().isEmpty() || clip.isEmpty() || folder.isEmpty())
        return;
    view_.load()->setStatus(localizedString(kEvidenceWritingStatus));
    // A recovered clip is salvaged again, so the bundle holds the rows the window shows.
    evidenceexport::writeInBackground(
        this, clip, folder, !view_.telemetry()->extractorRecoveryNote().isEmpty(),
        [this](const QString& bundle, const QString& error) {
            view_.load()->setStatus(bundle.isEmpty()
                                        ? localizedString(kEvidenceFailedStatus, error)
                                        : localizedString(kEvidenceExportedStatus, bundle));
        });
}

void ClipSources::recoverTelemetry() {
    loader_->recoverTelemetry();
}

QString ClipSources::evidencePanelTitle() const {
    return tripPlaying()
               ? localizedString(kClipEvidencePanelTitle, QFileInfo(exportClipPath()).fileName())
               : localizedString(kEvidencePanelTitle);
}

QUrl ClipSources::proposedRouteExportUrl() const {
    return tripPlaying() ? routeexport::proposedTripUrl(trip_->trip())
                         : routeexport::proposedUrl(exportClipPath());
}

QStringList ClipSources::routeNameFilters() const {
    return routeexport::nameFilters();
}

QString ClipSources::routeExportPanelTitle() const {
    return localizedString(tripPlaying() ? kTripRouteExportPanelTitle : kRouteExportPanelTitle);
}

void ClipSources::exportTripCsv(const QUrl& destination) {
    if (!trip_ || !trip_->canExport() || destination.isEmpty())
        return;
    view_.load()->setStatus(
        csvexport::write(QString::fromStdString(trip_->joinedCsv()), destination)
            ? localizedString(kExportedStatus, fileservices::lastPathComponent(destination))
            : localizedString(kExportFailedStatus));
}

void ClipSources::playTripMoment(int tripIndex, int momentIndex, bool autoPlay) {
    const std::vector<trips::Trip>& trips = tripList_->trips();
    if (tripIndex < 0 || tripIndex >= int(trips.size()) || momentIndex < 0 ||
        momentIndex >= int(trips[tripIndex].moments.size()) || !trip_)
        return;
    playingTrip_ = tripIndex;
    const trips::Trip& chosen = trips[tripIndex];
    trip_->start(chosen, chosen.momentOffset(std::size_t(momentIndex)), autoPlay);
}

void ClipSources::onTripsGrouped() {
    if (folderAwaitsGrouping_ && !tripList_->isGrouping())
        showFolderStart();
    emit tripsChanged();
    // In a pass of its own: the rows of thousands of clips after a trip's start would make
    // one long stall of two.
    scheduleRefresh();
}

// A folder of trips opens its first trip, any other its first clip; loading that clip first
// would only have the trip stop it while it loads, which the media backend blocks on.
void ClipSources::showFolderStart() {
    const bool untouched = folderAwaitsGrouping_ == view_.load()->fileLoadID();
    folderAwaitsGrouping_.reset();
    if (untouched && hasTrips() && trip_)
        playTripMoment(0, 0, false);
    else if (untouched && !batch_->folderClips().isEmpty())
        loader_->loadClip(batch_->folderClips().first(), false);
    emit folderListed();
}

void ClipSources::advanceTrip() {
    const int next = playingTrip_ + 1;
    if (next < int(tripList_->trips().size()))
        playTripMoment(next, 0, true);
    else
        view_.load()->setStatus(
            localizedCount(kTripsCompleteStatus, int(tripList_->trips().size())));
}

bool ClipSources::hasTrips() const {
    return tripList_->hasTrips();
}

QUrl ClipSources::proposedTripExportUrl() const {
    if (!trip_ || trip_->trip().moments.empty())
        return {};
    const trips::Moment& first = trip_->trip().moments.front();
    return QUrl::fromLocalFile(QDir(QString::fromStdString(first.folder))
                                   .filePath(QString::fromStdString(
                                       trips::joinedTripFileName(trip_->trip().startText, 1))));
}

BatchClipListModel* ClipSources::visibleFolderClips() const {
    return visibleFolderClips_;
}

QString ClipSources::batchHeaderText() const {
    return batch_->batchHeaderText();
}

QString ClipSources::proposedExportFileName() const {
    return csvexport::proposedFileName(tripPlaying() ? QFileInfo(exportClipPath()).fileName()
                                                     : view_.load()->selectedFileName());
}

QUrl ClipSources::proposedExportUrl() const {
    return csvexport::proposedUrl(exportClipPath());
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
    return tripPlaying()
               ? localizedString(kClipExportPanelTitle, QFileInfo(exportClipPath()).fileName())
               : localizedString(kExportPanelTitle);
}

QString ClipSources::onlyWithMetadataLabel() const {
    return localizedString(kOnlyWithMetadataLabel);
}

void ClipSources::removeStaleStagedCopies() {
    staging::removeCopiesModifiedBefore(QDateTime::currentDateTime().addSecs(
        -std::chrono::duration_cast<std::chrono::seconds>(staging::kStaleCopyAge).count()));
}

void ClipSources::refreshBatchList() {
    refreshTimer_.stop();
    visibleFolderClips_->setRows(batch_->visibleRows());
    tripRows_->setRows(tripList_->rows(batch_->showOnlyMetadataClips(),
                                       tripPlaying() ? playingTrip_ : -1,
                                       tripPlaying() ? trip_->momentIndex() : 0));
    emit batchHeaderTextChanged();
}
