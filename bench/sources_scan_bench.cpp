// Folder scan benchmark: a folder of generated clips, timed from loadFolder to the end of
// the metadata scan, against veldrin-extract run over the same files one after another; and
// the longest stall of the GUI thread during the scan, seen by a 10 ms timer.
//   sources_scan_bench [--clips N] [--distinct D] [--duration SECONDS]
#include "ClipSources.h"
#include "ContentView.h"
#include "MetadataExtractor.h"
#include "Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kDefaultClips = 500;
constexpr int kDefaultDistinctClips = 25;
constexpr const char* kDefaultDuration = "10";
constexpr int kProbeIntervalMs = 10;
constexpr double kScanBudgetRatio = 1.10;
constexpr double kStallBudgetMs = 50.0;

int run(const QString& command) {
    return std::system(command.toLocal8Bit().constData());
}

QString quoted(const QString& s) {
    return "'" + s + "'";
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QGuiApplication app(argc, argv);
    int clipCount = kDefaultClips;
    int distinct = kDefaultDistinctClips;
    QString duration = kDefaultDuration;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == "--clips")
            clipCount = args[i + 1].toInt();
        else if (args[i] == "--distinct")
            distinct = args[i + 1].toInt();
        else if (args[i] == "--duration")
            duration = args[i + 1];
    }
    distinct = std::clamp(distinct, 1, clipCount);

    QTemporaryDir work;
    qputenv("TMPDIR", work.path().toUtf8()); // the staging folder goes there too
    const QString folder = work.path() + "/clips";
    QDir().mkpath(folder);
    std::printf("generating %d clips (%d distinct, --fast --duration %s)...\n", clipCount, distinct,
                qPrintable(duration));
    QStringList files;
    for (int i = 0; i < clipCount; ++i) {
        const QString file = folder + QString("/clip%1.mp4").arg(i, 4, 10, QChar('0'));
        if (i < distinct) {
            if (run(QString("%1 --fast --duration %2 --seed %3 %4 >/dev/null")
                        .arg(quoted(VELDRIN_CLIPGEN_PATH), duration)
                        .arg(i + 1)
                        .arg(quoted(file))) != 0) {
                std::fprintf(stderr, "clip generator failed\n");
                return 1;
            }
        } else if (!QFile::copy(files[i % distinct], file)) {
            std::fprintf(stderr, "copy failed\n");
            return 1;
        }
        files.append(file);
    }
    // Warm the page cache so that every run reads from memory.
    for (const QString& file : files)
        run("cat " + quoted(file) + " >/dev/null");

    QElapsedTimer clock;
    clock.start();
    for (const QString& file : files)
        run(quoted(VELDRIN_EXTRACT_PATH) + " " + quoted(file) + " >/dev/null");
    const double processesMs = double(clock.nsecsElapsed()) / 1e6;

    clock.restart();
    for (const QString& file : files)
        (void)MetadataExtractor::extract(QFile::encodeName(file).toStdString());
    const double inProcessMs = double(clock.nsecsElapsed()) / 1e6;

    ContentView view;
    Settings::instance()->setOnlyWithMetadata(false);
    ClipSources sources(view);
    double longestStallMs = 0;
    QElapsedTimer sinceTick;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(kProbeIntervalMs);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        longestStallMs =
            std::max(longestStallMs, double(sinceTick.nsecsElapsed()) / 1e6 - kProbeIntervalMs);
        sinceTick.restart();
    });

    double loadFolderMs = 0;
    double scanMs = 0;
    QObject::connect(sources.batch(), &FolderBatch::isScanningFolderMetadataChanged, [&] {
        if (!sources.batch()->isScanningFolderMetadata()) {
            scanMs = double(clock.nsecsElapsed()) / 1e6;
            probe.stop();
            QCoreApplication::quit();
        }
    });
    QTimer::singleShot(0, [&] {
        clock.restart();
        sources.loadFolder(QUrl::fromLocalFile(folder));
        loadFolderMs = double(clock.nsecsElapsed()) / 1e6;
        sinceTick.start();
        probe.start();
    });
    app.exec();

    int withMetadata = 0;
    for (const QUrl& clip : sources.batch()->folderClips())
        withMetadata +=
            sources.batch()->statusFor(clip.toLocalFile()) == ClipMetadataStatus::withMetadata;

    const double budgetMs = processesMs * kScanBudgetRatio;
    std::printf("clips scanned:                         %d (%d with metadata)\n",
                int(sources.batch()->folderClips().size()), withMetadata);
    std::printf("veldrin-extract, one process per clip: %9.1f ms (%.2f ms/clip)\n", processesMs,
                processesMs / clipCount);
    std::printf("engine in process, one after another:  %9.1f ms (%.2f ms/clip)\n", inProcessMs,
                inProcessMs / clipCount);
    std::printf(
        "loadFolder -> end of scan:             %9.1f ms (%.2f ms/clip)  budget %.1f ms: %s\n",
        scanMs, scanMs / clipCount, budgetMs, scanMs <= budgetMs ? "met" : "MISSED");
    std::printf("  of which loadFolder itself:          %9.1f ms\n", loadFolderMs);
    std::printf("longest GUI stall during the scan:     %9.1f ms  budget %.0f ms: %s\n",
                longestStallMs, kStallBudgetMs,
                longestStallMs <= kStallBudgetMs ? "met" : "MISSED");
    return 0;
}
