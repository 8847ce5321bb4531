// The studio's own cost while a clip plays, against the same clip in a bare QML player, and
// the time from a drop to the first telemetry row on screen. Run by the studio_bench target.
//
//   studio_bench studio CLIP SECONDS [SCREENSHOT.png]
//                                       drop-to-row milliseconds, the size of the studio's
//                                       video item, then CPU seconds while the studio plays
//                                       the clip (overlay, readout, grid, clock)
//   studio_bench bare   CLIP SECONDS WIDTH HEIGHT
//                                       CPU seconds of a MediaPlayer + VideoOutput window of
//                                       the studio's size, its video item WIDTH x HEIGHT, so
//                                       both draw the same picture area
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

#include <cstdio>
#include <cstring>

namespace {
constexpr int kUsageExit = 2;
constexpr int kLoadTimeoutMs = 30000;

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Spins a local event loop for `ms` milliseconds (quitting the application would close its
// windows).
void run(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

const char* kBarePlayerQml = R"(
import QtQuick
import QtMultimedia
Window {
    width: 1200; height: 820; visible: true
    color: "black"
    property alias player: player
    property alias output: output
    MediaPlayer { id: player; videoOutput: output }
    VideoOutput { id: output; anchors.centerIn: parent; fillMode: VideoOutput.PreserveAspectFit }
}
)";

int bare(const QUrl& clip, int seconds, QSizeF videoSize) {
    QQmlApplicationEngine engine;
    engine.loadData(kBarePlayerQml);
    if (engine.rootObjects().isEmpty())
        return 1;
    QObject* window = engine.rootObjects().first();
    window->property("output").value<QQuickItem*>()->setSize(videoSize);
    auto* player = window->property("player").value<QMediaPlayer*>();
    player->setSource(clip);
    run(1000);
    const double start = cpuSeconds();
    player->play();
    run(seconds * 1000);
    std::printf("bare_cpu_seconds %.3f\n", cpuSeconds() - start);
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
    std::printf("video_item_size %.0f %.0f\n", video->width(), video->height());

    run(1000);
    auto* player = viewer->property("player").value<QObject*>();
    const double start = cpuSeconds();
    QMetaObject::invokeMethod(player, "play");
    run(seconds * 1000);
    std::printf("studio_cpu_seconds %.3f\n", cpuSeconds() - start);
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
    if (std::strcmp(argv[1], "bare") == 0 && argc == 6)
        return bare(clip, seconds, QSizeF(std::atof(argv[4]), std::atof(argv[5])));
    if (std::strcmp(argv[1], "studio") == 0)
        return studio(clip, seconds, argc > 4 ? argv[4] : nullptr);
    return kUsageExit;
}
