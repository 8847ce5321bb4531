// Cameras played together: how far the followers drift from the leader over a long moment,
// and the studio's CPU while it plays four cameras of a trip against four bare players of the
// same sizes. Run by camera_bench.sh.
//
//   camera_bench drift  LEADER_CLIP SECONDS   median and worst |follower - leader| presented
//                                             frame time of every other camera of the moment
//   camera_bench studio TRIP_FOLDER SECONDS [SCREENSHOT.png [WIDTH HEIGHT]]
//                                             CPU seconds of the studio (1600 x 1000 unless
//                                             given) playing the trip, its cameras' offsets,
//                                             the sizes of its large and small views
//   camera_bench bare   CLIP... SECONDS LARGE_W LARGE_H SMALL_W SMALL_H
//                                             CPU seconds of bare players, the first large
#include "CameraSync.h"
#include "ClipSources.h"
#include "TripPlayback.h"
#include "VeldrinApp.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

namespace {
constexpr int kUsageExit = 2;
constexpr int kSettleMs = 3000;
constexpr int kSampleMs = 500;
// The followers' start-up, which their first seek settles, is not drift.
constexpr int kWarmUpMs = 5000;
constexpr double kTwoFramesMs = 2 * 1000.0 / 30.0;
constexpr int kWindowWidth = 1600;
constexpr int kWindowHeight = 1000;

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Repeater delegates are in the visual tree only.
const QQuickItem* findItem(const QQuickItem* item, const QString& name) {
    if (item->objectName() == name)
        return item;
    for (const QQuickItem* child : item->childItems())
        if (const QQuickItem* found = findItem(child, name))
            return found;
    return nullptr;
}

void run(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Samples |follower - leader| of every follower while `ms` of playback pass.
std::map<QString, std::vector<double>> sampleOffsets(const CameraSync& sync, int ms) {
    std::map<QString, std::vector<double>> offsets;
    for (int at = 0; at < ms; at += kSampleMs) {
        run(kSampleMs);
        const double leader = sync.presentedMs(sync.leaderCamera());
        for (const QString& camera : sync.cameras()) {
            const double offset = std::abs(sync.presentedMs(camera) - leader);
            if (camera != sync.leaderCamera() && !std::isnan(offset) && at >= kWarmUpMs)
                offsets[camera].push_back(offset);
        }
    }
    return offsets;
}

void printOffsets(const char* name, std::map<QString, std::vector<double>> offsets) {
    for (auto& [camera, values] : offsets) {
        std::sort(values.begin(), values.end());
        std::printf("%s %s median %.1f worst %.1f ms over %zu samples (two frames: %.1f)\n", name,
                    qPrintable(camera), values[values.size() / 2], values.back(), values.size(),
                    kTwoFramesMs);
    }
}

// The moment of `leaderClip` and the other clips of its start in its folder, as the trip list
// groups them.
trips::Trip momentOf(const QUrl& leaderClip) {
    const QFileInfo leader(leaderClip.toLocalFile());
    std::vector<trips::ClipFacts> facts;
    for (const QString& name : leader.dir().entryList(QDir::Files))
        facts.push_back({leader.absolutePath().toStdString(), name.toStdString(), {}, 0});
    for (trips::Trip& trip : trips::groupTrips(std::move(facts)))
        if (playback::findMoment(trip, leaderClip).index)
            return trip;
    return {};
}

int drift(const QUrl& leaderClip, int seconds) {
    QMediaPlayer leader;
    QVideoSink sink;
    leader.setVideoSink(&sink);
    CameraSync sync;
    sync.useTrip(momentOf(leaderClip));
    sync.setLeaderSink(&sink);
    sync.setLeader(&leader);
    leader.setSource(leaderClip);
    run(kSettleMs);
    leader.play();
    // The whole run, then its last minute on its own.
    const int lastMs = std::min(seconds, 60) * 1000;
    auto early = sampleOffsets(sync, seconds * 1000 - lastMs);
    const auto late = sampleOffsets(sync, lastMs + kWarmUpMs);
    printOffsets("drift_last_minute", late);
    for (const auto& [camera, values] : late)
        early[camera].insert(early[camera].end(), values.begin(), values.end());
    printOffsets("drift_whole_run", early);
    return 0;
}

int studio(const QUrl& folder, int seconds, const QString& screenshot, QSize size) {
    VeldrinApp app;
    app.launch();
    QQuickWindow* window = app.mainWindow();
    window->resize(size);
    auto* sources = window->property("sources").value<ClipSources*>();
    sources->loadFolder(folder);
    run(kSettleMs);
    const auto* strip = window->findChild<QQuickItem*>(QStringLiteral("cameraStrip"));
    const auto* large = window->findChild<QQuickItem*>(QStringLiteral("videoOutput"));
    auto* trip = qobject_cast<TripPlayback*>(sources->trip());
    if (!strip || !large || !trip || !trip->active())
        return 1;
    const auto* sync = strip->property("sync").value<CameraSync*>();
    const double start = cpuSeconds();
    trip->play();
    const auto offsets = sampleOffsets(*sync, seconds * 1000);
    std::printf("studio_cpu_seconds %.3f\n", cpuSeconds() - start);
    printOffsets("studio_offset", offsets);
    if (!screenshot.isEmpty())
        window->grabWindow().save(screenshot);
    const auto* tile = findItem(window->contentItem(), QStringLiteral("cameraTile_back"));
    if (!tile || !tile->isVisible())
        return 1;
    std::printf("large_size %.0f %.0f\n", large->width(), large->height());
    std::printf("small_size %.0f %.0f\n", tile->width(), tile->height());
    return 0;
}

const char* kBarePlayersQml = R"(
import QtQuick
import QtMultimedia
Window {
    width: 1600; height: 1000; visible: true
    color: "black"
    property var sources: []
    property size large
    property size small
    component Bare: VideoOutput {
        id: output
        property url source
        fillMode: VideoOutput.PreserveAspectFit
        MediaPlayer { objectName: "bare"; source: output.source; videoOutput: output }
    }
    Column {
        spacing: 8
        Bare { source: sources[0]; width: large.width; height: large.height }
        Row {
            spacing: 8
            Repeater {
                model: sources.slice(1)
                Bare { required property url modelData; source: modelData
                       width: small.width; height: small.height }
            }
        }
    }
}
)";

int bare(const QList<QUrl>& clips, int seconds, QSizeF large, QSizeF small) {
    QQmlApplicationEngine engine;
    engine.loadData(kBarePlayersQml);
    if (engine.rootObjects().isEmpty())
        return 1;
    QObject* window = engine.rootObjects().first();
    window->setProperty("large", large);
    window->setProperty("small", small);
    QVariantList sources;
    for (const QUrl& clip : clips)
        sources.append(clip);
    window->setProperty("sources", sources);
    run(kSettleMs);
    const auto players = window->findChildren<QMediaPlayer*>(QStringLiteral("bare"));
    const double start = cpuSeconds();
    for (QMediaPlayer* player : players)
        player->play();
    run(seconds * 1000);
    std::printf("bare_cpu_seconds %.3f (%lld players)\n", cpuSeconds() - start,
                static_cast<long long>(players.size()));
    return 0;
}

QUrl fileUrl(const char* path) {
    return QUrl::fromLocalFile(QString::fromLocal8Bit(path));
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 4)
        return kUsageExit;
    QGuiApplication application(argc, argv);
    if (std::strcmp(argv[1], "drift") == 0)
        return drift(fileUrl(argv[2]), std::atoi(argv[3]));
    if (std::strcmp(argv[1], "studio") == 0)
        return studio(fileUrl(argv[2]), std::atoi(argv[3]),
                      argc > 4 ? QString::fromLocal8Bit(argv[4]) : QString(),
                      argc > 6 ? QSize(std::atoi(argv[5]), std::atoi(argv[6]))
                               : QSize(kWindowWidth, kWindowHeight));
    if (std::strcmp(argv[1], "bare") == 0 && argc >= 8) {
        QList<QUrl> clips;
        for (int i = 2; i < argc - 5; ++i)
            clips.append(fileUrl(argv[i]));
        const auto number = [&](int fromEnd) { return std::atof(argv[argc - fromEnd]); };
        return bare(clips, std::atoi(argv[argc - 5]), QSizeF(number(4), number(3)),
                    QSizeF(number(2), number(1)));
    }
    return kUsageExit;
}
