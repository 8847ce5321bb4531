// Route map costs on a 100,000-point route: rebuilding the route, a playback tick that changes
// nothing, a tick that moves the car (update plus repaint of the item), and redrawing the
// track after the view moved.
#include "RouteMapView.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
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
