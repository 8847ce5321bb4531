// The studio's windows as a person uses them: the real QML over the real viewer, clip
// sources, player and clips from the generator, under the offscreen platform.
#include "StudioDriver.h"

#include "Commands.h"
#include "ContentView.h"
#include "ExternalOpen.h"
#include "TestClips.h"
#include "VeldrinApp.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QMediaPlayer>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <QVideoFrame>
#include <QVideoSink>

#include <memory>
#include <sys/stat.h>

using namespace studio;

namespace {

unsigned modeOf(const QString& path) {
    struct stat status {};
    return stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 0777 : 0;
}

QUrl makeClip(const QString& path, const std::vector<std::string>& extraArgs = {}) {
    std::vector<std::string> args{"--duration", "3"};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    testclips::generate(path.toStdString(), args);
    return QUrl::fromLocalFile(path);
}

QString tempDir() {
    return QString::fromStdString(testclips::makeTempDir());
}

class StudioWindowTest : public ::testing::Test, protected StudioSession {
protected:
    void SetUp() override { ASSERT_TRUE(launch()); }
    void TearDown() override { app.reset(); }
};

// The settings window and the main window stay in step. Show Main Window raises whichever
// window is visible; with none, one fallback window, made once and fitted like the main window.
TEST_F(StudioWindowTest, SettingsStayInStepAndShowMainWindowKeepsOneFittedWindowOnScreen) {
    const QRect available = window->screen()->availableGeometry();
    EXPECT_TRUE(available.contains(window->frameGeometry())) << window->frameGeometry().y();
    EXPECT_LE(window->minimumHeight(), available.height());
    // A 1366 x 768 screen with a 27-pixel panel at the top.
    const QRect laptop(0, 27, 1366, 741);
    const QRect fitted =
        AppDelegate::fittedGeometry(window->size(), laptop, AppDelegate::kFrameAllowance);
    EXPECT_TRUE(laptop.contains(fitted.marginsAdded(AppDelegate::kFrameAllowance)));
    EXPECT_GE(fitted.height(), VeldrinApp::kMinimumWindowHeight);
    QWindow small; // where it fits, a window keeps its place
    small.resize(400, 300);
    AppDelegate::fitToScreen(&small, QPoint(160, 120));
    EXPECT_EQ(small.geometry(), QRect(160, 120, 400, 300));
    QStringList hints; // the menus show their shortcuts
    for (const QQuickItem* hint : window->findChildren<QQuickItem*>("shortcutHint"))
        hints << hint->property("text").toString();
    EXPECT_TRUE(hints.contains("Ctrl+E") && hints.contains("Ctrl+,"))
        << hints.join(' ').toStdString();

    const QString folder = tempDir();
    makeClip(folder + "/one.mp4");
    QMetaObject::invokeMethod(window->property("sources").value<QObject*>(),
                              "openFolderPanelResult", Q_ARG(QUrl, QUrl::fromLocalFile(folder)));
    ASSERT_TRUE(waitFor([&] { return textOf(window, "statusText") == "Loaded one.mp4"; }));
    EXPECT_TRUE(textOf(window, "batchHeader").contains("1 clip"));
    // A map file named by the environment outranks the settings, and the settings say so.
    const QByteArray tiles = qgetenv("VELDRIN_TILES");
    qputenv("VELDRIN_TILES", "/maps/alps.mbtiles");
    app->showSettings();
    QQuickWindow* settings = app->settingsWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(settings));
    EXPECT_EQ(textOf(settings, "settingsTileSourceNote"),
              "In use: alps.mbtiles, from VELDRIN_TILES, which overrides this setting");
    saveScreenshot(settings, "settings");
    qputenv("VELDRIN_TILES", tiles);
    click(window, "speedButton");
    EXPECT_EQ(findItem(settings, "settingsSpeedUnit")->property("currentIndex").toInt(), 1);
    EXPECT_EQ(textOf(window, "overlaySpeedUnit"), "mph");
    click(settings, "segment_km/h");
    EXPECT_EQ(textOf(window, "overlaySpeedUnit"), "km/h");
    click(window, "onlyWithMetadataSwitch");
    EXPECT_TRUE(findItem(settings, "settingsOnlyWithMetadata")->property("checked").toBool());
    click(settings, "settingsOnlyWithMetadata");
    EXPECT_FALSE(findItem(window, "onlyWithMetadataSwitch")->property("checked").toBool());
    // What the studio stores is for its user's eyes only.
    const QString stored = QSettings().fileName();
    EXPECT_EQ(std::pair(modeOf(stored), modeOf(QFileInfo(stored).absolutePath())),
              std::pair(0600u, 0700u));

    window->close();
    ASSERT_TRUE(waitFor([&] { return !window->isVisible(); }));
    Commands::instance()->post(Commands::kShowMainWindow); // any visible window counts
    EXPECT_EQ(app->delegate().fallbackWindow(), nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(settings));
    QTest::keyClick(settings, Qt::Key_Escape);
    EXPECT_TRUE(waitFor([&] { return !settings->isVisible(); }));
    for (int round = 0; round < 2; ++round) {
        if (round > 0)
            app->delegate().fallbackWindow()->close();
        Commands::instance()->post(Commands::kShowMainWindow);
        QQuickWindow* fallback = app->delegate().fallbackWindow();
        ASSERT_NE(fallback, nullptr);
        EXPECT_TRUE(fallback->isVisible());
        EXPECT_TRUE(available.contains(fallback->frameGeometry())) << fallback->height();
        EXPECT_EQ(textOf(fallback, "statusText"), "Drop an MP4 file to begin");
        EXPECT_EQ(app->viewerWindows().size(), 2);
    }
}

TEST_F(StudioWindowTest, DroppedClipShowsSpinnerThenReadoutRouteAndItsUnreadableUnits) {
    const QUrl clip = makeClip(tempDir() + "/damaged.mp4", {"--bad-record", "3"});
    EXPECT_TRUE(drop(window, {clip}, false));
    EXPECT_EQ(textOf(window, "dropZoneLabel"), "Drop now");
    dragLeave(window);
    EXPECT_EQ(textOf(window, "dropZoneLabel"), "Drop MP4 here");
    EXPECT_FALSE(drop(window, {QUrl::fromLocalFile(tempDir() + "/a.mov")}));
    EXPECT_EQ(textOf(window, "statusText"), "Only .mp4 files are supported");

    ASSERT_TRUE(drop(window, {clip}));
    EXPECT_TRUE(isShown(window, "extractingIndicator"));
    ASSERT_TRUE(waitFor([&] { return textOf(window, "statusText") == "Loaded damaged.mp4"; }));
    EXPECT_FALSE(isShown(window, "extractingIndicator"));
    for (const char* shown : {"telemetryOverlay", "metricCards", "detailGrid", "routeBox",
                              "debugBox", "exportCsvButton"})
        EXPECT_TRUE(isShown(window, shown)) << shown;
    EXPECT_NE(findItem(window, "detailCell_linear_acceleration_mps2_z"), nullptr);
    const QString note = QStringLiteral("30 of 90 telemetry units could not be read");
    EXPECT_EQ(textOf(window, "statusNote"), note);
    EXPECT_EQ(textOf(window, "damageNote"), note);
    saveScreenshot(window, "loaded-clip");
}
// Keys as a person presses them, in the smallest window, where the map leaves the detail grid
// two rows; the clip ends paused, so closing must end cleanly too (a crash in TearDown is the
// failure).
TEST_F(StudioWindowTest, PlayerAndGuideKeysInTheSmallestWindow) {
    window->resize(VeldrinApp::kMinimumWindowWidth, VeldrinApp::kMinimumWindowHeight);
    ASSERT_TRUE(
        drop(window, {makeClip(tempDir() + "/keys.mp4", {"--duration", "12", "--fps", "10"})}));
    ASSERT_TRUE(waitFor([&] { return textOf(window, "statusText") == "Loaded keys.mp4"; }));
    saveScreenshot(window, "smallest-window");
    QQuickItem* player = findItem(window, "playerView");
    QObject* media = player->property("mediaPlayer").value<QObject*>();
    // Keys come once the first frame is up: a seek while the clip still loads is lost.
    ASSERT_TRUE(waitFor(
        [&] { return media->property("mediaStatus").toInt() == QMediaPlayer::LoadedMedia; }));
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int position;
    } seeks[] = {
        {Qt::Key_Right, Qt::NoModifier, 5000},  {Qt::Key_Right, Qt::ShiftModifier, 6000},
        {Qt::Key_Left, Qt::NoModifier, 1000},   {Qt::Key_Period, Qt::NoModifier, 1100},
        {Qt::Key_Period, Qt::NoModifier, 1200}, {Qt::Key_Comma, Qt::NoModifier, 1100},
        {Qt::Key_Left, Qt::ShiftModifier, 100}, {Qt::Key_End, Qt::NoModifier, 11900},
        {Qt::Key_J, Qt::NoModifier, 10900},     {Qt::Key_Home, Qt::NoModifier, 0},
    };
    for (const auto& seek : seeks) {
        QTest::keyClick(window, seek.key, seek.modifiers);
        EXPECT_TRUE(waitFor([&] { return media->property("position").toInt() == seek.position; }))
            << "key " << seek.key << " left the player at " << media->property("position").toInt();
    }
    const auto rate = [&] { return media->property("playbackRate").toDouble(); };
    for (const auto& [key, expected] : {std::pair{Qt::Key_BracketRight, 1.25},
                                        {Qt::Key_BracketLeft, 1.0},
                                        {Qt::Key_BracketLeft, 0.75}}) {
        QTest::keyClick(window, key);
        EXPECT_EQ(rate(), expected);
    }
    QTest::keyClick(window, Qt::Key_M);
    EXPECT_EQ(textOf(window, "playbackBadge"),
              "0.75× · Muted"); // the badge shows the output's state

    QTest::keyClick(window, Qt::Key_L);
    ASSERT_TRUE(waitFor([&] { return player->property("playing").toBool(); }));
    EXPECT_EQ(rate(), 1.0);
    QTest::keyClick(window, Qt::Key_L);
    EXPECT_EQ(rate(), 2.0);
    QTest::keyClick(window, Qt::Key_K);
    EXPECT_TRUE(waitFor([&] { return !player->property("playing").toBool(); }));

    QObject* guide = window->findChild<QObject*>("quickGuide");
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        QTest::keyClick(window, Qt::Key_Question, Qt::ControlModifier | Qt::ShiftModifier);
        ASSERT_TRUE(waitFor([&] { return guide->property("opened").toBool(); }));
        QTest::keyClick(window, key);
        EXPECT_TRUE(waitFor([&] { return !guide->property("visible").toBool(); })) << key;
    }
}

// The panels are the Qt Widgets ones here; they are driven through their own field and
// button, as a person does.
TEST_F(StudioWindowTest, PanelsOpenTheClipAndSaveBesideItAskingBeforeReplacing) {
    const QString dir = tempDir();
    const QString clip = dir + "/trip #2 100%25.mp4";
    makeClip(clip);
    click(window, "dropZone");
    QFileDialog* panel = shownFileDialog();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->windowTitle(), "Select Orvik Dashcam MP4");
    EXPECT_EQ(panel->labelText(QFileDialog::Accept), "Open");
    ASSERT_TRUE(acceptFileDialog(panel, clip));
    EXPECT_TRUE(waitFor([&] {
        return textOf(window, "statusText") == "Loaded trip #2 100%25.mp4";
    })) << textOf(window, "statusText").toStdString();

    const QString proposed = dir + "/trip #2 100%25_sei.csv";
    testclips::writeFile(proposed.toStdString(), "kept");
    const auto readText = [&] {
        return QString::fromStdString(testclips::readFile(proposed.toStdString()));
    };
    click(window, "exportCsvButton");
    panel = shownFileDialog();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->windowTitle(), "Export Telemetry CSV");
    EXPECT_EQ(panel->labelText(QFileDialog::Accept), "Save");
    EXPECT_EQ(panel->selectedFiles(), QStringList{proposed});
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        bool asked = false;
        answerNextQuestion(answer, &asked);
        EXPECT_TRUE(acceptFileDialog(panel));
        EXPECT_TRUE(waitFor([&] { return asked; }));
        EXPECT_EQ(panel->isVisible(), answer == QMessageBox::No);
        EXPECT_TRUE(answer == QMessageBox::Yes || readText() == "kept");
    }
    EXPECT_EQ(textOf(window, "statusText"), "CSV exported to trip #2 100%25_sei.csv");
    EXPECT_EQ(readText(), window->property("viewer").value<ContentView*>()->telemetry()->rawCSV());
}

// Each written file has the format chosen in the panel's type list when Save is pressed, or the
// one its typed extension names; a file the added extension would replace is asked about first.
TEST_F(StudioWindowTest, ExportsWriteTheChosenTypeAndAskBeforeReplacingUnderTheFinalName) {
    const QString dir = tempDir();
    QObject* sources = window->property("sources").value<QObject*>();
    QMetaObject::invokeMethod(sources, "loadClip", Q_ARG(QUrl, makeClip(dir + "/clip.mp4")),
                              Q_ARG(bool, false));
    ASSERT_TRUE(waitFor([&] { return textOf(window, "statusText") == "Loaded clip.mp4"; }));
    const auto readText = [&](const QString& name) {
        return QString::fromStdString(testclips::readFile((dir + "/" + name).toStdString()));
    };
    struct Save {
        const char* command;
        int type;
        const char* typed;
        const char* written;
        const char* starts;
    };
    for (const Save& save : {Save{"exportRoute", 1, "a", "a.geojson", "{"},
                             Save{"exportRoute", 2, "b", "b.kml", "<?xml"},
                             Save{"exportRoute", 0, "c", "c.gpx", "<?xml"},
                             Save{"exportRoute", 1, "d.kml", "d.kml", "<?xml"},
                             Save{"exportCsv", 0, "e", "e.csv", "version,"}}) {
        QMetaObject::invokeMethod(window, save.command);
        QFileDialog* panel = shownFileDialog();
        ASSERT_NE(panel, nullptr) << save.written;
        chooseFileType(panel, save.type);
        ASSERT_TRUE(acceptFileDialog(panel, dir + "/" + save.typed));
        EXPECT_TRUE(waitFor([&] { return readText(save.written).startsWith(save.starts); }))
            << save.written;
        EXPECT_EQ(QDir(dir).entryList(QDir::Files).size(), 2)
            << save.written << " " << QDir(dir).entryList(QDir::Files).join(",").toStdString();
        QFile::remove(dir + "/" + save.written);
    }

    testclips::writeFile((dir + "/c.gpx").toStdString(), "kept");
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        QMetaObject::invokeMethod(window, "exportRoute");
        QFileDialog* panel = shownFileDialog();
        ASSERT_NE(panel, nullptr);
        chooseFileType(panel, 0);
        ASSERT_TRUE(acceptFileDialog(panel, dir + "/c"));
        QMessageBox* question = shownMessageBox();
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(question->text(), "\"c.gpx\" already exists. Do you want to replace it?");
        question->button(answer)->click();
        EXPECT_EQ(waitFor([&] { return readText("c.gpx") != "kept"; },
                          std::chrono::milliseconds(answer == QMessageBox::Yes ? 20000 : 500)),
                  answer == QMessageBox::Yes);
    }
    EXPECT_TRUE(readText("c.gpx").startsWith("<?xml"));
}

// A trip folder opened as the command line opens it: the time label shows the trip's clock and
// elapsed / total, and the second moment shows through the standby player's own output.
TEST_F(StudioWindowTest, ATripShowsItsClockAndItsNextMomentThroughTheStandby) {
    openTrip(window, "3", "front");
    EXPECT_TRUE(waitFor([&] { return textOf(window, "timeLabel") == "07:00:00  0:00 / 0:06"; }))
        << textOf(window, "timeLabel").toStdString();
    QQuickItem* view = findItem(window, "playerView");
    QMetaObject::invokeMethod(view, "togglePlayback");
    EXPECT_TRUE(waitFor([&] { return textOf(window, "timeLabel").startsWith("07:00:04"); }))
        << textOf(window, "timeLabel").toStdString();
    const auto* sink = view->property("videoSink").value<QVideoSink*>();
    EXPECT_NE(sink, findItem(window, "videoOutput")->property("videoSink").value<QVideoSink*>());
    EXPECT_TRUE(sink->videoFrame().isValid());
}

// Which of several files is taken is the drop rule, tested with the loader.
TEST(ExternalOpenTest, ArgumentsBecomeFileUrlsOfWhichTheFirstMp4IsTaken) {
    const QUrl upper = QUrl::fromLocalFile("/clips/B.MP4"), lower = QUrl::fromLocalFile("/c.mp4");
    const QList<QUrl> urls =
        urlsFromArguments({"../c.mp4", "--screenshot=x.png", "B.MP4"}, "/clips");
    EXPECT_EQ(urls, (QList<QUrl>{lower, upper}));
    EXPECT_EQ(firstClipUrl({QUrl("https://example.org/clip.mp4"), upper}), upper);
}

} // namespace
