// A simulated drive through a town: one telemetry record per video frame with all 16
// fields, coherent with each other (speed from pedal and brake, heading from the route).
#pragma once

#include "TelemetryRecord.h"

#include <cstdint>
#include <vector>

namespace clipgen {

std::vector<TelemetryRecord> simulateDrive(std::int64_t frames, double fps, std::uint64_t seed);

} // namespace clipgen
