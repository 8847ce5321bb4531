// What the timeline draws and the map's car follows, taken once from a drive's rows: per-row
// times, speed, pedal and position, and the spans of brake, assistance and blinkers. A clip's
// rows are spread evenly over its duration; a trip appends its moments, each shifted to trip
// time, so one series serves both. No Qt here.
#pragma once

#include "DrivingEvents.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace analysis {

struct TimeSpan {
    double start = 0.0;
    double end = 0.0;
};

struct StateSpan {
    TimeSpan span;
    std::string state;
};

struct BlinkerTick {
    double time = 0.0;
    bool left = false;
};

inline constexpr double kMaxAbsLatitude = 90.0;
inline constexpr double kMaxAbsLongitude = 180.0;

// The one rule of what a position is worth drawing, placing or exporting: both numbers finite
// and in range, and not exactly (0, 0), which a receiver without a fix writes.
bool isFix(double latitude, double longitude);

struct GeoFix {
    double latitude = DriveRow::kMissing;
    double longitude = DriveRow::kMissing;
    double heading = DriveRow::kMissing;
    bool valid() const;
};

struct DriveSeries {
    double duration = 0.0;
    double topSpeed = 0.0;    // m/s, the highest speed of any row
    std::vector<double> time; // seconds, ascending
    std::vector<float> speed; // m/s, NaN where missing
    std::vector<float> pedal; // 0..1, NaN where missing
    std::vector<GeoFix> fix;
    std::vector<TimeSpan> brake;
    std::vector<StateSpan> assistance; // non-idle stretches only
    std::vector<BlinkerTick> blinkers; // where a blinker comes on
    std::size_t size() const { return time.size(); }
};

// Rows at i * duration / rows.size(); empty unless the duration is a positive number.
DriveSeries driveSeries(std::span<const DriveRow> rows, double duration);

// Appends `part` shifted by `offset` seconds; the whole lasts until the later of both ends.
void appendSeries(DriveSeries& whole, const DriveSeries& part, double offset);

// The last row at or before `time` (the first row before it); none for an empty series.
std::optional<std::size_t> rowAt(const DriveSeries& series, double time);

struct CarPose {
    double latitude = 0.0;
    double longitude = 0.0;
    std::optional<double> heading;
};

// The car between the two rows around `time`: position along the straight line, heading along
// the shorter arc. Where either row lacks a fix the earlier row stands alone; none when it has
// no fix itself.
std::optional<CarPose> carPoseAt(const DriveSeries& series, double time);

// Turns from `from` towards `to` by `fraction` the shorter way round; in [0, 360).
double headingBetween(double from, double to, double fraction);

// The lowest and highest value of each of `columns` equal stretches of [from, to); a stretch
// without a row holds the value of the row before it, NaN where that is missing. The
// timeline's line and area are drawn from these.
struct Envelope {
    float low;
    float high;
};
std::vector<Envelope> envelope(const DriveSeries& series, const std::vector<float>& values,
                               double from, double to, std::size_t columns);

// The route's points with the row each came from: rows with a fix, runs of one place collapsed
// to their first row, as the studio's route is built.
std::vector<std::size_t> routeRows(const DriveSeries& series);

// Where an event on `row` is placed, where the car was: the index of the last route point at or
// before it (the first point when the event comes before every fix); none without points.
// `routeRows` are the points' rows, ascending.
std::optional<std::size_t> routePointAt(std::span<const std::size_t> routeRows, std::size_t row);

} // namespace analysis
