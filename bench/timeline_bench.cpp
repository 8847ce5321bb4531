// The timeline and the route colours over an hour's drive at 36 rows/s (130,000 rows): the
// strip's geometry and paint after a change of drive, size or zoom; a playhead move in a real
// window, which must not paint the strip again; and colouring a 100,000-point route by speed.
#include "RouteColouring.h"
#include "TimelineItem.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QQuickPaintedItem>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <cmath>

namespace {

constexpr std::size_t kRows = 130000;
constexpr std::size_t kRoutePoints = 100000;
constexpr double kRowsPerSecond = 36.0;
const QSize kStripSize(1200, 96);

// Speed rising and falling, the pedal with it, braking and assistance now and then.
std::vector<analysis::DriveRow> driveRows(std::size_t count) {
    std::vector<analysis::DriveRow> rows(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRowsPerSecond;
        analysis::DriveRow& row = rows[i];
        row.speed = std::max(0.0, 14.0 + 15.0 * std::sin(t / 95.0) + std::sin(t));
        row.pedal = 50.0 + 50.0 * std::sin(t / 7.0);
        row.brake = std::sin(t / 11.0) > 0.9;
        row.assistance = static_cast<long>(t / 90.0) % 2 ? "LANE_GUIDE" : "";
        row.blinkerLeft = std::sin(t / 13.0) > 0.95;
        row.latitude = 48.0 + 0.4 * static_cast<double>(i) / static_cast<double>(count);
        row.longitude = 11.0 + 0.01 * std::sin(t / 50.0);
        row.heading = std::fmod(t, 360.0);
    }
    return rows;
}

// The playhead: a small filled bar.
class Bar : public QQuickPaintedItem {
public:
    using QQuickPaintedItem::QQuickPaintedItem;
    void paint(QPainter* painter) override { painter->fillRect(boundingRect(), Qt::white); }
};

DriveData& drive(std::size_t count) {
    static DriveData data;
    if (data.series().size() != count) {
        const std::vector<analysis::DriveRow> rows = driveRows(count);
        const double duration = static_cast<double>(count) / kRowsPerSecond;
        data.setDrive(analysis::driveSeries(rows, duration), analysis::findEvents(rows, duration));
    }
    return data;
}

void BM_TimelineGeometry(benchmark::State& state) {
    TimelineItem item;
    item.setSize(kStripSize);
    item.setDrive(&drive(kRows));
    QImage image(kStripSize, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        item.paint(&painter);
    }
}
BENCHMARK(BM_TimelineGeometry)->Unit(benchmark::kMillisecond);

void BM_PlayheadMove(benchmark::State& state) {
    QQuickWindow window;
    window.resize(kStripSize);
    auto* strip = new TimelineItem(window.contentItem());
    strip->setSize(kStripSize);
    strip->setDrive(&drive(kRows));
    auto* playhead = new Bar(window.contentItem());
    playhead->setSize(QSizeF(2, kStripSize.height()));
    window.show();
    window.grabWindow();
    const int paints = strip->paintCount();
    double x = 0;
    for (auto _ : state) {
        x = std::fmod(x + 1.0, kStripSize.width());
        playhead->setX(x);
        benchmark::DoNotOptimize(window.grabWindow());
    }
    state.counters["strip paints"] = strip->paintCount() - paints;
}
BENCHMARK(BM_PlayheadMove)->Unit(benchmark::kMillisecond);

void BM_RouteColouringBySpeed(benchmark::State& state) {
    const DriveData& data = drive(kRoutePoints);
    const auto points = static_cast<qsizetype>(data.routeRows().size());
    for (auto _ : state)
        benchmark::DoNotOptimize(routeColours(data, RouteColouring::Speed, points));
    state.counters["points"] = static_cast<double>(points);
}
BENCHMARK(BM_RouteColouringBySpeed)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
