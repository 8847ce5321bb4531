// One pass over the rows: each rule keeps only its own running state, so a long trip costs no
// more memory than its events.
#include "DrivingEvents.h"

#include "MetadataExtractor.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <tuple>

namespace analysis {
namespace {

// Row i is at i * duration / rows seconds.
struct TimeBase {
    double duration;
    double rows;
    double at(std::size_t row) const { return static_cast<double>(row) * duration / rows; }
    bool lastsLongEnough(std::size_t runRows) const {
        return static_cast<double>(runRows - 1) * duration / rows >=
               kShortestRunSeconds - kRunSecondsTolerance;
    }
};

// Maximal stretches of rows that meet one condition; a stretch that lasts long enough counts.
// Counted stretches of one direction less than kMergeGapSeconds apart are one manoeuvre (a
// braking that hovers about the threshold), so one event at the first one's first row, valued
// at the largest magnitude within them.
class RunRule {
public:
    RunRule(EventKind kind, const TimeBase& time, std::vector<DrivingEvent>& events)
        : kind_(kind), time_(time), events_(events) {}

    // `direction` tells stretches apart that never merge (a left and a right turn).
    void row(std::size_t index, bool meets, double magnitude, int direction = 0) {
        if (!meets) {
            endRun();
            return;
        }
        if (length_++ == 0) {
            first_ = index;
            peak_ = magnitude;
            direction_ = direction;
        }
        last_ = index;
        peak_ = std::max(peak_, magnitude);
    }

    void end() {
        endRun();
        flush();
    }

private:
    struct Manoeuvre {
        std::size_t first = 0, last = 0;
        double peak = 0.0;
        int direction = 0;
    };

    void endRun() {
        if (length_ > 0 && time_.lastsLongEnough(length_)) {
            if (hasPending_ && pending_.direction == direction_ &&
                time_.at(first_) - time_.at(pending_.last) <
                    kMergeGapSeconds - kRunSecondsTolerance) {
                pending_.last = last_;
                pending_.peak = std::max(pending_.peak, peak_);
            } else {
                flush();
                pending_ = Manoeuvre{first_, last_, peak_, direction_};
                hasPending_ = true;
            }
        }
        length_ = 0;
    }

    void flush() {
        if (hasPending_)
            events_.push_back({kind_, time_.at(pending_.first), pending_.peak, {}});
        hasPending_ = false;
    }

    EventKind kind_;
    const TimeBase& time_;
    std::vector<DrivingEvent>& events_;
    std::size_t first_ = 0, last_ = 0;
    std::size_t length_ = 0;
    double peak_ = 0.0;
    int direction_ = 0;
    // A plain member and a flag: GCC's -O3 took an optional's payload for uninitialised.
    Manoeuvre pending_;
    bool hasPending_ = false;
};

std::string_view assistanceOf(const DriveRow& row) {
    return row.assistance.empty() ? kIdleState : row.assistance;
}

// Rows on either side of a row that its acceleration is taken over; `rows` when no row has
// that many on both sides.
std::size_t accelerationHalfWindow(const TimeBase& time, std::size_t rows) {
    const double window =
        std::floor(kAccelerationHalfWindowSeconds * time.rows / time.duration + 0.5);
    if (window >= static_cast<double>(rows))
        return rows;
    return std::max<std::size_t>(1, static_cast<std::size_t>(window));
}

void sortByTimeThenKind(std::vector<DrivingEvent>& events) {
    std::stable_sort(events.begin(), events.end(), [](const auto& a, const auto& b) {
        return std::tie(a.time, a.kind) < std::tie(b.time, b.kind);
    });
}

} // namespace

std::vector<DrivingEvent> findEvents(std::span<const DriveRow> rows, double duration) {
    std::vector<DrivingEvent> events;
    if (rows.empty() || !std::isfinite(duration) || duration <= 0.0)
        return events;
    const std::size_t count = rows.size();
    const TimeBase time{duration, static_cast<double>(count)};
    const std::size_t h = accelerationHalfWindow(time, count);
    RunRule brake(EventKind::HardBrake, time, events);
    RunRule accel(EventKind::HardAccel, time, events);
    RunRule turn(EventKind::SharpTurn, time, events);
    std::string_view state = assistanceOf(rows.front());
    bool moving = false;
    for (std::size_t i = 0; i < count; ++i) {
        const DriveRow& row = rows[i];
        const bool hasAcceleration = i >= h && i + h < count && std::isfinite(rows[i - h].speed) &&
                                     std::isfinite(rows[i + h].speed);
        const double a = hasAcceleration ? (rows[i + h].speed - rows[i - h].speed) /
                                               (time.at(i + h) - time.at(i - h))
                                         : 0.0;
        brake.row(i, hasAcceleration && a <= kHardBrakeMps2, -a);
        accel.row(i, hasAcceleration && a >= kHardAccelMps2, a);
        const double lateral = std::abs(row.lateral);
        turn.row(i, std::isfinite(lateral) && lateral >= kSharpTurnMps2, lateral,
                 row.lateral < 0 ? -1 : 1);

        const std::string_view now = assistanceOf(row);
        if (now != state && state == kIdleState)
            events.push_back({EventKind::AssistOn, time.at(i), 0.0, std::string(now)});
        else if (now != state && now == kIdleState)
            events.push_back({EventKind::AssistOff, time.at(i), 0.0, std::string(state)});
        state = now;

        if (!std::isfinite(row.speed))
            continue;
        if (moving && row.speed < kStoppedMps) {
            events.push_back({EventKind::Stop, time.at(i), 0.0, {}});
            moving = false;
        } else if (row.speed >= kMovingMps) {
            moving = true;
        }
    }
    brake.end();
    accel.end();
    turn.end();
    sortByTimeThenKind(events);
    return events;
}

std::string extractedCsv(const std::string& path) {
    MetadataExtractor::Output output = MetadataExtractor::extract(path);
    if (!output.isSuccess() || output.text().starts_with(MetadataExtractor::kNoMetadataNotice))
        return {};
    return output.text();
}

std::vector<DrivingEvent> findTripEvents(const trips::Trip& trip, const CsvSource& csvOf) {
    std::vector<TelemetryTable> tables(trip.moments.size());
    std::vector<const TelemetryTable*> byMoment(trip.moments.size());
    for (std::size_t index = 0; index < trip.moments.size(); ++index) {
        const trips::Moment& moment = trip.moments[index];
        if (const trips::MomentClip* clip = moment.telemetryClip(); clip && clip->duration) {
            tables[index] = TelemetryTable::fromCsv(
                csvOf((std::filesystem::path(moment.folder) / clip->fileName).string()));
            byMoment[index] = &tables[index];
        }
    }
    return findTripEvents(trip, byMoment);
}

std::vector<DrivingEvent> findTripEvents(const trips::Trip& trip,
                                         std::span<const TelemetryTable* const> momentTables) {
    std::vector<DrivingEvent> events;
    for (std::size_t index = 0; index < trip.moments.size() && index < momentTables.size();
         ++index) {
        const trips::MomentClip* clip = trip.moments[index].telemetryClip();
        if (!clip || !clip->duration || !momentTables[index])
            continue;
        for (DrivingEvent& event : findEvents(momentTables[index]->rows(), *clip->duration)) {
            event.time += trip.momentOffset(index);
            events.push_back(std::move(event));
        }
    }
    sortByTimeThenKind(events);
    return events;
}

} // namespace analysis
