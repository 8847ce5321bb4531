// Route map costs on a 100,000-point route: rebuilding the route, a playback tick that changes
// nothing, a tick that moves the car (update plus repaint of the item), and redrawing the
// track after the view moved; and reading one tile from an MBTiles file.
#include "MbTiles.h"
#include "MbTilesWriter.h"
#include "RouteMapView.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

constexpr int kRoutePoints = 100000;
const QSize kItemSize(300, 170);

// A winding drive of about 100 km, one point per frame.
GeoCoordinateList makeRoute() {
    GeoCoordinateList route;
    route.reserve(kRoutePoints);
    for (int i = 0; i < kRoutePoints; ++i) {
        const double t = i / double(kRoutePoints);
        route.append({48.0 + 0.4 * t + 0.01 * std::sin(t * 300.0),
                      11.0 + 0.6 * t + 0.01 * std::cos(t * 170.0)});
    }
    return route;
}

const GeoCoordinateList& route() {
    static const GeoCoordinateList r = makeRoute();
    return r;
}

void paintInto(RouteMapView& view, QImage& image) {
    QPainter painter(&image);
    view.paint(&painter);
}

void BM_MapRebuild(benchmark::State& state) {
    RouteMapView view;
    view.setSize(kItemSize);
    view.setCoordinates(route());
    int identity = 0;
    for (auto _ : state) {
        view.setRouteIdentity(QString::number(++identity));
        view.updateMap();
    }
    state.counters["rebuilds"] = view.coordinator().rebuildCount();
}
BENCHMARK(BM_MapRebuild)->Unit(benchmark::kMillisecond);

void BM_MapRebuildAndFirstPaint(benchmark::State& state) {
    RouteMapView view;
    view.setSize(kItemSize);
    view.setCoordinates(route());
    QImage image(kItemSize, QImage::Format_ARGB32_Premultiplied);
    int identity = 0;
    for (auto _ : state) {
        view.setRouteIdentity(QString::number(++identity));
        view.updateMap();
        paintInto(view, image);
    }
}
BENCHMARK(BM_MapRebuildAndFirstPaint)->Unit(benchmark::kMillisecond);

void BM_MapCarUpdateUnchanged(benchmark::State& state) {
    RouteMapView view;
    view.setSize(kItemSize);
    view.setCoordinates(route());
    view.setCarCoordinate(QVariant::fromValue(route()[500]));
    view.updateMap();
    const int before = view.repaintRequestCount();
    int tick = 0;
    for (auto _ : state) {
        // The progress moves, the current coordinate and heading do not.
        view.setProgress(double(++tick % 1000) / 1000.0);
        view.updateMap();
    }
    state.counters["repaints"] = view.repaintRequestCount() - before;
}
BENCHMARK(BM_MapCarUpdateUnchanged)->Unit(benchmark::kMicrosecond);

void BM_MapCarMoveAndRepaint(benchmark::State& state) {
    RouteMapView view;
    view.setSize(kItemSize);
    view.setCoordinates(route());
    view.updateMap();
    QImage image(kItemSize, QImage::Format_ARGB32_Premultiplied);
    paintInto(view, image);
    const int before = view.repaintRequestCount();
    int tick = 0;
    for (auto _ : state) {
        const int index = (++tick * 7) % kRoutePoints;
        view.setCarCoordinate(QVariant::fromValue(route()[index]));
        view.setHeading(double(tick % 360));
        view.updateMap();
        paintInto(view, image);
    }
    state.counters["repaints/tick"] =
        benchmark::Counter(view.repaintRequestCount() - before, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_MapCarMoveAndRepaint)->Unit(benchmark::kMicrosecond);

void BM_MapCarFromProgress(benchmark::State& state) {
    RouteMapView view;
    view.setSize(kItemSize);
    view.setCoordinates(route());
    view.updateMap();
    int tick = 0;
    for (auto _ : state) {
        view.setProgress(double(++tick % 1000) / 1000.0);
        view.updateMap();
    }
}
BENCHMARK(BM_MapCarFromProgress)->Unit(benchmark::kMicrosecond);

void BM_MapTrackRedrawAfterPan(benchmark::State& state) {
    RouteMapView view;
    view.setSize(kItemSize);
    view.setCoordinates(route());
    view.updateMap();
    QImage image(kItemSize, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        view.showMapRect(view.visibleMapRect(), 0.0, false); // a moved view: the layer redraws
        paintInto(view, image);
    }
}
BENCHMARK(BM_MapTrackRedrawAfterPan)->Unit(benchmark::kMillisecond);

// Tiles of about the size of real map tiles: blocks of random colour compress like drawn maps.
QImage noisyTile(QRandomGenerator& random) {
    QImage image = tileImage(Qt::white);
    QPainter painter(&image);
    constexpr int kBlock = 8;
    for (int y = 0; y < image.height(); y += kBlock)
        for (int x = 0; x < image.width(); x += kBlock)
            painter.fillRect(x, y, kBlock, kBlock, QColor::fromRgb(random.generate() % 64 + 160));
    return image;
}

// One tile read as the reader's thread does it: the query, then the PNG decode. Keys cycle
// over many more tiles than the reader keeps decoded, so every read goes to the file.
void BM_MbTilesReadMedian(benchmark::State& state) {
    constexpr int kLevels = 15;
    constexpr int kSide = 6;
    QTemporaryDir dir;
    const QString path = dir.filePath("bench.mbtiles");
    QRandomGenerator random(7);
    QList<std::pair<TileKey, QImage>> tiles;
    for (int zoom = 0; zoom < kLevels; ++zoom) {
        const mapgeo::MapPoint munich = mapgeo::mapPointForCoordinate({48.14, 11.58});
        const int cx = int(munich.x / tiles::tileSpanMapPoints(zoom));
        const int cy = int(munich.y / tiles::tileSpanMapPoints(zoom));
        const int last = (1 << zoom) - 1;
        for (int y = std::max(0, cy - kSide / 2); y <= std::min(last, cy + kSide / 2); ++y)
            for (int x = std::max(0, cx - kSide / 2); x <= std::min(last, cx + kSide / 2); ++x)
                tiles.append({{zoom, x, y}, noisyTile(random)});
    }
    if (!writeMbTiles(path, {{"format", "png"}}, tiles)) {
        state.SkipWithError("cannot write the MBTiles file");
        return;
    }
    MbTilesReader reader;
    if (reader.open(path)) {
        state.SkipWithError("cannot open the MBTiles file");
        return;
    }
    std::vector<double> readMs;
    qsizetype next = 0;
    for (auto _ : state) {
        const TileKey key = tiles[next++ % tiles.size()].first;
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(reader.read(key));
        readMs.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::nth_element(readMs.begin(), readMs.begin() + readMs.size() / 2, readMs.end());
    state.counters["median_ms"] = readMs[readMs.size() / 2];
    state.counters["tiles"] = double(tiles.size());
}
BENCHMARK(BM_MbTilesReadMedian)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Measure drawing, not the network.
    qputenv("VELDRIN_TILE_URL", "http://127.0.0.1:9/{z}/{x}/{y}.png");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
