// The studio's own cost while a clip plays, against the same clip in a bare QML player, and
// the time from a drop to the first telemetry row on screen. Run by the studio_bench target.
//
//   studio_bench studio CLIP SECONDS [SCREENSHOT.png]
//                                       drop-to-row milliseconds, CPU seconds, frames and
//                                       resident memory while the studio plays the clip, then
//                                       the sizes of its window and video item meanwhile
//   studio_bench bare   CLIP SECONDS WINDOW_W WINDOW_H VIDEO_W VIDEO_H
//                                       the same of a MediaPlayer + VideoOutput window of the
//                                       studio's size with its video item as large, so both
//                                       draw the same picture area
//
// VELDRIN_BENCH_HIDE=name,name makes the studio's items of those object or type names
// transparent, layout kept, to see what the rest costs.
#include "ClipSources.h"
#include "VeldrinApp.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMediaPlayer>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {
constexpr int kUsageExit = 2;
constexpr int kLoadTimeoutMs = 30000;

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

constexpr int kMemorySampleMs = 250;
constexpr double kKibPerMib = 1024.0;

// Resident memory now, in MiB (VmRSS).
double residentMib() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / kKibPerMib;
    return 0.0;
}

// Spins a local event loop for `ms` milliseconds (quitting the application would close its
// windows), and returns the highest resident memory seen meanwhile.
double run(int ms) {
    QEventLoop loop;
    double peak = residentMib();
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&peak] { peak = std::max(peak, residentMib()); });
    sampler.start(kMemorySampleMs);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return std::max(peak, residentMib());
}

// CPU seconds, frames drawn and resident memory while the player plays for `seconds`.
void measurePlayback(const char* name, QQuickWindow* window, QObject* player, int seconds) {
    int frames = 0;
    const QMetaObject::Connection counter =
        QObject::connect(window, &QQuickWindow::frameSwapped, [&frames] { ++frames; });
    const double start = cpuSeconds();
    QMetaObject::invokeMethod(player, "play");
    const double peak = run(seconds * 1000);
    std::printf("%s_cpu_seconds %.3f\n", name, cpuSeconds() - start);
    QObject::disconnect(counter);
    std::printf("%s_frames %d\n", name, frames);
    std::printf("%s_rss_mib %.0f %.0f\n", name, peak, residentMib());
}

const char* kBarePlayerQml = R"(
import QtQuick
import QtMultimedia
Window {
    visible: true
    color: "black"
    property alias player: player
    property alias output: output
    MediaPlayer { id: player; videoOutput: output }
    VideoOutput { id: output; anchors.centerIn: parent; fillMode: VideoOutput.PreserveAspectFit }
}
)";

int bare(const QUrl& clip, int seconds, QSize windowSize, QSizeF videoSize) {
    QQmlApplicationEngine engine;
    engine.loadData(kBarePlayerQml);
    if (engine.rootObjects().isEmpty())
        return 1;
    auto* window = qobject_cast<QQuickWindow*>(engine.rootObjects().first());
    window->resize(windowSize);
    window->property("output").value<QQuickItem*>()->setSize(videoSize);
    auto* player = window->property("player").value<QMediaPlayer*>();
    player->setSource(clip);
    run(1000);
    measurePlayback("bare", window, player, seconds);
    return 0;
}

int studio(const QUrl& clip, int seconds, const char* screenshot) {
    VeldrinApp app;
    app.launch();
    QQuickWindow* window = app.mainWindow();
    run(1000);
    auto* sources = window->property("sources").value<ClipSources*>();
    QObject* viewer = window->property("viewer").value<QObject*>();
    QObject* readout = viewer->property("readout").value<QObject*>();

    // From the drop to the first frame that shows a telemetry row.
    QEventLoop waitForRow;
    QElapsedTimer sinceDrop;
    qint64 rowShownMs = -1;
    QMetaObject::Connection frames =
        QObject::connect(window, &QQuickWindow::frameSwapped, window, [&] {
            if (rowShownMs < 0 && readout->property("hasRow").toBool()) {
                rowShownMs = sinceDrop.elapsed();
                waitForRow.quit();
            }
        });
    sinceDrop.start();
    if (!sources->handleDroppedURLs({clip}))
        return 1;
    window->update();
    QTimer::singleShot(kLoadTimeoutMs, &waitForRow, &QEventLoop::quit);
    waitForRow.exec();
    QObject::disconnect(frames);
    if (rowShownMs < 0) {
        std::fprintf(stderr, "no telemetry row shown: %s (row: %d, exposed: %d)\n",
                     qPrintable(viewer->property("status").toString()),
                     readout->property("hasRow").toBool(), window->isExposed());
        return 1;
    }
    std::printf("drop_to_first_row_ms %lld\n", static_cast<long long>(rowShownMs));
    const auto* video = window->findChild<QQuickItem*>(QStringLiteral("videoOutput"));
    if (!video)
        return 1;
    for (const QString& name :
         qEnvironmentVariable("VELDRIN_BENCH_HIDE").split(u',', Qt::SkipEmptyParts))
        for (auto* item : window->findChildren<QQuickItem*>())
            if (item->objectName() == name ||
                QString::fromLatin1(item->metaObject()->className()).startsWith(name))
                item->setOpacity(0.0);

    run(1000);
    measurePlayback("studio", window, viewer->property("player").value<QObject*>(), seconds);
    // As laid out while playing, with the timeline shown.
    std::printf("window_size %d %d\n", window->width(), window->height());
    std::printf("video_item_size %.0f %.0f\n", video->width(), video->height());
    if (screenshot)
        window->grabWindow().save(QString::fromLocal8Bit(screenshot));
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 4)
        return kUsageExit;
    QGuiApplication application(argc, argv);
    const QUrl clip = QUrl::fromLocalFile(QString::fromLocal8Bit(argv[2]));
    const int seconds = std::atoi(argv[3]);
    if (std::strcmp(argv[1], "bare") == 0 && argc == 8)
        return bare(clip, seconds, QSize(std::atoi(argv[4]), std::atoi(argv[5])),
                    QSizeF(std::atof(argv[6]), std::atof(argv[7])));
    if (std::strcmp(argv[1], "studio") == 0)
        return studio(clip, seconds, argc > 4 ? argv[4] : nullptr);
    return kUsageExit;
}
