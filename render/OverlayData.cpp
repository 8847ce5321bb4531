#include "OverlayData.h"

#include "DriveData.h"
#include "DrivingEvents.h"
#include "Trips.h"

#include <QDateTime>

#include <algorithm>

namespace render {
namespace {

constexpr const char* kWallClockFormat = "HH:mm:ss";

} // namespace

OverlayData::OverlayData(const std::string& csv, std::optional<double> duration,
                         const std::string& clipFileName, bool milesPerHour,
                         double fallbackRowSeconds)
    : milesPerHour_(milesPerHour) {
    table_.parse(csv);
    const std::span<const analysis::DriveRow> rows = table_.rows();
    const double seconds = duration && *duration > 0
                               ? *duration
                               : fallbackRowSeconds * static_cast<double>(rows.size());
    series_ = analysis::driveSeries(rows, seconds);
    events_ = analysis::findEvents(rows, seconds);
    GeoCoordinateList points;
    for (const std::size_t row : analysis::routeRows(series_))
        points.append({series_.fix[row].latitude, series_.fix[row].longitude});
    route_ = RouteShape(points);
    if (const auto name = trips::parseClipName(clipFileName))
        startSeconds_ = name->startSeconds;
}

qsizetype OverlayData::rowAtTime(double time) const {
    return telemetry::currentRowIndex(rowCount(), time, series_.duration);
}

FrameReadout OverlayData::readout(qsizetype row) const {
    FrameReadout r;
    if (row < 0 || row >= rowCount())
        return r;
    const telemetry::Row values(table_, row);
    r.gauges = telemetry::telemetryOverlay(values, milesPerHour_);
    r.blinkerLeft = telemetry::isTrue(values.value(analysis::Field::BlinkerLeft));
    r.blinkerRight = telemetry::isTrue(values.value(analysis::Field::BlinkerRight));
    r.lateral = values.number(analysis::Field::AccelerationY).value_or(0.0);
    r.longitudinal = values.number(analysis::Field::AccelerationX).value_or(0.0);
    const double time = static_cast<std::size_t>(row) < series_.size()
                            ? series_.time[static_cast<std::size_t>(row)]
                            : 0.0;
    if (startSeconds_) {
        const auto millis =
            static_cast<qint64>((static_cast<double>(*startSeconds_) + time) * 1000);
        r.clock = QDateTime::fromMSecsSinceEpoch(millis).toString(QLatin1String(kWallClockFormat));
    } else {
        r.clock = DriveData::clockText(time);
    }
    for (const analysis::DrivingEvent& event : events_) {
        if (event.time > time)
            break;
        if (time < event.time + kEventShownSeconds)
            r.event = eventDisplayName(event.kind);
    }
    r.car = analysis::carPoseAt(series_, time);
    return r;
}

} // namespace render
