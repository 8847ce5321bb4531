// The window's clip sources, as QML sees them: single clips (open panel, drop, hand-over by
// the operating system), folder batches with their background metadata scan, and CSV
// export. One per ContentView; every operation ends in writes to that ContentView's state.
// The logic lives in ClipLoader, FolderBatch, CsvExport and Staging; this is the facade.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QUuid>
#include <QtQml/qqmlregistration.h>

#include <memory>
#include <optional>

#include "BatchClipListModel.h"
#include "FolderBatch.h"
#include "PlayingTrip.h"
#include "TripListModel.h"

class ContentView;
class ClipLoader;
class TripList;

class ClipSources : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("ClipSources belongs to a ContentView")

    // The rows of the batch list: the batch in order, filtered by "Only with metadata".
    // Roles: path, name (relative to the folder), status ("unknown", "withMetadata",
    // "noMetadata", "error"), isSelected. Has a `count` property.
    Q_PROPERTY(BatchClipListModel* visibleFolderClips READ visibleFolderClips CONSTANT)
    // The chosen folder, its clips, their marks and its scan.
    Q_PROPERTY(FolderBatch* batch READ batch CONSTANT)
    // The batch list's header line, e.g. "Clips: 12 clips • Clip 3/12 • Metadata: 5".
    Q_PROPERTY(QString batchHeaderText READ batchHeaderText NOTIFY batchHeaderTextChanged)
    // The save panel's proposed name: the clip's name without its extension + "_sei.csv".
    Q_PROPERTY(QString proposedExportFileName READ proposedExportFileName NOTIFY
                   proposedExportFileNameChanged)
    // That name in the loaded clip's own folder, where the save panel starts.
    Q_PROPERTY(QUrl proposedExportUrl READ proposedExportUrl NOTIFY proposedExportFileNameChanged)
    Q_PROPERTY(QUrl exportFolderUrl READ exportFolderUrl NOTIFY proposedExportFileNameChanged)
    // Texts of the panels and batch controls, already localized.
    Q_PROPERTY(QString openClipPanelTitle READ openClipPanelTitle CONSTANT)
    Q_PROPERTY(QString openFolderPanelTitle READ openFolderPanelTitle CONSTANT)
    // While a trip plays, the export panels act on the shown moment's clip and name it.
    Q_PROPERTY(QString exportPanelTitle READ exportPanelTitle NOTIFY proposedExportFileNameChanged)
    // Route export: the panel's proposal (the clip's name, ".gpx"), filters and title.
    Q_PROPERTY(QUrl proposedRouteExportUrl READ proposedRouteExportUrl NOTIFY
                   proposedExportFileNameChanged)
    Q_PROPERTY(QStringList routeNameFilters READ routeNameFilters CONSTANT)
    Q_PROPERTY(QString routeExportPanelTitle READ routeExportPanelTitle NOTIFY
                   proposedExportFileNameChanged)
    Q_PROPERTY(
        QString evidencePanelTitle READ evidencePanelTitle NOTIFY proposedExportFileNameChanged)
    Q_PROPERTY(QString onlyWithMetadataLabel READ onlyWithMetadataLabel CONSTANT)
    // The batch as trips: headers and moments (see TripListModel), whether the folder is worth
    // showing so, and the trip player (playback/'s, handed over by whoever builds the window).
    Q_PROPERTY(TripListModel* tripRows READ tripRows CONSTANT)
    Q_PROPERTY(bool hasTrips READ hasTrips NOTIFY tripsChanged)
    Q_PROPERTY(PlayingTrip* trip READ trip NOTIFY tripPlayerChanged)
    Q_PROPERTY(QUrl proposedTripExportUrl READ proposedTripExportUrl NOTIFY tripsChanged)

public:
    explicit ClipSources(ContentView& view, QObject* parent = nullptr);
    ~ClipSources() override;

    // Single clips.
    // The one entry for every clip: size check, staging copy, background extraction.
    // Returns true when the load started.
    Q_INVOKABLE bool loadClip(const QUrl& fileUrl, bool autoPlay = false);
    // The drop area's action: loads the first ".mp4" URL; false refuses the drop.
    Q_INVOKABLE bool handleDroppedURLs(const QList<QUrl>& urls);
    // The drop area's hover callback.
    Q_INVOKABLE void setDropTargeted(bool targeted);
    // The open panel's outcome: the chosen URL (an empty URL, as from a cancelled panel,
    // changes nothing).
    Q_INVOKABLE void openClipPanelResult(const QUrl& fileUrl);
    // Loads the file handed over by the operating system, if one is waiting.
    Q_INVOKABLE void takePendingExternalFile();

    // Folder batches.
    // The folder panel's outcome (an empty URL changes nothing).
    Q_INVOKABLE void openFolderPanelResult(const QUrl& folderUrl);
    // Builds the batch from every visible ".mp4" under the folder, starts the metadata scan
    // and loads the first clip.
    Q_INVOKABLE void loadFolder(const QUrl& folderUrl);
    // A click on a row of the batch list: loads that clip without auto-play.
    Q_INVOKABLE void selectFolderClip(const QString& path);
    // Stops the running metadata scan (the window leaving the screen).
    Q_INVOKABLE void cancelFolderScan();

    // CSV export.
    // Writes the loaded clip's CSV to `destination` (the save panel's choice) atomically;
    // the status names the file written. Nothing happens without CSV or without a URL.
    Q_INVOKABLE void exportCsv(const QUrl& destination);
    // Writes the loaded clip's route, or the whole playing trip's, as the format of the panel's
    // filter `filterIndex` (or of the name's extension); the status names the file written.
    Q_INVOKABLE void exportRoute(const QUrl& destination, int filterIndex);
    // The question to ask before exportRoute replaces a file the panel did not ask about (its
    // extension added after the panel closed), or empty when there is none to ask.
    Q_INVOKABLE QString routeReplaceQuestion(const QUrl& destination, int filterIndex) const;
    // Writes the loaded clip's evidence bundle, NAME_evidence/, into `folder` off the GUI
    // thread; the status then names the folder written, or why none was.
    Q_INVOKABLE void exportEvidence(const QUrl& folder);
    // "Recover telemetry": the rows a clip cut short still holds (see canRecoverTelemetry).
    Q_INVOKABLE void recoverTelemetry();
    // Writes the playing trip's joined CSV (the command line's --join-trips text).
    Q_INVOKABLE void exportTripCsv(const QUrl& destination);

    // Plays trip `tripIndex` of the batch from the start of its moment `momentIndex`.
    Q_INVOKABLE void playTripMoment(int tripIndex, int momentIndex, bool autoPlay = true);

    BatchClipListModel* visibleFolderClips() const;
    QString batchHeaderText() const;
    QString proposedExportFileName() const;
    QUrl proposedExportUrl() const;
    QUrl exportFolderUrl() const;
    QString openClipPanelTitle() const;
    QString openFolderPanelTitle() const;
    QString exportPanelTitle() const;
    QUrl proposedRouteExportUrl() const;
    QStringList routeNameFilters() const;
    QString routeExportPanelTitle() const;
    QString evidencePanelTitle() const;
    QString onlyWithMetadataLabel() const;
    FolderBatch* batch() const { return batch_.get(); }
    TripListModel* tripRows() const { return tripRows_; }
    bool hasTrips() const;
    PlayingTrip* trip() const { return trip_; }
    // Hands over the window's trip player, once; without one, trips are listed but not played.
    void setTripPlayer(PlayingTrip* player);
    QUrl proposedTripExportUrl() const;

    // Removes staged copies left by earlier runs that are older than a day. Called once at
    // start-up, before any clip is loaded.
    static void removeStaleStagedCopies();

signals:
    void batchHeaderTextChanged();
    void proposedExportFileNameChanged();
    void tripsChanged();
    void tripPlayerChanged();
    // A chosen folder is listed (on the thread pool) and its first trip or clip chosen.
    void folderListed();

private:
    void refreshBatchList();
    // The list and header rebuilt once per event-loop pass, however many changes arrive in one.
    void scheduleRefresh();
    void loadBatchFolder(const QUrl& folderUrl);
    void onTripsGrouped();
    void showFolderStart();
    void advanceTrip();
    // The clip the exports act on: the loaded one, or the playing trip's shown moment's.
    QString exportClipPath() const;
    bool tripPlaying() const;

    ContentView& view_;
    std::unique_ptr<FolderBatch> batch_;
    std::unique_ptr<ClipLoader> loader_;
    BatchClipListModel* visibleFolderClips_;
    std::unique_ptr<TripList> tripList_;
    TripListModel* tripRows_;
    PlayingTrip* trip_ = nullptr;
    int playingTrip_ = -1;
    // A listed folder waiting for its grouping to choose between its first trip and its first
    // clip: the load identity then, which a user's own choice meanwhile replaces.
    std::optional<QUuid> folderAwaitsGrouping_;
    QTimer refreshTimer_;
};
