// Trips benchmark: a folder of 120 moments x 4 cameras listed as trips, timed from loadFolder
// to the trip headers; the longest GUI stall from then until the folder is scanned, its first
// trip's telemetry read, and a second folder swapped in; then a trip of 21 short moments
// played through, and the pause between the last frame of a moment and the first of the next
// at each of its 20 switches (median and worst).
//   trips_bench [--moments N] [--cameras LIST]     (--moments 1250: 5,000 clips)
#include "ClipSources.h"
#include "ContentView.h"
#include "Settings.h"
#include "TripPlayback.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QVideoFrame>
#include <QVideoSink>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kDefaultMoments = 120;
constexpr const char* kDefaultCameras = "front,back,left,right";
constexpr int kSwitchMoments = 21;
constexpr int kProbeIntervalMs = 10;
constexpr double kHeadersBudgetMs = 1000.0;
constexpr double kStallBudgetMs = 50.0;
constexpr double kSwitchGapBudgetMs = 150.0;

bool generate(const QString& folder, int moments, const QString& cameras, int seconds) {
    const QString command =
        QString(
            "'%1' --fast --fps 10 --moments %2 --seconds %3 --cameras %4 --trip '%5' >/dev/null")
            .arg(VELDRIN_CLIPGEN_PATH)
            .arg(moments)
            .arg(seconds)
            .arg(cameras, folder);
    return std::system(command.toLocal8Bit().constData()) == 0;
}

const char* verdict(bool met) {
    return met ? "met" : "MISSED";
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QGuiApplication app(argc, argv);
    int moments = kDefaultMoments;
    QString cameras = kDefaultCameras;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == "--moments")
            moments = args[i + 1].toInt();
        else if (args[i] == "--cameras")
            cameras = args[i + 1];
    }
    QTemporaryDir work;
    qputenv("XDG_CACHE_HOME", work.path().toUtf8());
    const QString listed = work.path() + "/listed";
    const QString played = work.path() + "/played";
    std::printf("generating %d moments x %s, and %d moments to play...\n", moments,
                qPrintable(cameras), kSwitchMoments);
    if (!generate(listed, moments, cameras, 2) || !generate(played, kSwitchMoments, "front", 1)) {
        std::fprintf(stderr, "clip generator failed\n");
        return 1;
    }

    ContentView view;
    // Each player draws into its own sink from the start, as into the window's two outputs.
    QVideoSink sinks[2];
    QMediaPlayer* players[2] = {view.player()->mediaPlayer(), view.player()->standbyPlayer()};
    for (int i = 0; i < 2; ++i)
        players[i]->setVideoSink(&sinks[i]);
    Settings::instance()->setOnlyWithMetadata(false);
    ClipSources sources(view);
    // The longest stall while the folder is listed and scanned, and after: the swap to the
    // played folder and the playback.
    double longestStallMs = 0;
    double longestListingStallMs = 0;
    QElapsedTimer sinceTick;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(kProbeIntervalMs);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        longestStallMs =
            std::max(longestStallMs, double(sinceTick.nsecsElapsed()) / 1e6 - kProbeIntervalMs);
        sinceTick.restart();
    });
    QElapsedTimer clock;
    double headersMs = 0;
    double loadFolderMs = 0; // the folder listed on the GUI thread, within the stall
    int listedClips = 0;
    bool listing = true;
    TripPlayback* trip = TripPlayback::attach(view, sources);
    const auto settled = [&] {
        // The trip's first moment loaded and shown too: the media backend blocks the GUI
        // thread for up to 2 s to stop a player before both.
        QMediaPlayer* player = view.player()->mediaPlayer();
        const QMediaPlayer::MediaStatus status = player->mediaStatus();
        const bool loaded =
            status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferedMedia;
        const bool shown = (player == players[0] ? sinks[0] : sinks[1]).videoFrame().isValid();
        return !listing && !sources.batch()->isScanningFolderMetadata() &&
               (!trip->active() || (trip->canExport() && loaded && shown));
    };
    QObject::connect(&sources, &ClipSources::tripsChanged, [&] {
        if (listing && sources.hasTrips()) {
            headersMs = double(clock.nsecsElapsed()) / 1e6;
            listedClips = int(sources.batch()->folderClips().size());
            listing = false;
        }
    });
    QTimer settle;
    settle.setInterval(kProbeIntervalMs);
    QObject::connect(&settle, &QTimer::timeout, [&] {
        if (settled())
            QCoreApplication::quit();
    });
    QTimer::singleShot(0, [&] {
        clock.start();
        sinceTick.start();
        probe.start();
        settle.start();
        sources.loadFolder(QUrl::fromLocalFile(listed));
        loadFolderMs = double(clock.nsecsElapsed()) / 1e6;
    });
    app.exec();
    settle.stop();
    const double scannedMs = double(clock.nsecsElapsed()) / 1e6;
    longestListingStallMs = longestStallMs;
    longestStallMs = 0;

    // Frame arrivals around each switch: the gap is the longest pause between two frames from
    // the switch's last tick of the old moment to the new moment's first frame. Only the shown
    // player's frames count; a standby swapped in shows the frame it holds at once.
    QElapsedTimer frames;
    frames.start();
    double lastFrameMs = 0;
    double worstSinceSwitch = 0;
    std::vector<double> gaps;
    bool switched = false;
    const auto shown = [&] {
        const double now = double(frames.nsecsElapsed()) / 1e6;
        if (switched) {
            gaps.push_back(std::max(worstSinceSwitch, now - lastFrameMs));
            switched = false;
        }
        lastFrameMs = now;
    };
    for (int i = 0; i < 2; ++i) {
        QObject::connect(&sinks[i], &QVideoSink::videoFrameChanged, [&, i] {
            if (view.player()->mediaPlayer() == players[i])
                shown();
        });
    }
    QObject::connect(view.player(), &VideoPlayer::mediaPlayerChanged, [&] {
        for (int i = 0; i < 2; ++i)
            if (view.player()->mediaPlayer() == players[i] && sinks[i].videoFrame().isValid())
                shown();
    });
    // The trip's first moment is a load, not a switch.
    QObject::connect(trip, &TripPlayback::momentChanged, [&] {
        if (trip->playing() && trip->momentIndex() > 0) {
            switched = true;
            worstSinceSwitch = 0;
        }
    });
    QObject::connect(trip, &TripPlayback::finished, [&] { QCoreApplication::quit(); });
    QObject::connect(&sources, &ClipSources::tripsChanged, [&] {
        if (sources.hasTrips() && !trip->playing())
            QTimer::singleShot(0, [&] { sources.playTripMoment(0, 0, true); });
    });
    sources.loadFolder(QUrl::fromLocalFile(played));
    app.exec();
    probe.stop();

    std::sort(gaps.begin(), gaps.end());
    const double median = gaps.empty() ? 0 : gaps[gaps.size() / 2];
    const double worst = gaps.empty() ? 0 : gaps.back();
    std::printf("trip headers after loadFolder (%d clips): %8.1f ms  budget %.0f ms: %s\n",
                listedClips, headersMs, kHeadersBudgetMs, verdict(headersMs <= kHeadersBudgetMs));
    std::printf("of which loadFolder itself (GUI thread):  %8.1f ms\n", loadFolderMs);
    std::printf("folder scanned and its trip read after:   %8.1f ms\n", scannedMs);
    std::printf("longest GUI stall listing and scanning: %8.1f ms  budget %.0f ms: %s\n",
                longestListingStallMs, kStallBudgetMs,
                verdict(longestListingStallMs <= kStallBudgetMs));
    std::printf("longest GUI stall in folder swap, play: %8.1f ms  budget %.0f ms: %s\n",
                longestStallMs, kStallBudgetMs, verdict(longestStallMs <= kStallBudgetMs));
    std::printf("moment switch gap over %zu switches:      median %.1f ms, worst %.1f ms  "
                "budget %.0f ms: %s\n",
                gaps.size(), median, worst, kSwitchGapBudgetMs,
                verdict(worst <= kSwitchGapBudgetMs));
    return 0;
}
