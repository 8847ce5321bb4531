// The shown telemetry; see ClipTelemetry.h.
#include "ClipTelemetry.h"

#include "LocalizedString.h"
#include "RouteTrack.h"

#include <utility>

namespace {

const char* const kInitialExtractorMessage = QT_TRANSLATE_NOOP("Veldrin", "No metadata loaded");
const char* const kNoMetadataOutputMessage = QT_TRANSLATE_NOOP("Veldrin", "No metadata output");
const char* const kNoSeiMetadataMessage =
    QT_TRANSLATE_NOOP("Veldrin", "No SEI metadata found. Orvik firmware 2025.44.25 or later and "
                                 "QB5 or above are required; parked clips may lack SEI data.");
const char* const kRowCountMessage = QT_TRANSLATE_NOOP("Veldrin", "Rows: %1");
const char* const kDamagedUnitsNote =
    QT_TRANSLATE_N_NOOP("Veldrin", "%1 of %n telemetry units could not be read");
const char* const kRecoveredNote = QT_TRANSLATE_N_NOOP(
    "Veldrin", "Clip cut short: telemetry recovered from %n frames; the video cannot be played");
// The report line only a salvaged clip has, and its row count.
const QLatin1String kSalvagedKey("salvaged_bytes");
const QLatin1String kRowsKey("rows_decoded");
// The report's counters: every telemetry unit met, and the two ways one can fail to read.
const QLatin1String kUnitCountKey("sei_nal_count");
const QLatin1String kFailureCountKeys[] = {QLatin1String("payload_decode_failures"),
                                           QLatin1String("sei_decode_failures")};

// The value of the report line "key: value"; 0 when the line is missing.
qint64 reportCount(const QString& report, QLatin1String key) {
    for (QStringView line : QStringView(report).split(u'\n')) {
        if (line.startsWith(key) && line.mid(key.size()).startsWith(u':'))
            return line.mid(key.size() + 1).trimmed().toLongLong();
    }
    return 0;
}

} // namespace

ClipTelemetry::ClipTelemetry(QObject* parent)
    : QObject(parent),
      extractorMessage_(localizedString(QString::fromUtf8(kInitialExtractorMessage))),
      drive_(new DriveData(this)) {}

QString ClipTelemetry::extractorDamageNote() const {
    qint64 failures = 0;
    for (QLatin1String key : kFailureCountKeys)
        failures += reportCount(extractorDebug_, key);
    if (failures <= 0)
        return QString();
    return localizedCount(kDamagedUnitsNote, int(reportCount(extractorDebug_, kUnitCountKey)),
                          failures);
}

QString ClipTelemetry::extractorRecoveryNote() const {
    if (!extractorDebug_.contains(QLatin1String("\n") + kSalvagedKey + QLatin1String(":")))
        return QString();
    return localizedCount(kRecoveredNote, int(reportCount(extractorDebug_, kRowsKey)));
}

void ClipTelemetry::show(const Clip& clip) {
    setCanRecover(clip.canRecover);
    setReport(clip.report);
    if (!clip.csv) {
        clearTable(RouteUpdate::rebuild);
        setMessage(clip.message);
        return;
    }
    ingest(*clip.csv, RouteUpdate::rebuild);
}

void ClipTelemetry::clear() {
    setCanRecover(false);
    setReport(QString());
    clearTable(RouteUpdate::rebuild);
}

void ClipTelemetry::setMessage(const QString& message) {
    if (message == extractorMessage_)
        return;
    extractorMessage_ = message;
    emit extractorMessageChanged();
}

void ClipTelemetry::setReport(const QString& report) {
    if (report == extractorDebug_)
        return;
    extractorDebug_ = report;
    emit extractorDebugChanged();
}

void ClipTelemetry::setCanRecover(bool value) {
    if (value == canRecoverTelemetry_)
        return;
    canRecoverTelemetry_ = value;
    emit canRecoverTelemetryChanged();
}

void ClipTelemetry::showTrip(const QString& identity, GeoCoordinateList route,
                             analysis::DriveSeries series,
                             std::vector<analysis::DrivingEvent> events) {
    tripRouteIdentity_ = identity;
    routeCoordinates_ = std::move(route);
    emit routeCoordinatesChanged();
    drive_->setDrive(std::move(series), std::move(events));
}

void ClipTelemetry::showMoment(std::shared_ptr<const analysis::TelemetryTable> table) {
    if (!table || table->empty()) {
        clearTable(RouteUpdate::keep);
        return;
    }
    const std::string_view text = table->text();
    showTable(MetadataTable(std::move(table)),
              QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
              RouteUpdate::keep);
}

void ClipTelemetry::clearTable(RouteUpdate update) {
    const bool hadHeaders = !table_.headers().isEmpty();
    const bool hadRows = table_.rowCount() > 0;
    const bool hadRoute = update == RouteUpdate::rebuild &&
                          (!routeCoordinates_.isEmpty() || !tripRouteIdentity_.isEmpty());
    const bool hadText = !rawCSV_.isEmpty();
    table_.clear();
    rawCSV_.clear();
    if (update == RouteUpdate::rebuild) {
        drive_->clear();
        routeCoordinates_.clear();
        tripRouteIdentity_.clear();
    }
    emit cleared();
    if (hadText)
        emit rawCSVChanged();
    if (hadHeaders)
        emit csvHeadersChanged();
    if (hadRows)
        emit csvRowsChanged();
    if (hadRoute)
        emit routeCoordinatesChanged();
}

void ClipTelemetry::ingest(const QString& text, RouteUpdate update) {
    MetadataTable parsed;
    switch (parsed.parse(text)) {
    case MetadataTable::Outcome::noLines:
        setMessage(localizedString(QString::fromUtf8(kNoMetadataOutputMessage)));
        return;
    case MetadataTable::Outcome::noMetadataNotice:
        clearTable(update);
        setMessage(localizedString(QString::fromUtf8(kNoSeiMetadataMessage)));
        return;
    case MetadataTable::Outcome::table:
        break;
    }
    showTable(std::move(parsed), text, update);
}

void ClipTelemetry::showTable(MetadataTable parsed, const QString& text, RouteUpdate update) {
    const int rows = static_cast<int>(parsed.rowCount());
    // Table and route change together, so no observer sees one without the other.
    GeoCoordinateList route =
        update == RouteUpdate::rebuild ? route::buildRoute(parsed.table()) : routeCoordinates_;
    const bool headersChanged = parsed.headers() != table_.headers();
    const bool routeChanged = route != routeCoordinates_ ||
                              (update == RouteUpdate::rebuild && !tripRouteIdentity_.isEmpty());
    const bool textChanged = text != rawCSV_;
    table_ = std::move(parsed);
    rawCSV_ = text;
    routeCoordinates_ = std::move(route);
    // A trip's moment leaves the trip's drive in place.
    if (update == RouteUpdate::rebuild) {
        drive_->setClipSource(table_.shared());
        tripRouteIdentity_.clear();
    }
    if (textChanged)
        emit rawCSVChanged();
    if (headersChanged)
        emit csvHeadersChanged();
    emit csvRowsChanged();
    if (routeChanged)
        emit routeCoordinatesChanged();
    setMessage(localizedString(QString::fromUtf8(kRowCountMessage), rows));
}
