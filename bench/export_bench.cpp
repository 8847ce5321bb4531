// Route files of an hour's drive at 36 rows/s (130,000 rows), from the engine's CSV text as the
// command line writes them: the rows read, the points chosen, the events found and placed,
// the whole text written to a file (the page cache; the flush to disk is the disk's own time).
// Goal: GPX and GeoJSON under 100 ms each.
#include "Exports.h"
#include "SyncedFile.h"
#include "TelemetryRecord.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

constexpr std::size_t kRows = 130000;
constexpr double kRowsPerSecond = 36.0;
constexpr double kDuration = kRows / kRowsPerSecond;
constexpr const char* kClipName = "2026-03-14_08-15-00-front.mp4";

// A drive that moves on every row (no point is dropped as a repeat), with full-precision
// coordinates, a turning heading and speeds that give events now and then.
std::string driveCsv() {
    std::string csv;
    for (const std::string_view column : MetadataExtractor::csvColumns())
        csv.append(csv.empty() ? "" : ",").append(column);
    for (std::size_t i = 0; i < kRows; ++i) {
        const double t = static_cast<double>(i) / kRowsPerSecond;
        const double speed = std::max(0.0, 14.0 + 15.0 * std::sin(t / 95.0) + std::sin(t));
        char row[512];
        std::snprintf(row, sizeof row,
                      "\n1,GEAR_DRIVE,%zu,%.9g,0.31,-2.5,False,False,False,IDLE,%.17g,%.17g,%.17g,"
                      "0.0193415880810,%.17g,9.844341181958967",
                      i, speed, 48.13743 + 1e-5 * t, 11.57549 + 1e-5 * std::sin(t / 60.0),
                      std::fmod(t * 3.0, 720.0) - 360.0, 4.5 * std::sin(t / 3.0));
        csv += row;
    }
    return csv;
}

void exportBenchmark(benchmark::State& state, exports::Format format) {
    const std::string csv = driveCsv();
    std::FILE* file = std::tmpfile();
    if (!file) {
        state.SkipWithError("cannot create a temporary file");
        return;
    }
    const int fd = ::fileno(file);
    off_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (::ftruncate(fd, 0) != 0 || ::lseek(fd, 0, SEEK_SET) != 0)
            state.SkipWithError("cannot empty the file");
        state.ResumeTiming();
        bool written = true;
        exports::render(
            format,
            exports::clipTelemetry(analysis::TelemetryTable::fromCsv(csv), kClipName, kDuration),
            [&](std::string_view piece) { written = written && exports::writeAll(fd, piece); });
        if (!written)
            state.SkipWithError("cannot write the file");
        bytes = ::lseek(fd, 0, SEEK_CUR);
    }
    std::fclose(file);
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_Gpx(benchmark::State& state) {
    exportBenchmark(state, exports::Format::Gpx);
}
BENCHMARK(BM_Gpx)->Unit(benchmark::kMillisecond);

void BM_GeoJson(benchmark::State& state) {
    exportBenchmark(state, exports::Format::GeoJson);
}
BENCHMARK(BM_GeoJson)->Unit(benchmark::kMillisecond);

void BM_Kml(benchmark::State& state) {
    exportBenchmark(state, exports::Format::Kml);
}
BENCHMARK(BM_Kml)->Unit(benchmark::kMillisecond);

void BM_JsonLines(benchmark::State& state) {
    exportBenchmark(state, exports::Format::JsonLines);
}
BENCHMARK(BM_JsonLines)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
