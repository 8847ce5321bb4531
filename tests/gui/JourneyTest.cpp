// A new user's first hour, walked through the real windows at 1600 x 1000 in English, at
// 1366 x 768 in German and in the smallest window: a clip, a mixed folder clicked row by row with
// the filter off and on, a cut clip recovered and stepped through, a trip played across a moment
// switch and exported. Beyond "no crash" it checks what a user sees; screenshots go under the build
// folder.
#include "StudioDriver.h"

#include "ContentView.h"
#include "LocalizedString.h"
#include "Settings.h"
#include "TestClips.h"
#include "VeldrinApp.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>
#include <QVideoFrame>
#include <QVideoSink>
#include <QWheelEvent>

#include <memory>
#include <ostream>

using namespace studio;

namespace {

struct Walk {
    const char* name;
    QSize size;
    QLocale locale;
};

void PrintTo(const Walk& walk, std::ostream* out) {
    *out << walk.name;
}

constexpr int kMaxScrollSteps = 200;
constexpr double kSameTimeSeconds = 0.001;

class JourneyTest : public ::testing::TestWithParam<Walk>, protected StudioSession {
protected:
    void SetUp() override {
        installTranslation(GetParam().locale);
        ASSERT_TRUE(launch());
        window->resize(GetParam().size);
        sources = window->property("sources").value<QObject*>();
        viewer = window->property("viewer").value<QObject*>();
        folder = QString::fromStdString(testclips::makeTempDir());
    }
    void TearDown() override {
        app.reset();
        installTranslation(QLocale(QLocale::English));
    }

    QString tr(const char* text) const { return localizedString(text); }
    void shot(const QString& step) {
        saveScreenshot(window, QString("journey-%1-%2").arg(GetParam().name, step));
    }
    QString status() const { return textOf(window, "statusText"); }
    QString clip(const QString& name, std::vector<std::string> args = {}) {
        args.insert(args.begin(), {"--fast", "--size", "320x240", "--duration", "3"});
        return QString::fromStdString(
            testclips::generate((folder + "/" + name).toStdString(), args));
    }

    // Scrolls the sidebar with its keys until `name` lies wholly inside it.
    bool scrollSidebarTo(const QString& name) {
        QQuickItem* scroll = findItem(window, "sidebarScroll");
        QQuickItem* item = findItem(window, name);
        if (!scroll || !item)
            return false;
        QMetaObject::invokeMethod(scroll, "forceActiveFocus");
        const auto inside = [&] {
            const QRectF view =
                scroll->mapRectToScene(QRectF(0, 0, scroll->width(), scroll->height()));
            const QRectF shown = item->mapRectToScene(QRectF(0, 0, item->width(), item->height()));
            return view.adjusted(-1, -1, 1, 1).contains(shown);
        };
        for (int step = 0; step < kMaxScrollSteps && !inside(); ++step) {
            const bool below =
                item->mapToScene(QPointF(0, 0)).y() > scroll->mapToScene(QPointF(0, 0)).y();
            QTest::keyClick(window, below ? Qt::Key_Down : Qt::Key_Up);
        }
        return inside();
    }
    void clickRow(const QString& name) {
        QQuickItem* row = nullptr;
        ASSERT_TRUE(waitFor([&] { return (row = findItem(window, "batchRow_" + name)); }))
            << name.toStdString();
        // The list shows the row first, as its own scroll bar would.
        QMetaObject::invokeMethod(findItem(window, "batchList"), "positionViewAtIndex",
                                  Q_ARG(int, row->property("index").toInt()), Q_ARG(int, 0));
        ASSERT_TRUE(scrollSidebarTo("batchBox"));
        click(window, "batchRow_" + name);
    }
    // Clicks the row; its clip is shown once loaded, and stays.
    void openRow(const QString& name) {
        clickRow(name);
        EXPECT_TRUE(waitFor([&] {
            return !viewer->property("load").value<QObject*>()->property("isExtracting").toBool() &&
                   textOf(window, "fileName") == name;
        })) << name.toStdString()
            << " shows " << textOf(window, "fileName").toStdString();
        QTest::qWait(300);
        EXPECT_EQ(textOf(window, "fileName"), name) << "stays on " << name.toStdString();
    }

    QObject* sources = nullptr;
    QObject* viewer = nullptr;
    QString folder;
};

TEST_P(JourneyTest, TheFirstHour) {
    // A single clip: every part of the sidebar can be scrolled into view, by keys and wheel.
    const QString single = clip("single.mp4", {"--duration", "12"});
    QMetaObject::invokeMethod(sources, "loadClip", Q_ARG(QUrl, QUrl::fromLocalFile(single)),
                              Q_ARG(bool, false));
    ASSERT_TRUE(waitFor([&] { return status() == tr("Loaded %1").arg("single.mp4"); }))
        << status().toStdString();
    shot("clip");
    // What lies above the sidebar: scrolled away, none of its items may show there.
    QQuickItem* scroll = findItem(window, "sidebarScroll");
    const auto aboveSidebar = [&] {
        const QRectF panel = scroll->parentItem()->mapRectToScene(
            QRectF(0, 0, scroll->parentItem()->width(), scroll->parentItem()->height()));
        return window->grabWindow().copy(
            QRectF(panel.left(), 0, panel.width(), panel.top()).toAlignedRect());
    };
    const QImage unscrolled = aboveSidebar();
    for (const char* part :
         {"debugBox", "routeBox", "metricCards", "detailCell_accelerator_pedal_position",
          "detailCell_linear_acceleration_mps2_z"})
        EXPECT_TRUE(scrollSidebarTo(part)) << part;
    shot("clip-scrolled");
    EXPECT_TRUE(aboveSidebar() == unscrolled) << "the sidebar draws outside its panel";
    // The wheel over the cards scrolls back up where the sidebar is taller than the window.
    auto* flick = scroll->property("contentItem").value<QQuickItem*>();
    const double bottom = flick->property("contentY").toDouble();
    QQuickItem* cards = findItem(window, "metricCards");
    const QPointF over = cards->mapToScene(QPointF(cards->width() / 2, cards->height() / 2));
    QWheelEvent wheel(over, window->mapToGlobal(over.toPoint()), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(window, &wheel);
    EXPECT_TRUE(bottom == 0 ||
                waitFor([&] { return flick->property("contentY").toDouble() < bottom; }));

    // A mixed folder: each click loads exactly its row, filter off and on.
    const QByteArray whole =
        QByteArray::fromStdString(testclips::readFile(clip("whole.mp4").toStdString()));
    QDir(folder).remove("whole.mp4");
    QDir(folder).remove("single.mp4");
    clip("clip1.mp4");
    testclips::writeFile((folder + "/clip2.mp4").toStdString(),
                         whole.left(whole.size() / 2).toStdString());
    clip("clip3.mp4", {"--no-telemetry"});
    testclips::writeFile((folder + "/clip4.mp4").toStdString(), "not an MP4 at all");
    clip("clip10.mp4");
    QMetaObject::invokeMethod(sources, "openFolderPanelResult",
                              Q_ARG(QUrl, QUrl::fromLocalFile(folder)));
    QObject* batch = sources->property("batch").value<QObject*>();
    ASSERT_TRUE(waitFor([&] {
        return findItem(window, "batchRow_clip10.mp4") &&
               !batch->property("isScanningFolderMetadata").toBool();
    }));
    for (const bool filtered : {false, true}) {
        Settings::instance()->setOnlyWithMetadata(filtered);
        const QStringList rows = filtered ? QStringList{"clip1.mp4", "clip10.mp4"}
                                          : QStringList{"clip1.mp4", "clip2.mp4", "clip3.mp4",
                                                        "clip4.mp4", "clip10.mp4"};
        for (const QString& row : rows)
            openRow(row);
    }
    Settings::instance()->setOnlyWithMetadata(false);
    shot("folder");

    // The cut clip recovered: the keys step through its rows, counted as frames.
    clickRow("clip2.mp4");
    ASSERT_TRUE(waitFor([&] { return isShown(window, "recoverButton"); }));
    ASSERT_TRUE(scrollSidebarTo("recoverButton"));
    click(window, "recoverButton");
    ASSERT_TRUE(waitFor([&] {
        return viewer->property("clock").value<QObject*>()->property("recoveredRows").toInt() > 0;
    }));
    const int rows = viewer->property("clock").value<QObject*>()->property("recoveredRows").toInt();
    const QString frames = tr("frame %d of %d");
    EXPECT_EQ(textOf(window, "timeLabel"), localizedString(frames, 1, rows));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(window, Qt::Key_Period);
    EXPECT_EQ(textOf(window, "timeLabel"), localizedString(frames, 4, rows));
    QTest::keyClick(window, Qt::Key_End);
    EXPECT_EQ(textOf(window, "timeLabel"), localizedString(frames, rows, rows));
    shot("recovered");

    // A trip: the readout's time is the shown frame's across the moment switch.
    const QString trip = openTrip(window, "3", "front,back");
    QObject* tripPlayback = sources->property("trip").value<QObject*>();
    ASSERT_TRUE(waitFor([&] { return tripPlayback->property("canExport").toBool(); }));
    QQuickItem* player = findItem(window, "playerView");
    int compared = 0;
    // Compared at every change of the readout's time while the trip plays.
    auto* view = qobject_cast<ContentView*>(viewer);
    const auto compare =
        QObject::connect(view->clock(), &PlaybackClock::playbackTimeChanged, view, [&] {
            const QVideoFrame frame =
                player->property("videoSink").value<QVideoSink*>()->videoFrame();
            if (!tripPlayback->property("playing").toBool() || frame.startTime() < 0)
                return;
            ++compared;
            EXPECT_LE(std::abs(view->clock()->playbackTime() - frame.startTime() / 1e6),
                      kSameTimeSeconds)
                << "readout at " << view->clock()->playbackTime() << " s, frame at "
                << frame.startTime() / 1e6 << " s, moment "
                << tripPlayback->property("momentIndex").toInt();
        });
    QMetaObject::invokeMethod(player, "togglePlayback");
    ASSERT_TRUE(waitFor([&] {
        return tripPlayback->property("momentIndex").toInt() == 1 &&
               tripPlayback->property("time").toDouble() > 4.0;
    }));
    QObject::disconnect(compare);
    QMetaObject::invokeMethod(player, "togglePlayback");
    EXPECT_GT(compared, 4);
    QTest::keyClick(window, Qt::Key_G);
    shot("trip-grid");
    QTest::keyClick(window, Qt::Key_G);

    // The trip's route, the type chosen in the list, and its joined CSV, the type's suffix added
    // to the typed name: through their panels, no extension typed.
    const struct {
        const char *command, *title, *proposedEnd;
        int type;
        const char *typed, *written, *shows;
    } exports[] = {
        {"exportRoute", "Export Trip Route", "_trip.gpx", 2, "route", "route.kml", "<kml"},
        {"exportTripCsv", "Export Trip CSV", ".csv", -1, "joined", "joined.csv",
         "clip,trip_time_s,"}};
    for (const auto& e : exports) {
        QMetaObject::invokeMethod(window, e.command);
        QFileDialog* panel = shownFileDialog();
        ASSERT_NE(panel, nullptr) << e.command;
        EXPECT_EQ(panel->windowTitle(), tr(e.title));
        EXPECT_TRUE(panel->selectedFiles().value(0).endsWith(e.proposedEnd));
        if (e.type >= 0)
            chooseFileType(panel, e.type);
        ASSERT_TRUE(acceptFileDialog(panel, trip + "/" + e.typed));
        EXPECT_TRUE(waitFor([&] {
            return testclips::readFile((trip + "/" + e.written).toStdString()).find(e.shows) !=
                   std::string::npos;
        })) << e.written;
    }
    shot("trip-exported");

    // The trip's clips listed one by one: a click on a camera without telemetry stays there.
    ASSERT_TRUE(scrollSidebarTo("batchBox"));
    click(window, "segment_" + tr("Clips"));
    const QString back = QDir(trip).entryList({"*-back.mp4"}, QDir::Files, QDir::Name).value(0);
    openRow(back);
    shot("trip-clip");
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, JourneyTest,
    ::testing::Values(Walk{"english-1600x1000", QSize(1600, 1000), QLocale(QLocale::English)},
                      Walk{"german-1366x768", QSize(1366, 768),
                           QLocale(QLocale::German, QLocale::Germany)},
                      Walk{"smallest-1000x640", QSize(1000, 640), QLocale(QLocale::English)}),
    [](const auto& info) {
        return std::string(info.param.name).erase(std::string(info.param.name).find('-'));
    });

} // namespace
