// The main window's state: the one owner of everything the window shows (loaded clip, its
// metadata table and route, playback clock, folder batch, two stored settings). Fields are
// Q_PROPERTYs in their declared order; setters emit only on change. All access is on the
// main thread.
#pragma once

#include "GeoCoordinate.h"
#include "MetadataTable.h"
#include "RouteTrack.h"
#include "TelemetryValues.h"
#include "VideoPlayer.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QUuid>
#include <QVariantMap>

#include <optional>

class TelemetryReadout;
Q_MOC_INCLUDE("TelemetryReadout.h")
class DriveData;
Q_MOC_INCLUDE("DriveData.h")

class ContentView : public QObject {
    Q_OBJECT
    // 1
    Q_PROPERTY(VideoPlayer* player READ player CONSTANT)
    // 2
    Q_PROPERTY(bool isDropTargeted READ isDropTargeted WRITE setIsDropTargeted NOTIFY
                   isDropTargetedChanged)
    // 3
    Q_PROPERTY(QString status READ status WRITE setStatus NOTIFY statusChanged)
    // 4
    Q_PROPERTY(QString selectedFileName READ selectedFileName WRITE setSelectedFileName NOTIFY
                   selectedFileNameChanged)
    // The chosen clip or trip for the window's title; empty before the first choice.
    Q_PROPERTY(QString documentTitle READ documentTitle NOTIFY selectedFileNameChanged)
    // 5
    Q_PROPERTY(bool isExtracting READ isExtracting WRITE setIsExtracting NOTIFY isExtractingChanged)
    // 6
    Q_PROPERTY(QString extractorMessage READ extractorMessage WRITE setExtractorMessage NOTIFY
                   extractorMessageChanged)
    // 7
    Q_PROPERTY(QString extractorDebug READ extractorDebug WRITE setExtractorDebug NOTIFY
                   extractorDebugChanged)
    // Derived from the report: "N of M telemetry units could not be read", or empty when
    // every unit was read.
    Q_PROPERTY(QString extractorDamageNote READ extractorDamageNote NOTIFY extractorDebugChanged)
    // Derived from the report of a clip cut short and salvaged: "Clip cut short: telemetry
    // recovered from N frames; ...", or empty.
    Q_PROPERTY(
        QString extractorRecoveryNote READ extractorRecoveryNote NOTIFY extractorDebugChanged)
    // The loaded clip failed as one cut short does; its telemetry can be recovered.
    Q_PROPERTY(bool canRecoverTelemetry READ canRecoverTelemetry NOTIFY canRecoverTelemetryChanged)
    // 8: written by ingestCsv and clearMetadataTable only.
    Q_PROPERTY(QStringList csvHeaders READ csvHeaders NOTIFY csvHeadersChanged)
    // 9: the rows themselves are reached in C++ through table(); QML sees their number.
    Q_PROPERTY(int csvRowCount READ csvRowCount NOTIFY csvRowsChanged)
    // 10
    Q_PROPERTY(QString rawCSV READ rawCSV WRITE setRawCSV NOTIFY rawCSVChanged)
    // 11: rebuilt with the table (ingestCsv), emptied with it (clearMetadataTable).
    Q_PROPERTY(
        GeoCoordinateList routeCoordinates READ routeCoordinates NOTIFY routeCoordinatesChanged)
    // 12-14 (an empty URL means none)
    Q_PROPERTY(
        QUrl stagedFileURL READ stagedFileURL WRITE setStagedFileURL NOTIFY stagedFileURLChanged)
    Q_PROPERTY(QUrl selectedFolderURL READ selectedFolderURL WRITE setSelectedFolderURL NOTIFY
                   selectedFolderURLChanged)
    Q_PROPERTY(
        QList<QUrl> folderClips READ folderClips WRITE setFolderClips NOTIFY folderClipsChanged)
    // 15 (a null string means none)
    Q_PROPERTY(QString selectedFolderClipPath READ selectedFolderClipPath WRITE
                   setSelectedFolderClipPath NOTIFY selectedFolderClipPathChanged)
    // 16: path -> ClipMetadataStatus as int, for QML; C++ uses statusFor/setStatus.
    Q_PROPERTY(QVariantMap folderClipMetadataStatus READ folderClipMetadataStatusMap NOTIFY
                   folderClipMetadataStatusChanged)
    // 17: the stored setting "batch.onlyWithMetadata", shared through Settings::instance().
    Q_PROPERTY(bool showOnlyMetadataClips READ showOnlyMetadataClips WRITE setShowOnlyMetadataClips
                   NOTIFY showOnlyMetadataClipsChanged)
    // 18-19
    Q_PROPERTY(bool isScanningFolderMetadata READ isScanningFolderMetadata WRITE
                   setIsScanningFolderMetadata NOTIFY isScanningFolderMetadataChanged)
    Q_PROPERTY(QString folderScanProgress READ folderScanProgress WRITE setFolderScanProgress NOTIFY
                   folderScanProgressChanged)
    // 20: the running folder scan, as any QObject the batch code chooses as its handle (for
    // example a QFutureWatcher). Held weakly: it reads null once that object is destroyed.
    Q_PROPERTY(QObject* folderScanTask READ folderScanTask WRITE setFolderScanTask NOTIFY
                   folderScanTaskChanged)
    // 21-22: copies of the player's state, written by refreshPlaybackClock.
    Q_PROPERTY(double playbackDuration READ playbackDuration NOTIFY playbackDurationChanged)
    Q_PROPERTY(double playbackTime READ playbackTime NOTIFY playbackTimeChanged)
    // 23
    Q_PROPERTY(QUuid fileLoadID READ fileLoadID WRITE setFileLoadID NOTIFY fileLoadIDChanged)
    // 24: the stored setting "display.useMilesPerHour", shared through Settings::instance().
    Q_PROPERTY(bool useMilesPerHour READ useMilesPerHour WRITE setUseMilesPerHour NOTIFY
                   useMilesPerHourChanged)
    // 25: fires every 250 ms once startObservingPlaybackClock() was called.
    Q_PROPERTY(QTimer* uiTimer READ uiTimer CONSTANT)
    // 26
    Q_PROPERTY(QStringList detailKeys READ detailKeys CONSTANT)
    // A recovered clip's rows, browsed without its video (0 otherwise), and whether they are
    // timed by a clip of the same camera; untimed, the playback clock counts rows.
    Q_PROPERTY(int recoveredRows READ recoveredRows NOTIFY recoveredRowsChanged)
    Q_PROPERTY(bool recoveredTimed READ recoveredTimed NOTIFY recoveredRowsChanged)
    // The readout and the car's position at the current playback time, for the views.
    Q_PROPERTY(TelemetryReadout* readout READ readout CONSTANT)
    // The loaded drive's series and events, for the timeline, the events list and the map.
    Q_PROPERTY(DriveData* drive READ drive CONSTANT)
    // The trip being played, if any: its clock in seconds since its start and its length (both
    // 0 without a trip), and the identity of its route, which stays while its moments change.
    Q_PROPERTY(double tripTime READ tripTime NOTIFY tripClockChanged)
    Q_PROPERTY(double tripDuration READ tripDuration NOTIFY tripClockChanged)
    Q_PROPERTY(QString tripRouteIdentity READ tripRouteIdentity NOTIFY routeCoordinatesChanged)

public:
    enum class ClipMetadataStatus { unknown, withMetadata, noMetadata, error };
    Q_ENUM(ClipMetadataStatus)

    static constexpr int kUiTimerIntervalMs = 250;

    explicit ContentView(QObject* parent = nullptr);
    ~ContentView() override;

    VideoPlayer* player() const { return player_; }

    bool isDropTargeted() const { return isDropTargeted_; }
    void setIsDropTargeted(bool value);
    QString status() const { return status_; }
    void setStatus(const QString& value);
    QString selectedFileName() const { return selectedFileName_; }
    QString documentTitle() const { return documentChosen_ ? selectedFileName_ : QString(); }
    void setSelectedFileName(const QString& value);
    bool isExtracting() const { return isExtracting_; }
    void setIsExtracting(bool value);
    QString extractorMessage() const { return extractorMessage_; }
    void setExtractorMessage(const QString& value);
    QString extractorDebug() const { return extractorDebug_; }
    void setExtractorDebug(const QString& value);
    QString extractorDamageNote() const;
    QString extractorRecoveryNote() const;
    bool canRecoverTelemetry() const { return canRecoverTelemetry_; }
    void setCanRecoverTelemetry(bool value);

    // The metadata table (fields 8 and 9).
    const MetadataTable& table() const { return table_; }
    QStringList csvHeaders() const { return table_.headers(); }
    int csvRowCount() const { return static_cast<int>(table_.rowCount()); }
    // Row `i` as texts, built on demand.
    QStringList csvRow(qsizetype i) const { return table_.row(i); }

    QString rawCSV() const { return rawCSV_; }
    void setRawCSV(const QString& value);
    const GeoCoordinateList& routeCoordinates() const { return routeCoordinates_; }

    QUrl stagedFileURL() const { return stagedFileURL_; }
    void setStagedFileURL(const QUrl& value);
    QUrl selectedFolderURL() const { return selectedFolderURL_; }
    void setSelectedFolderURL(const QUrl& value);
    QList<QUrl> folderClips() const { return folderClips_; }
    void setFolderClips(const QList<QUrl>& value);
    QString selectedFolderClipPath() const { return selectedFolderClipPath_; }
    void setSelectedFolderClipPath(const QString& value);

    // Field 16. A path without an entry reads as unknown.
    const QHash<QString, ClipMetadataStatus>& folderClipMetadataStatus() const {
        return folderClipMetadataStatus_;
    }
    Q_INVOKABLE ContentView::ClipMetadataStatus statusFor(const QString& path) const;
    void setStatus(const QString& path, ClipMetadataStatus status);
    // Replaces every clip's status at once (one change signal for a whole folder).
    void setStatuses(const QHash<QString, ClipMetadataStatus>& statuses);
    QVariantMap folderClipMetadataStatusMap() const;

    bool showOnlyMetadataClips() const;
    void setShowOnlyMetadataClips(bool value);
    bool isScanningFolderMetadata() const { return isScanningFolderMetadata_; }
    void setIsScanningFolderMetadata(bool value);
    QString folderScanProgress() const { return folderScanProgress_; }
    void setFolderScanProgress(const QString& value);
    QObject* folderScanTask() const { return folderScanTask_; }
    void setFolderScanTask(QObject* task);

    double playbackDuration() const { return playbackDuration_; }
    double playbackTime() const { return playbackTime_; }
    // The clock's writes; refreshPlaybackClock is their caller (public for its tests).
    void setPlaybackDuration(double seconds);
    void setPlaybackTime(double seconds);

    QUuid fileLoadID() const { return fileLoadID_; }
    void setFileLoadID(const QUuid& value);
    // A new random identifier; returns it.
    QUuid renewFileLoadID();

    bool useMilesPerHour() const;
    void setUseMilesPerHour(bool value);
    QTimer* uiTimer() const { return uiTimer_; }
    static const QStringList& detailKeys();

    // Whether a new table brings its own route, or a trip's route stays.
    enum class RouteUpdate { rebuild, keep };
    // Table ingestion: fills the table, the route and extractorMessage from CSV text. Pass
    // rawCSV itself: the table keeps the text it is given, so it is then held once.
    void ingestCsv(const QString& text, RouteUpdate update = RouteUpdate::rebuild);
    // Empties csvHeaders, csvRows and routeCoordinates (and the trip's route), in this order.
    void clearMetadataTable(RouteUpdate update = RouteUpdate::rebuild);
    // The whole trip's route, kept until the next rebuild.
    void setTripRoute(const QString& identity, GeoCoordinateList route);
    QString tripRouteIdentity() const { return tripRouteIdentity_; }
    double tripTime() const { return tripTime_; }
    double tripDuration() const { return tripDuration_; }
    void setTripClock(double time, double duration);

    // Derived on demand from the table and the clock.
    qsizetype currentRowIndex() const;
    std::optional<telemetry::Row> currentRow() const;
    std::optional<GeoCoordinate> currentRouteCoordinate() const;
    std::optional<double> routeProgress() const;
    std::optional<double> currentHeading() const;
    TelemetryReadout* readout() const { return readout_; }
    DriveData* drive() const { return drive_; }

    // Browses the table's rows on a clock of their own: `secondsPerRow` from a clip of the same
    // camera, or none. Cleared with the table.
    void browseRecoveredRows(std::optional<double> secondsPerRow);
    int recoveredRows() const { return recoveredRows_; }
    bool recoveredTimed() const { return recoveredTimed_; }
    // Moves the recovered rows' clock (clamped to its rows).
    Q_INVOKABLE void seekRecovered(double seconds);
    Q_INVOKABLE void stepRecoveredRow(int rows);

    // Playback clock: copies the player's duration and time (non-finite or negative -> 0).
    Q_INVOKABLE void refreshPlaybackClock();
    Q_INVOKABLE void startObservingPlaybackClock();
    Q_INVOKABLE void stopObservingPlaybackClock();
    // While the video plays, a tick is applied at the next presented frame, so that its changes
    // are drawn with that frame rather than in a window draw of their own; a tick that meets no
    // frame by the next one is applied then. Leaving this mode applies a tick at once.
    Q_INVOKABLE void setTickOnFrames(bool on);
    // A frame showing media time `shownSeconds`: the readout takes that time, never the player's
    // position, which a player just swapped in reports stale until its first update.
    Q_INVOKABLE void framePresented(double shownSeconds);

signals:
    void recoveredRowsChanged();
    void isDropTargetedChanged();
    void statusChanged();
    void selectedFileNameChanged();
    void isExtractingChanged();
    void extractorMessageChanged();
    void extractorDebugChanged();
    void canRecoverTelemetryChanged();
    void csvHeadersChanged();
    void csvRowsChanged();
    void rawCSVChanged();
    void routeCoordinatesChanged();
    void stagedFileURLChanged();
    void selectedFolderURLChanged();
    void folderClipsChanged();
    void selectedFolderClipPathChanged();
    void folderClipMetadataStatusChanged();
    void showOnlyMetadataClipsChanged();
    void isScanningFolderMetadataChanged();
    void folderScanProgressChanged();
    void folderScanTaskChanged();
    void playbackDurationChanged();
    void playbackTimeChanged();
    void fileLoadIDChanged();
    void useMilesPerHourChanged();
    void tripClockChanged();

private:
    void applyShownTime();
    VideoPlayer* player_;
    bool isDropTargeted_ = false;
    QString status_;
    QString selectedFileName_;
    bool documentChosen_ = false;
    bool isExtracting_ = false;
    QString extractorMessage_;
    QString extractorDebug_;
    bool canRecoverTelemetry_ = false;
    MetadataTable table_; // fields 8 and 9
    QString rawCSV_;
    GeoCoordinateList routeCoordinates_;
    QUrl stagedFileURL_;
    QUrl selectedFolderURL_;
    QList<QUrl> folderClips_;
    QString selectedFolderClipPath_;
    QHash<QString, ClipMetadataStatus> folderClipMetadataStatus_;
    bool isScanningFolderMetadata_ = false;
    QString folderScanProgress_;
    QPointer<QObject> folderScanTask_;
    double playbackDuration_ = 0.0;
    double playbackTime_ = 0.0;
    int recoveredRows_ = 0;
    bool recoveredTimed_ = false;
    QUuid fileLoadID_;
    QTimer* uiTimer_;
    bool tickOnFrames_ = false;
    bool tickDue_ = false;
    double shownSeconds_ = 0.0; // the media time of the frame on screen
    TelemetryReadout* readout_;
    DriveData* drive_;
    QString tripRouteIdentity_;
    double tripTime_ = 0.0;
    double tripDuration_ = 0.0;
};

using ClipMetadataStatus = ContentView::ClipMetadataStatus;
