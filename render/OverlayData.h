// What the overlay shows on each frame, read once from a clip's CSV: the studio's readout of
// each row, the G-meter's accelerations, the clock, the driving event of the moment and the
// route with the car. Rows are spread over the clip's duration as the studio spreads them.
#pragma once

#include "DriveSeries.h"
#include "RouteShape.h"
#include "TelemetryTable.h"
#include "TelemetryValues.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace render {

// An event's name stays on screen this long from when it happens.
inline constexpr double kEventShownSeconds = 2.0;

struct FrameReadout {
    telemetry::Overlay gauges;
    bool blinkerLeft = false;
    bool blinkerRight = false;
    double lateral = 0.0;      // m/s², positive to the right
    double longitudinal = 0.0; // m/s², positive forwards
    QString clock;
    QString event; // empty when none is shown
    std::optional<analysis::CarPose> car;
};

class OverlayData {
public:
    // `csv` is the engine's text with rows; `duration` the movie's seconds (rows are then
    // evenly spread, otherwise one row per `fallbackRowSeconds`); `clipFileName` gives the
    // wall-clock start when it follows the cameras' naming.
    OverlayData(const std::string& csv, std::optional<double> duration,
                const std::string& clipFileName, bool milesPerHour, double fallbackRowSeconds);

    qsizetype rowCount() const { return static_cast<qsizetype>(table_.rowCount()); }
    // The row shown at `time` seconds into the clip when frames cannot be matched to rows.
    qsizetype rowAtTime(double time) const;
    FrameReadout readout(qsizetype row) const;
    const RouteShape& route() const { return route_; }

private:
    analysis::TelemetryTable table_;
    analysis::DriveSeries series_;
    std::vector<analysis::DrivingEvent> events_;
    RouteShape route_;
    std::optional<std::int64_t> startSeconds_;
    bool milesPerHour_ = false;
};

} // namespace render
