// Drive series for the timeline and the car; see DriveSeries.h.
#include "DriveSeries.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace analysis {
namespace {

constexpr double kFullTurn = 360.0;
constexpr double kHalfTurn = 180.0;
constexpr double kPedalPercent = 100.0;

float fractionOfPedal(double percent) {
    if (!std::isfinite(percent))
        return std::numeric_limits<float>::quiet_NaN();
    return static_cast<float>(std::clamp(percent / kPedalPercent, 0.0, 1.0));
}

// Spans of consecutive rows that are on; one still open at the end closes there.
class SpanTracker {
public:
    explicit SpanTracker(std::vector<TimeSpan>& spans) : spans_(spans) {}
    void row(double time, bool on) {
        if (on && !open_)
            start_ = time;
        else if (!on && open_)
            spans_.push_back({start_, time});
        open_ = on;
    }
    void end(double time) {
        if (open_)
            spans_.push_back({start_, time});
    }

private:
    std::vector<TimeSpan>& spans_;
    double start_ = 0.0;
    bool open_ = false;
};

} // namespace

bool isFix(double latitude, double longitude) {
    // Written so that NaN fails too.
    return std::fabs(latitude) <= kMaxAbsLatitude && std::fabs(longitude) <= kMaxAbsLongitude &&
           (latitude != 0.0 || longitude != 0.0);
}

bool GeoFix::valid() const {
    return isFix(latitude, longitude);
}

DriveSeries driveSeries(std::span<const DriveRow> rows, double duration) {
    DriveSeries series;
    if (rows.empty() || !std::isfinite(duration) || duration <= 0.0)
        return series;
    series.duration = duration;
    const std::size_t count = rows.size();
    series.time.reserve(count);
    series.speed.reserve(count);
    series.pedal.reserve(count);
    series.fix.reserve(count);
    SpanTracker brake(series.brake);
    std::string_view state = kIdleState;
    double stateStart = 0.0;
    bool left = false;
    bool right = false;
    for (std::size_t i = 0; i < count; ++i) {
        const DriveRow& row = rows[i];
        const double t = static_cast<double>(i) * duration / static_cast<double>(count);
        series.time.push_back(t);
        series.speed.push_back(static_cast<float>(row.speed));
        if (row.speed > series.topSpeed)
            series.topSpeed = row.speed;
        series.pedal.push_back(fractionOfPedal(row.pedal));
        series.fix.push_back({row.latitude, row.longitude, row.heading});
        brake.row(t, row.brake);
        const std::string_view now = row.assistance.empty() ? kIdleState : row.assistance;
        if (now != state) {
            if (state != kIdleState)
                series.assistance.push_back({{stateStart, t}, std::string(state)});
            state = now;
            stateStart = t;
        }
        if (row.blinkerLeft && !left)
            series.blinkers.push_back({t, true});
        if (row.blinkerRight && !right)
            series.blinkers.push_back({t, false});
        left = row.blinkerLeft;
        right = row.blinkerRight;
    }
    brake.end(duration);
    if (state != kIdleState)
        series.assistance.push_back({{stateStart, duration}, std::string(state)});
    return series;
}

void appendSeries(DriveSeries& whole, const DriveSeries& part, double offset) {
    for (double t : part.time)
        whole.time.push_back(t + offset);
    whole.speed.insert(whole.speed.end(), part.speed.begin(), part.speed.end());
    whole.pedal.insert(whole.pedal.end(), part.pedal.begin(), part.pedal.end());
    whole.fix.insert(whole.fix.end(), part.fix.begin(), part.fix.end());
    for (const TimeSpan& span : part.brake)
        whole.brake.push_back({span.start + offset, span.end + offset});
    for (const StateSpan& span : part.assistance)
        whole.assistance.push_back(
            {{span.span.start + offset, span.span.end + offset}, span.state});
    for (const BlinkerTick& tick : part.blinkers)
        whole.blinkers.push_back({tick.time + offset, tick.left});
    whole.duration = std::max(whole.duration, part.duration + offset);
    whole.topSpeed = std::max(whole.topSpeed, part.topSpeed);
}

std::optional<std::size_t> rowAt(const DriveSeries& series, double time) {
    if (series.time.empty())
        return std::nullopt;
    const auto after = std::upper_bound(series.time.begin(), series.time.end(), time);
    return after == series.time.begin() ? 0
                                        : static_cast<std::size_t>(after - series.time.begin()) - 1;
}

double headingBetween(double from, double to, double fraction) {
    double turn = std::fmod(to - from, kFullTurn);
    if (turn > kHalfTurn)
        turn -= kFullTurn;
    else if (turn < -kHalfTurn)
        turn += kFullTurn;
    const double heading = std::fmod(from + fraction * turn, kFullTurn);
    return heading < 0.0 ? heading + kFullTurn : heading;
}

std::optional<CarPose> carPoseAt(const DriveSeries& series, double time) {
    const std::optional<std::size_t> row = rowAt(series, time);
    if (!row || !series.fix[*row].valid())
        return std::nullopt;
    const GeoFix& a = series.fix[*row];
    CarPose pose{a.latitude, a.longitude, std::nullopt};
    if (std::isfinite(a.heading))
        pose.heading = a.heading;
    const std::size_t next = *row + 1;
    if (next >= series.size() || !series.fix[next].valid() || !(time > series.time[*row]))
        return pose;
    const GeoFix& b = series.fix[next];
    const double f =
        std::min(1.0, (time - series.time[*row]) / (series.time[next] - series.time[*row]));
    pose.latitude += f * (b.latitude - a.latitude);
    pose.longitude += f * (b.longitude - a.longitude);
    if (pose.heading && std::isfinite(b.heading))
        pose.heading = headingBetween(a.heading, b.heading, f);
    return pose;
}

std::vector<Envelope> envelope(const DriveSeries& series, const std::vector<float>& values,
                               double from, double to, std::size_t columns) {
    constexpr float kNone = std::numeric_limits<float>::quiet_NaN();
    std::vector<Envelope> out(columns, Envelope{kNone, kNone});
    if (columns == 0 || !(to > from))
        return out;
    const double perColumn = static_cast<double>(columns) / (to - from);
    const auto first = std::lower_bound(series.time.begin(), series.time.end(), from);
    for (auto it = first; it != series.time.end() && *it < to; ++it) {
        const auto i = static_cast<std::size_t>(it - series.time.begin());
        const float v = values[i];
        if (std::isnan(v))
            continue;
        Envelope& e =
            out[std::min(columns - 1, static_cast<std::size_t>((*it - from) * perColumn))];
        if (std::isnan(e.low)) {
            e = {v, v};
        } else {
            e.low = std::min(e.low, v);
            e.high = std::max(e.high, v);
        }
    }
    // Where rows are sparser than columns, a column without a row of its own shows the row
    // before it.
    for (std::size_t c = 0; c < columns; ++c) {
        if (!std::isnan(out[c].low))
            continue;
        const std::optional<std::size_t> row =
            rowAt(series, from + static_cast<double>(c) / perColumn);
        if (row && series.time[*row] <= from + static_cast<double>(c) / perColumn)
            out[c] = {values[*row], values[*row]};
    }
    return out;
}

std::vector<std::size_t> routeRows(const DriveSeries& series) {
    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < series.size(); ++i) {
        const GeoFix& f = series.fix[i];
        if (!f.valid())
            continue;
        if (!rows.empty() && series.fix[rows.back()].latitude == f.latitude &&
            series.fix[rows.back()].longitude == f.longitude)
            continue;
        rows.push_back(i);
    }
    return rows;
}

std::optional<std::size_t> routePointAt(std::span<const std::size_t> routeRows, std::size_t row) {
    if (routeRows.empty())
        return std::nullopt;
    const auto after = std::upper_bound(routeRows.begin(), routeRows.end(), row);
    return after == routeRows.begin() ? 0 : static_cast<std::size_t>(after - routeRows.begin()) - 1;
}

} // namespace analysis
