// Driving events in a clip's telemetry: hard braking and acceleration, sharp turns, driver
// assistance switching on and off, stops. Rows are taken as spread evenly over the clip's
// duration. No Qt here.
#pragma once

#include "TelemetryTable.h"
#include "Trips.h"

#include <array>
#include <cstddef>
#include <functional>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace analysis {

// Listed in the order that events of the same time are reported in.
enum class EventKind { HardBrake, HardAccel, SharpTurn, AssistOn, AssistOff, Stop };
inline constexpr std::array<std::string_view, 6> kEventKindNames = {
    "hard_brake", "hard_accel", "sharp_turn", "assist_on", "assist_off", "stop"};
inline std::string_view eventKindName(EventKind kind) {
    return kEventKindNames[static_cast<std::size_t>(kind)];
}

// Speed differences are taken over this many seconds before and after a row.
inline constexpr double kAccelerationHalfWindowSeconds = 0.25;
inline constexpr double kHardBrakeMps2 = -3.0;
inline constexpr double kHardAccelMps2 = 3.0;
inline constexpr double kSharpTurnMps2 = 4.0;
// A condition counts once it has held this long, from its first row to its last.
inline constexpr double kShortestRunSeconds = 0.3;
inline constexpr double kRunSecondsTolerance = 1e-9;
// Two counted runs of one kind (and, for turns, one direction) closer than this, from the
// earlier one's last row to the later one's first, are one event.
inline constexpr double kMergeGapSeconds = 1.0;
// A stop needs a drive of at least this speed first, then a speed below kStoppedMps.
inline constexpr double kMovingMps = 3.0;
inline constexpr double kStoppedMps = 0.3;
// The assistance state of a row whose state is empty or missing.
inline constexpr std::string_view kIdleState = "IDLE";

struct DrivingEvent {
    EventKind kind = EventKind::Stop;
    double time = 0.0;  // seconds from the start of the clip (or trip)
    double value = 0.0; // m/s² for hard_brake, hard_accel and sharp_turn
    std::string state;  // assist_on: the state switched to; assist_off: the state left
    friend bool operator==(const DrivingEvent&, const DrivingEvent&) = default;
};

// Events in time order, ties in EventKind order. Nothing when `duration` is not a positive
// number of seconds.
std::vector<DrivingEvent> findEvents(std::span<const DriveRow> rows, double duration);

// The CSV text of the clip at `path`; empty when it has no telemetry or cannot be read.
using CsvSource = std::function<std::string(const std::string& path)>;
std::string extractedCsv(const std::string& path);

// A trip's events: each moment's telemetry clip on its own duration and rows, so no run
// crosses from one moment into the next, then shifted to trip time.
std::vector<DrivingEvent> findTripEvents(const trips::Trip& trip,
                                         const CsvSource& csvOf = extractedCsv);
// The same from each moment's table, already read once (indexed by moment; null: none).
std::vector<DrivingEvent> findTripEvents(const trips::Trip& trip,
                                         std::span<const TelemetryTable* const> momentTables);

} // namespace analysis
