// The loaded drive; see DriveData.h.
#include "DriveData.h"

#include "LocalizedString.h"

#include <QVariantMap>

#include <algorithm>
#include <cmath>

namespace {

// Indexed by analysis::EventKind.
const char* const kEventNames[] = {QT_TRANSLATE_NOOP("Veldrin", "Hard braking"),
                                   QT_TRANSLATE_NOOP("Veldrin", "Hard acceleration"),
                                   QT_TRANSLATE_NOOP("Veldrin", "Sharp turn"),
                                   QT_TRANSLATE_NOOP("Veldrin", "Assistance on"),
                                   QT_TRANSLATE_NOOP("Veldrin", "Assistance off"),
                                   QT_TRANSLATE_NOOP("Veldrin", "Stop")};
const char* const kAccelerationValue = QT_TRANSLATE_NOOP("Veldrin", "%.1f m/s²");
const char* const kClockFormat = QT_TRANSLATE_NOOP("Veldrin", "%d:%04.1f");
constexpr double kSecondsPerMinute = 60.0;
// Events this close to the time asked from count as there, so a jump moves on.
constexpr double kSameTimeSeconds = 0.05;

QString valueText(const analysis::DrivingEvent& event) {
    switch (event.kind) {
    case analysis::EventKind::HardBrake:
    case analysis::EventKind::HardAccel:
    case analysis::EventKind::SharpTurn:
        return localizedString(kAccelerationValue, event.value);
    case analysis::EventKind::AssistOn:
    case analysis::EventKind::AssistOff:
        // The names the card and the grid give the same states.
        return localizedString(QString::fromStdString(event.state));
    case analysis::EventKind::Stop:
        break;
    }
    return QString();
}

} // namespace

QString eventDisplayName(analysis::EventKind kind) {
    return localizedString(kEventNames[static_cast<std::size_t>(kind)]);
}

DriveData::DriveData(QObject* parent) : QObject(parent) {}

QString DriveData::clockText(double seconds) {
    const int minutes = static_cast<int>(seconds / kSecondsPerMinute);
    return localizedString(kClockFormat, minutes, seconds - minutes * kSecondsPerMinute);
}

void DriveData::setClipSource(std::shared_ptr<const analysis::TelemetryTable> table) {
    clipTable_ = std::move(table);
    rebuildClip();
}

void DriveData::setClipDuration(double seconds, bool timed) {
    if (seconds == clipDuration_ && timed == clipTimed_)
        return;
    clipDuration_ = seconds;
    clipTimed_ = timed;
    rebuildClip();
}

void DriveData::rebuildClip() {
    if (!clipTable_ || clipTable_->empty() || !(clipDuration_ > 0.0))
        return;
    const std::span<const analysis::DriveRow> rows = clipTable_->rows();
    publish(analysis::driveSeries(rows, clipDuration_),
            clipTimed_ ? analysis::findEvents(rows, clipDuration_)
                       : std::vector<analysis::DrivingEvent>());
}

void DriveData::setDrive(analysis::DriveSeries series, std::vector<analysis::DrivingEvent> events) {
    clipTable_.reset();
    publish(std::move(series), std::move(events));
}

void DriveData::clear() {
    setDrive({}, {});
}

void DriveData::publish(analysis::DriveSeries series, std::vector<analysis::DrivingEvent> events) {
    series_ = std::move(series);
    events_ = std::move(events);
    routeRows_ = analysis::routeRows(series_);
    eventEntries_.clear();
    for (const analysis::DrivingEvent& event : events_) {
        eventEntries_.append(QVariantMap{
            {QStringLiteral("time"), event.time},
            {QStringLiteral("clock"), clockText(event.time)},
            {QStringLiteral("kind"), QString::fromUtf8(analysis::eventKindName(event.kind))},
            {QStringLiteral("name"), eventDisplayName(event.kind)},
            {QStringLiteral("value"), valueText(event)}});
    }
    emit changed();
}

std::optional<std::size_t> DriveData::eventRow(const analysis::DrivingEvent& event) const {
    const std::optional<std::size_t> row = analysis::rowAt(series_, event.time);
    if (!row)
        return std::nullopt;
    const std::optional<std::size_t> point = analysis::routePointAt(routeRows_, *row);
    return point ? std::optional(routeRows_[*point]) : std::nullopt;
}

double DriveData::nextEventTime(double seconds) const {
    for (const analysis::DrivingEvent& event : events_)
        if (event.time > seconds + kSameTimeSeconds)
            return event.time;
    return -1.0;
}

double DriveData::previousEventTime(double seconds) const {
    for (auto it = events_.rbegin(); it != events_.rend(); ++it)
        if (it->time < seconds - kSameTimeSeconds)
            return it->time;
    return -1.0;
}

double DriveData::leadInTime(double eventTime) const {
    return std::max(0.0, eventTime - kEventLeadSeconds);
}
