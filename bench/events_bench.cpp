// Driving events over an hour's drive at 36 rows/s (130,000 rows): from rows already read, and
// from the engine's CSV text as the command line does it.
#include "DrivingEvents.h"
#include "TelemetryRecord.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kRows = 130000;
constexpr double kRowsPerSecond = 36.0;
constexpr double kDuration = kRows / kRowsPerSecond;

// Speed and cornering that cross every threshold now and then, assistance switching every
// minute and a half, and a stop every ten minutes.
std::string driveCsv() {
    std::string csv;
    for (const std::string_view column : MetadataExtractor::csvColumns())
        csv.append(csv.empty() ? "" : ",").append(column);
    for (std::size_t i = 0; i < kRows; ++i) {
        const double t = static_cast<double>(i) / kRowsPerSecond;
        const double speed = std::max(0.0, 14.0 + 15.0 * std::sin(t / 95.0) + std::sin(t));
        const char* state = static_cast<long>(t / 90.0) % 2 ? "LANE_GUIDE" : "IDLE";
        char row[512];
        std::snprintf(row, sizeof row,
                      "\n1,GEAR_DRIVE,%zu,%.9g,0.31,-2.5,False,False,False,%s,48.13743,11.57549,"
                      "30.0,0.0193415880810,%.17g,9.844341181958967",
                      i, speed, state, 4.5 * std::sin(t / 3.0));
        csv += row;
    }
    return csv;
}

const std::string& csv() {
    static const std::string text = driveCsv();
    return text;
}

void BM_EventsFromRows(benchmark::State& state) {
    const analysis::TelemetryTable table = analysis::TelemetryTable::fromCsv(csv());
    const std::span<const analysis::DriveRow> rows = table.rows();
    for (auto _ : state)
        benchmark::DoNotOptimize(analysis::findEvents(rows, kDuration));
    state.counters["events"] = static_cast<double>(analysis::findEvents(rows, kDuration).size());
}
BENCHMARK(BM_EventsFromRows)->Unit(benchmark::kMillisecond);

void BM_EventsFromCsv(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(
            analysis::findEvents(analysis::TelemetryTable::fromCsv(csv()).rows(), kDuration));
}
BENCHMARK(BM_EventsFromCsv)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
