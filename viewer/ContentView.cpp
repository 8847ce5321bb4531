// Main window state; see ContentView.h.
#include "ContentView.h"

#include "DriveData.h"
#include "LocalizedString.h"
#include "Settings.h"
#include "TelemetryReadout.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

const char* const kInitialStatus = "Drop an MP4 file to begin";
const char* const kInitialFileName = "No file loaded";
const char* const kInitialExtractorMessage = "No metadata loaded";
const char* const kNoMetadataOutputMessage = "No metadata output";
const char* const kNoSeiMetadataMessage =
    "No SEI metadata found. Orvik firmware 2025.44.25 or later and QB5 or above are required; "
    "parked clips may lack SEI data.";
const char* const kRowCountMessage = "Rows: %d";
const char* const kDamagedUnitsNote = "%d of %n telemetry units could not be read";
const char* const kRecoveredNote =
    "Clip cut short: telemetry recovered from %n frames; the video cannot be played";
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

// Clock values are finite and not negative.
double sanitisedSeconds(double seconds) {
    return std::isfinite(seconds) && seconds > 0 ? seconds : 0.0;
}

template <typename T, typename Signal>
void assign(ContentView* view, T& field, const T& value, Signal changed) {
    if (field == value)
        return;
    field = value;
    emit(view->*changed)();
}

} // namespace

ContentView::ContentView(QObject* parent)
    : QObject(parent), player_(new VideoPlayer(this)),
      status_(localizedString(QString::fromUtf8(kInitialStatus))),
      selectedFileName_(localizedString(QString::fromUtf8(kInitialFileName))),
      extractorMessage_(localizedString(QString::fromUtf8(kInitialExtractorMessage))),
      fileLoadID_(QUuid::createUuid()), uiTimer_(new QTimer(this)),
      readout_(new TelemetryReadout(this)), drive_(new DriveData(this)) {
    uiTimer_->setInterval(kUiTimerIntervalMs);
    uiTimer_->setTimerType(Qt::PreciseTimer);
    connect(uiTimer_, &QTimer::timeout, this, [this] {
        if (!tickOnFrames_)
            refreshPlaybackClock();
        else if (std::exchange(tickDue_, true))
            applyShownTime();
    });
    Settings* settings = Settings::instance();
    connect(settings, &Settings::onlyWithMetadataChanged, this,
            &ContentView::showOnlyMetadataClipsChanged);
    connect(settings, &Settings::useMilesPerHourChanged, this,
            &ContentView::useMilesPerHourChanged);
}

ContentView::~ContentView() = default;

void ContentView::setIsDropTargeted(bool value) {
    assign(this, isDropTargeted_, value, &ContentView::isDropTargetedChanged);
}
void ContentView::setStatus(const QString& value) {
    assign(this, status_, value, &ContentView::statusChanged);
}
void ContentView::setSelectedFileName(const QString& value) {
    documentChosen_ = true;
    assign(this, selectedFileName_, value, &ContentView::selectedFileNameChanged);
}
void ContentView::setIsExtracting(bool value) {
    assign(this, isExtracting_, value, &ContentView::isExtractingChanged);
}
void ContentView::setExtractorMessage(const QString& value) {
    assign(this, extractorMessage_, value, &ContentView::extractorMessageChanged);
}
void ContentView::setExtractorDebug(const QString& value) {
    assign(this, extractorDebug_, value, &ContentView::extractorDebugChanged);
}
QString ContentView::extractorDamageNote() const {
    qint64 failures = 0;
    for (QLatin1String key : kFailureCountKeys)
        failures += reportCount(extractorDebug_, key);
    if (failures <= 0)
        return QString();
    return localizedCount(kDamagedUnitsNote, int(reportCount(extractorDebug_, kUnitCountKey)),
                          failures);
}
QString ContentView::extractorRecoveryNote() const {
    if (!extractorDebug_.contains(QLatin1String("\n") + kSalvagedKey + QLatin1String(":")))
        return QString();
    return localizedCount(kRecoveredNote, int(reportCount(extractorDebug_, kRowsKey)));
}
void ContentView::setCanRecoverTelemetry(bool value) {
    assign(this, canRecoverTelemetry_, value, &ContentView::canRecoverTelemetryChanged);
}
void ContentView::setRawCSV(const QString& value) {
    assign(this, rawCSV_, value, &ContentView::rawCSVChanged);
}
void ContentView::setStagedFileURL(const QUrl& value) {
    assign(this, stagedFileURL_, value, &ContentView::stagedFileURLChanged);
}
void ContentView::setSelectedFolderURL(const QUrl& value) {
    assign(this, selectedFolderURL_, value, &ContentView::selectedFolderURLChanged);
}
void ContentView::setFolderClips(const QList<QUrl>& value) {
    assign(this, folderClips_, value, &ContentView::folderClipsChanged);
}

void ContentView::setSelectedFolderClipPath(const QString& value) {
    // None (null) and the empty path are different values.
    if (selectedFolderClipPath_ == value && selectedFolderClipPath_.isNull() == value.isNull())
        return;
    selectedFolderClipPath_ = value;
    emit selectedFolderClipPathChanged();
}

ContentView::ClipMetadataStatus ContentView::statusFor(const QString& path) const {
    return folderClipMetadataStatus_.value(path, ClipMetadataStatus::unknown);
}

void ContentView::setStatus(const QString& path, ClipMetadataStatus status) {
    auto it = folderClipMetadataStatus_.find(path);
    if (it != folderClipMetadataStatus_.end() && *it == status)
        return;
    folderClipMetadataStatus_.insert(path, status);
    emit folderClipMetadataStatusChanged();
}

void ContentView::setStatuses(const QHash<QString, ClipMetadataStatus>& statuses) {
    if (folderClipMetadataStatus_ == statuses)
        return;
    folderClipMetadataStatus_ = statuses;
    emit folderClipMetadataStatusChanged();
}

QVariantMap ContentView::folderClipMetadataStatusMap() const {
    QVariantMap map;
    for (auto it = folderClipMetadataStatus_.cbegin(); it != folderClipMetadataStatus_.cend(); ++it)
        map.insert(it.key(), static_cast<int>(it.value()));
    return map;
}

bool ContentView::showOnlyMetadataClips() const {
    return Settings::instance()->onlyWithMetadata();
}
void ContentView::setShowOnlyMetadataClips(bool value) {
    Settings::instance()->setOnlyWithMetadata(value);
}

void ContentView::setIsScanningFolderMetadata(bool value) {
    assign(this, isScanningFolderMetadata_, value, &ContentView::isScanningFolderMetadataChanged);
}
void ContentView::setFolderScanProgress(const QString& value) {
    assign(this, folderScanProgress_, value, &ContentView::folderScanProgressChanged);
}

void ContentView::setFolderScanTask(QObject* task) {
    if (folderScanTask_ == task)
        return;
    if (folderScanTask_)
        disconnect(folderScanTask_, &QObject::destroyed, this, nullptr);
    folderScanTask_ = task;
    if (task)
        connect(task, &QObject::destroyed, this, &ContentView::folderScanTaskChanged);
    emit folderScanTaskChanged();
}

void ContentView::setPlaybackDuration(double seconds) {
    assign(this, playbackDuration_, seconds, &ContentView::playbackDurationChanged);
    drive_->setClipDuration(seconds);
}
void ContentView::setPlaybackTime(double seconds) {
    assign(this, playbackTime_, seconds, &ContentView::playbackTimeChanged);
}

void ContentView::setFileLoadID(const QUuid& value) {
    assign(this, fileLoadID_, value, &ContentView::fileLoadIDChanged);
}

QUuid ContentView::renewFileLoadID() {
    setFileLoadID(QUuid::createUuid());
    return fileLoadID_;
}

bool ContentView::useMilesPerHour() const {
    return Settings::instance()->useMilesPerHour();
}
void ContentView::setUseMilesPerHour(bool value) {
    Settings::instance()->setUseMilesPerHour(value);
}

const QStringList& ContentView::detailKeys() {
    static const QStringList keys = {
        QStringLiteral("accelerator_pedal_position"),
        QStringLiteral("navark_state"),
        QStringLiteral("blinker_on_left"),
        QStringLiteral("blinker_on_right"),
        QStringLiteral("brake_applied"),
        QStringLiteral("frame_seq_no"),
        QStringLiteral("vehicle_speed_mps"),
        QStringLiteral("steering_wheel_angle"),
        QStringLiteral("latitude_deg"),
        QStringLiteral("longitude_deg"),
        QStringLiteral("heading_deg"),
        QStringLiteral("linear_acceleration_mps2_x"),
        QStringLiteral("linear_acceleration_mps2_y"),
        QStringLiteral("linear_acceleration_mps2_z"),
    };
    return keys;
}

void ContentView::clearMetadataTable(RouteUpdate update) {
    if (std::exchange(recoveredRows_, 0) > 0)
        emit recoveredRowsChanged();
    const bool hadHeaders = !table_.headers().isEmpty();
    const bool hadRows = table_.rowCount() > 0;
    const bool hadRoute = update == RouteUpdate::rebuild &&
                          (!routeCoordinates_.isEmpty() || !tripRouteIdentity_.isEmpty());
    table_.clear();
    if (update == RouteUpdate::rebuild) {
        drive_->clear();
        routeCoordinates_.clear();
        tripRouteIdentity_.clear();
    }
    if (hadHeaders)
        emit csvHeadersChanged();
    if (hadRows)
        emit csvRowsChanged();
    if (hadRoute)
        emit routeCoordinatesChanged();
}

void ContentView::ingestCsv(const QString& text, RouteUpdate update) {
    MetadataTable parsed;
    switch (parsed.parse(text)) {
    case MetadataTable::Outcome::noLines:
        setExtractorMessage(localizedString(QString::fromUtf8(kNoMetadataOutputMessage)));
        return;
    case MetadataTable::Outcome::noMetadataNotice:
        setExtractorMessage(localizedString(QString::fromUtf8(kNoSeiMetadataMessage)));
        clearMetadataTable(update);
        return;
    case MetadataTable::Outcome::table:
        break;
    }
    const int rows = static_cast<int>(parsed.rowCount());
    // Table and route change together, so no observer sees one without the other.
    GeoCoordinateList route =
        update == RouteUpdate::rebuild ? route::buildRoute(parsed) : routeCoordinates_;
    const bool headersChanged = parsed.headers() != table_.headers();
    const bool routeChanged = route != routeCoordinates_ ||
                              (update == RouteUpdate::rebuild && !tripRouteIdentity_.isEmpty());
    table_ = std::move(parsed);
    routeCoordinates_ = std::move(route);
    // A trip's moment leaves the trip's drive in place.
    if (update == RouteUpdate::rebuild)
        drive_->setClipSource(text);
    if (update == RouteUpdate::rebuild)
        tripRouteIdentity_.clear();
    if (headersChanged)
        emit csvHeadersChanged();
    emit csvRowsChanged();
    if (routeChanged)
        emit routeCoordinatesChanged();
    setExtractorMessage(localizedString(QString::fromUtf8(kRowCountMessage), rows));
}

void ContentView::setTripRoute(const QString& identity, GeoCoordinateList route) {
    tripRouteIdentity_ = identity;
    routeCoordinates_ = std::move(route);
    emit routeCoordinatesChanged();
}

void ContentView::setTripClock(double time, double duration) {
    if (time == tripTime_ && duration == tripDuration_)
        return;
    tripTime_ = time;
    tripDuration_ = duration;
    emit tripClockChanged();
}

void ContentView::refreshPlaybackClock() {
    // Recovered rows keep the clock their browsing sets.
    if (recoveredRows_ > 0)
        return;
    if (player_->currentItem() == VideoPlayer::kNoItem) {
        setPlaybackDuration(0);
        setPlaybackTime(0);
        return;
    }
    setPlaybackDuration(sanitisedSeconds(player_->duration()));
    setPlaybackTime(sanitisedSeconds(player_->currentTime()));
}

void ContentView::startObservingPlaybackClock() {
    uiTimer_->start();
}
void ContentView::stopObservingPlaybackClock() {
    uiTimer_->stop();
}

void ContentView::setTickOnFrames(bool on) {
    tickOnFrames_ = on;
    tickDue_ = false;
    if (!on)
        refreshPlaybackClock();
}

void ContentView::framePresented(double shownSeconds) {
    shownSeconds_ = shownSeconds;
    if (std::exchange(tickDue_, false))
        applyShownTime();
}

// While playing, even a tick that met no frame keeps to the frame still on screen.
void ContentView::applyShownTime() {
    if (player_->currentItem() == VideoPlayer::kNoItem || recoveredRows_ > 0) {
        refreshPlaybackClock();
        return;
    }
    setPlaybackDuration(sanitisedSeconds(player_->duration()));
    setPlaybackTime(sanitisedSeconds(shownSeconds_));
}

void ContentView::browseRecoveredRows(std::optional<double> secondsPerRow) {
    const int rows = csvRowCount();
    recoveredRows_ = rows;
    recoveredTimed_ = secondsPerRow.has_value() && *secondsPerRow > 0;
    const double duration = recoveredTimed_ ? rows * *secondsPerRow : rows;
    assign(this, playbackDuration_, duration, &ContentView::playbackDurationChanged);
    drive_->setClipDuration(duration, recoveredTimed_);
    setPlaybackTime(0);
    emit recoveredRowsChanged();
}

void ContentView::seekRecovered(double seconds) {
    if (recoveredRows_ > 0)
        setPlaybackTime(std::clamp(seconds, 0.0, playbackDuration_));
}

void ContentView::stepRecoveredRow(int rows) {
    if (recoveredRows_ == 0)
        return;
    // The middle of the row: its start can round into the row before.
    const qsizetype row = std::clamp<qsizetype>(currentRowIndex() + rows, 0, recoveredRows_ - 1);
    setPlaybackTime((double(row) + 0.5) * playbackDuration_ / recoveredRows_);
}

qsizetype ContentView::currentRowIndex() const {
    return telemetry::currentRowIndex(table_.rowCount(), playbackTime_, playbackDuration_);
}

std::optional<telemetry::Row> ContentView::currentRow() const {
    return telemetry::currentRow(table_, playbackTime_, playbackDuration_);
}

std::optional<GeoCoordinate> ContentView::currentRouteCoordinate() const {
    const std::optional<telemetry::Row> row = currentRow();
    if (!row)
        return std::nullopt;
    return route::coordinateFrom(row->value(route::kLatitudeColumn),
                                 row->value(route::kLongitudeColumn));
}

std::optional<double> ContentView::routeProgress() const {
    if (tripDuration_ > 0)
        return route::routeProgress(tripTime_, tripDuration_);
    return route::routeProgress(playbackTime_, playbackDuration_);
}

std::optional<double> ContentView::currentHeading() const {
    const std::optional<telemetry::Row> row = currentRow();
    if (!row)
        return std::nullopt;
    return telemetry::parseNumber(row->value(route::kHeadingColumn));
}
