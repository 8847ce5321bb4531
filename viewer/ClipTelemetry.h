// The telemetry of what the window shows: the extractor's report and message, the metadata
// table with its text, the route (a clip's own, or a whole trip's kept while its moments
// change) and the drive for the timeline and events. A clip's result arrives whole through
// show(); a trip's moments through showMoment().
#pragma once

#include "DriveData.h"
#include "GeoCoordinate.h"
#include "MetadataTable.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

#include <optional>

class ClipTelemetry : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("ClipTelemetry belongs to a ContentView")
    Q_PROPERTY(QString extractorMessage READ extractorMessage NOTIFY extractorMessageChanged)
    Q_PROPERTY(QString extractorDebug READ extractorDebug NOTIFY extractorDebugChanged)
    // Derived from the report: "N of M telemetry units could not be read", or empty when
    // every unit was read.
    Q_PROPERTY(QString extractorDamageNote READ extractorDamageNote NOTIFY extractorDebugChanged)
    // Derived from the report of a clip cut short and salvaged: "Clip cut short: telemetry
    // recovered from N frames; ...", or empty.
    Q_PROPERTY(
        QString extractorRecoveryNote READ extractorRecoveryNote NOTIFY extractorDebugChanged)
    // The loaded clip failed as one cut short does; its telemetry can be recovered.
    Q_PROPERTY(bool canRecoverTelemetry READ canRecoverTelemetry NOTIFY canRecoverTelemetryChanged)
    Q_PROPERTY(QStringList csvHeaders READ csvHeaders NOTIFY csvHeadersChanged)
    // The rows themselves are reached in C++ through table(); QML sees their number.
    Q_PROPERTY(int csvRowCount READ csvRowCount NOTIFY csvRowsChanged)
    Q_PROPERTY(QString rawCSV READ rawCSV NOTIFY rawCSVChanged)
    Q_PROPERTY(
        GeoCoordinateList routeCoordinates READ routeCoordinates NOTIFY routeCoordinatesChanged)
    // A trip's route keeps this identity while its moments change.
    Q_PROPERTY(QString tripRouteIdentity READ tripRouteIdentity NOTIFY routeCoordinatesChanged)
    Q_PROPERTY(DriveData* drive READ drive CONSTANT)

public:
    // One clip's result: its CSV text (none: the table stays empty and `message` is shown;
    // otherwise the table's own message), its report and whether it can be recovered.
    struct Clip {
        std::optional<QString> csv;
        QString report;
        QString message;
        bool canRecover = false;
        static Clip fromCsv(const QString& csv) { return {csv, QString(), QString(), false}; }
        friend bool operator==(const Clip&, const Clip&) = default;
    };

    explicit ClipTelemetry(QObject* parent = nullptr);

    QString extractorMessage() const { return extractorMessage_; }
    QString extractorDebug() const { return extractorDebug_; }
    QString extractorDamageNote() const;
    QString extractorRecoveryNote() const;
    bool canRecoverTelemetry() const { return canRecoverTelemetry_; }
    // The shown telemetry, read once: the route, the drive and the readout all take it.
    const MetadataTable& table() const { return table_; }
    QStringList csvHeaders() const { return table_.headers(); }
    int csvRowCount() const { return static_cast<int>(table_.rowCount()); }
    QStringList csvRow(qsizetype i) const { return table_.row(i); }
    QString rawCSV() const { return rawCSV_; }
    const GeoCoordinateList& routeCoordinates() const { return routeCoordinates_; }
    QString tripRouteIdentity() const { return tripRouteIdentity_; }
    DriveData* drive() const { return drive_; }

    // Replaces everything with one clip's result: report, table, route, drive, message.
    void show(const Clip& clip);
    // Empties report, table, route and drive; the message stays.
    void clear();
    // A passing word while a load runs (copying, extracting), over the last message.
    void setMessage(const QString& message);

    // A trip: its whole route and drive, kept while its moments change.
    void showTrip(const QString& identity, GeoCoordinateList route, analysis::DriveSeries series,
                  std::vector<analysis::DrivingEvent> events);
    // One moment of the trip, or none (null): the table changes, the trip's route and drive
    // stay.
    void showMoment(std::shared_ptr<const analysis::TelemetryTable> table);

signals:
    void extractorMessageChanged();
    void extractorDebugChanged();
    void canRecoverTelemetryChanged();
    void csvHeadersChanged();
    void csvRowsChanged();
    void rawCSVChanged();
    void routeCoordinatesChanged();
    // The table was emptied.
    void cleared();

private:
    enum class RouteUpdate { rebuild, keep };
    void ingest(const QString& text, RouteUpdate update);
    void showTable(MetadataTable table, const QString& text, RouteUpdate update);
    void clearTable(RouteUpdate update);
    void setReport(const QString& report);
    void setCanRecover(bool value);

    QString extractorMessage_;
    QString extractorDebug_;
    bool canRecoverTelemetry_ = false;
    MetadataTable table_;
    QString rawCSV_;
    GeoCoordinateList routeCoordinates_;
    QString tripRouteIdentity_;
    DriveData* drive_;
};
