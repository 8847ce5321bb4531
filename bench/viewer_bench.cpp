// Viewer model costs: ingesting the CSV of a 100,000-record clip, and evaluating the readout
// and the route values at random playback times. Also prints the table's memory against the
// CSV text. Run: viewer_bench [--benchmark_filter=...]
#include "ContentView.h"
#include "TelemetryReadout.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <cstdio>
#include <random>

namespace {

constexpr int kRecords = 100000;
constexpr int kEvaluations = 10000;
constexpr double kClipSeconds = 3333.0;

// CSV in the extractor's layout: fixed header, 16 cells per line, shortest float texts.
const QString& syntheticCsv() {
    static const QString text = [] {
        QString csv = QStringLiteral(
            "version,gear_state,frame_seq_no,vehicle_speed_mps,accelerator_pedal_position,"
            "steering_wheel_angle,blinker_on_left,blinker_on_right,brake_applied,navark_state,"
            "latitude_deg,longitude_deg,heading_deg,linear_acceleration_mps2_x,"
            "linear_acceleration_mps2_y,linear_acceleration_mps2_z");
        std::mt19937 random(7);
        std::uniform_real_distribution<double> unit(0, 1);
        const char* gears[] = {"GEAR_DRIVE", "GEAR_PARK", "GEAR_REVERSE", "GEAR_NEUTRAL"};
        const char* assists[] = {"IDLE", "FULL_GUIDE", "LANE_GUIDE", "PACE_GUIDE"};
        double lat = 37.774929, lon = -122.419416;
        for (int i = 0; i < kRecords; ++i) {
            lat += (unit(random) - 0.5) * 1e-4;
            lon += (unit(random) - 0.5) * 1e-4;
            csv += QString::asprintf(
                "\n1,%s,%d,%.7g,%.5g,%.6g,%s,%s,%s,%s,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g",
                gears[i % 4], i, unit(random) * 40, unit(random) * 100, unit(random) * 90 - 45,
                i % 50 < 25 ? "True" : "False", "False", i % 7 ? "False" : "True", assists[i % 4],
                lat, lon, unit(random) * 360, unit(random) - 0.5, unit(random) - 0.5,
                9.80665 + unit(random) * 0.01);
        }
        // The extractor's text arrives at its exact size.
        csv.squeeze();
        return csv;
    }();
    return text;
}

void BM_ParseTable(benchmark::State& state) {
    const QString& csv = syntheticCsv();
    for (auto _ : state) {
        MetadataTable table;
        benchmark::DoNotOptimize(table.parse(csv));
    }
    state.SetBytesProcessed(state.iterations() * csv.size());
}
BENCHMARK(BM_ParseTable)->Unit(benchmark::kMillisecond);

// A clip's table and route; with its duration too, what its whole load costs the studio: the
// player's duration brings the timeline's series and the events.
void BM_IngestCsv(benchmark::State& state, bool withDuration) {
    const QString& csv = syntheticCsv();
    for (auto _ : state) {
        state.PauseTiming();
        auto* view = new ContentView;
        state.ResumeTiming();
        view->telemetry()->show(ClipTelemetry::Clip::fromCsv(csv));
        if (withDuration)
            view->clock()->setPlaybackDuration(kClipSeconds);
        benchmark::DoNotOptimize(view->telemetry()->routeCoordinates().size());
        state.PauseTiming();
        delete view;
        state.ResumeTiming();
    }
}
BENCHMARK_CAPTURE(BM_IngestCsv, table, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_IngestCsv, andDuration, true)->Unit(benchmark::kMillisecond);

// Readout (overlay, cards, grid) and route values at kEvaluations random times.
void BM_ReadoutAndRouteAtRandomTimes(benchmark::State& state) {
    ContentView view;
    view.telemetry()->show(ClipTelemetry::Clip::fromCsv(syntheticCsv()));
    view.clock()->setPlaybackDuration(kClipSeconds);
    std::mt19937 random(11);
    std::uniform_real_distribution<double> time(0, kClipSeconds);
    for (auto _ : state) {
        for (int i = 0; i < kEvaluations; ++i) {
            view.clock()->setPlaybackTime(time(random)); // recomputes the readout object
            benchmark::DoNotOptimize(view.readout()->coordinate());
            benchmark::DoNotOptimize(view.readout()->progress());
            benchmark::DoNotOptimize(view.readout()->heading());
        }
    }
    state.SetItemsProcessed(state.iterations() * kEvaluations);
}
BENCHMARK(BM_ReadoutAndRouteAtRandomTimes)->Unit(benchmark::kMillisecond);

void printMemory() {
    const QString& csv = syntheticCsv();
    MetadataTable table;
    table.parse(csv);
    const double utf8Bytes = static_cast<double>(csv.toUtf8().size());
    const double textBytes = static_cast<double>(table.table().text().size());
    const double typedBytes =
        static_cast<double>(table.table().rowCount() * sizeof(analysis::DriveRow));
    const double offsetBytes = static_cast<double>(table.memoryBytes()) - textBytes - typedBytes;
    std::printf("CSV text: %d rows, %.1f MB as UTF-8, %.1f MB as QString\n",
                static_cast<int>(table.rowCount()), utf8Bytes / 1e6, csv.size() * 2 / 1e6);
    std::printf("table: %.1f MB (UTF-8 text %.1f MB + offsets %.1f MB + typed rows %.1f MB) = "
                "%.2fx the UTF-8 text, %.2fx the QString text\n",
                table.memoryBytes() / 1e6, textBytes / 1e6, offsetBytes / 1e6, typedBytes / 1e6,
                table.memoryBytes() / utf8Bytes, table.memoryBytes() / (csv.size() * 2.0));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    printMemory();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
