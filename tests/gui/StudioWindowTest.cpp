// The studio's windows as a person uses them: the real QML over the real viewer, clip
// sources, player and clips from the generator, under the offscreen platform.
#include "StudioDriver.h"

#include "Commands.h"
#include "ExternalOpen.h"
#include "LocalizedString.h"
#include "Settings.h"
#include "SingleInstance.h"
#include "TestClips.h"
#include "VeldrinApp.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QUuid>

#include <memory>

using namespace studio;

namespace {

const QString kFreshStatus = QStringLiteral("Drop an MP4 file to begin");
// Long enough for the player to run its pipeline and hand out frames.
constexpr int kPlayBeforePauseMs = 300;

QUrl makeClip(const QString& path, const std::vector<std::string>& extraArgs = {}) {
    std::vector<std::string> args{"--duration", "3"};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    testclips::generate(path.toStdString(), args);
    return QUrl::fromLocalFile(path);
}

QString tempDir() {
    return QString::fromStdString(testclips::makeTempDir());
}

QObject* sourcesOf(QQuickWindow* window) {
    return window->property("sources").value<QObject*>();
}

class StudioWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings::instance()->setOnlyWithMetadata(false);
        Settings::instance()->setUseMilesPerHour(false);
        app = std::make_unique<VeldrinApp>();
        app->launch();
        window = app->mainWindow();
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    }
    void TearDown() override { app.reset(); }

    // Drops one clip and waits until it is shown.
    void loadClip(const QUrl& clip) {
        ASSERT_TRUE(drop(window, {clip}));
        const QString loaded = QStringLiteral("Loaded ") + clip.fileName();
        ASSERT_TRUE(waitFor([&] { return textOf(window, "statusText") == loaded; }))
            << textOf(window, "statusText").toStdString();
    }

    QQuickWindow* openSettings() {
        app->showSettings();
        QQuickWindow* settings = app->settingsWindow();
        EXPECT_NE(settings, nullptr);
        if (settings) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(settings));
        }
        return settings;
    }

    std::unique_ptr<VeldrinApp> app;
    QQuickWindow* window = nullptr;
};

TEST_F(StudioWindowTest, FreshWindowShowsInitialTextsAndNoOptionalBoxes) {
    EXPECT_EQ(window->title(), "Veldrin");
    EXPECT_EQ(window->minimumSize(), QSize(1080, 760));
    EXPECT_EQ(textOf(window, "statusText"), kFreshStatus);
    EXPECT_EQ(textOf(window, "fileName"), "No file loaded");
    EXPECT_EQ(textOf(window, "dropZoneLabel"), "Drop MP4 here");
    EXPECT_EQ(textOf(window, "extractorMessage"), "No metadata loaded");
    EXPECT_EQ(textOf(window, "placeholder"), "Load a supported Orvik MP4 clip to see metadata");
    EXPECT_TRUE(isShown(window, "placeholder"));
    for (const char* absent : {"exportCsvButton", "extractingIndicator", "debugBox", "batchBox",
                               "routeBox", "telemetryOverlay", "metricCards", "detailScroll"})
        EXPECT_FALSE(isShown(window, absent)) << absent;
    EXPECT_TRUE(isShown(window, "openFileButton"));
    EXPECT_TRUE(isShown(window, "openFolderButton"));
    saveScreenshot(window, "fresh-window");
}

TEST_F(StudioWindowTest, DragHoverSwitchesTheDropZoneLabel) {
    const QUrl clip = QUrl::fromLocalFile(tempDir() + "/hover.mp4");
    EXPECT_TRUE(dragEnter(window, {clip}));
    EXPECT_EQ(textOf(window, "dropZoneLabel"), "Drop now");
    dragLeave(window);
    EXPECT_EQ(textOf(window, "dropZoneLabel"), "Drop MP4 here");
}

TEST_F(StudioWindowTest, DroppedClipShowsSpinnerThenTableCardsOverlayAndRoute) {
    const QUrl clip = makeClip(tempDir() + "/drive.mp4");
    ASSERT_TRUE(drop(window, {clip}));
    EXPECT_TRUE(isShown(window, "extractingIndicator"));
    EXPECT_EQ(textOf(window, "fileName"), "drive.mp4");

    ASSERT_TRUE(waitFor([&] { return textOf(window, "statusText") == "Loaded drive.mp4"; }));
    EXPECT_FALSE(isShown(window, "extractingIndicator"));
    EXPECT_FALSE(isShown(window, "placeholder"));
    EXPECT_TRUE(isShown(window, "telemetryOverlay"));
    EXPECT_EQ(textOf(window, "overlaySpeedUnit"), "km/h");
    EXPECT_TRUE(isShown(window, "metricCards"));
    EXPECT_TRUE(textOf(window, "metricCard0").isEmpty()); // a card is a box, its texts inside
    EXPECT_TRUE(isShown(window, "detailScroll"));
    for (const char* key : {"detailCell_accelerator_pedal_position", "detailCell_brake_applied",
                            "detailCell_linear_acceleration_mps2_z"})
        EXPECT_NE(findItem(window, key), nullptr) << key;
    EXPECT_TRUE(isShown(window, "routeBox"));
    EXPECT_TRUE(isShown(window, "debugBox"));
    EXPECT_TRUE(isShown(window, "exportCsvButton"));
    saveScreenshot(window, "loaded-clip");
}

// Quitting while a clip is paused: the window and its player go without corrupting memory
// (a crash at the end of this test, in TearDown, is the failure).
TEST_F(StudioWindowTest, ClosingWithAPausedClipEndsCleanly) {
    loadClip(makeClip(tempDir() + "/paused.mp4"));
    QQuickItem* player = findItem(window, "playerView");
    ASSERT_NE(player, nullptr);
    ASSERT_TRUE(waitFor([&] { return findItem(window, "playPauseButton")->isEnabled(); }));
    click(window, "playPauseButton");
    ASSERT_TRUE(waitFor([&] { return player->property("playing").toBool(); }));
    QTest::qWait(kPlayBeforePauseMs);
    click(window, "playPauseButton");
    EXPECT_TRUE(waitFor([&] { return !player->property("playing").toBool(); }));
    QTest::qWait(kPlayBeforePauseMs);
}

TEST_F(StudioWindowTest, DropOfSeveralFilesLoadsTheFirstMp4InAnyCase) {
    const QString dir = tempDir();
    QFile text(dir + "/a.txt");
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a clip");
    text.close();
    const QUrl upper = makeClip(dir + "/B.MP4");
    const QUrl lower = makeClip(dir + "/c.mp4");

    EXPECT_TRUE(drop(window, {QUrl::fromLocalFile(dir + "/a.txt"), upper, lower}));
    EXPECT_EQ(textOf(window, "fileName"), "B.MP4");
    EXPECT_TRUE(waitFor([&] { return textOf(window, "statusText") == "Loaded B.MP4"; }));
}

TEST_F(StudioWindowTest, DropWithoutMp4IsRefused) {
    const QUrl movie = QUrl::fromLocalFile(tempDir() + "/a.mov");
    EXPECT_FALSE(drop(window, {movie}));
    EXPECT_EQ(textOf(window, "statusText"), "Only .mp4 files are supported");
    EXPECT_EQ(textOf(window, "fileName"), "No file loaded");
}

TEST_F(StudioWindowTest, SpeedButtonAndSettingsPickerStayInStep) {
    loadClip(makeClip(tempDir() + "/speed.mp4"));
    QQuickWindow* settings = openSettings();
    ASSERT_NE(settings, nullptr);
    auto pickerIndex = [&] {
        return findItem(settings, "settingsSpeedUnit")->property("currentIndex").toInt();
    };
    EXPECT_EQ(pickerIndex(), 0);

    click(window, "speedButton");
    EXPECT_TRUE(Settings::instance()->useMilesPerHour());
    EXPECT_EQ(pickerIndex(), 1);
    EXPECT_EQ(textOf(window, "overlaySpeedUnit"), "mph");

    click(settings, "segment_km/h");
    EXPECT_FALSE(Settings::instance()->useMilesPerHour());
    EXPECT_EQ(textOf(window, "overlaySpeedUnit"), "km/h");
}

TEST_F(StudioWindowTest, BatchFilterSwitchAndSettingsSwitchStayInStep) {
    const QString folder = tempDir();
    makeClip(folder + "/one.mp4");
    makeClip(folder + "/two.mp4");
    QMetaObject::invokeMethod(sourcesOf(window), "openFolderPanelResult",
                              Q_ARG(QUrl, QUrl::fromLocalFile(folder)));
    ASSERT_TRUE(waitFor([&] { return isShown(window, "batchBox"); }));
    EXPECT_TRUE(waitFor([&] { return textOf(window, "statusText") == "Loaded one.mp4"; }));
    EXPECT_TRUE(textOf(window, "batchHeader").contains("2 clips"));
    saveScreenshot(window, "batch");

    QQuickWindow* settings = openSettings();
    ASSERT_NE(settings, nullptr);
    auto settingsSwitch = [&] {
        return findItem(settings, "settingsOnlyWithMetadata")->property("checked").toBool();
    };
    auto batchSwitch = [&] {
        return findItem(window, "onlyWithMetadataSwitch")->property("checked").toBool();
    };
    click(window, "onlyWithMetadataSwitch");
    EXPECT_TRUE(Settings::instance()->onlyWithMetadata());
    EXPECT_TRUE(settingsSwitch());
    EXPECT_TRUE(textOf(window, "batchHeader").contains("visible:"));

    click(settings, "settingsOnlyWithMetadata");
    EXPECT_FALSE(Settings::instance()->onlyWithMetadata());
    EXPECT_FALSE(batchSwitch());
}

TEST_F(StudioWindowTest, ExportButtonAppearsOnlyWithTelemetry) {
    const QString dir = tempDir();
    const QUrl bare = makeClip(dir + "/bare.mp4", {"--no-telemetry"});
    ASSERT_TRUE(drop(window, {bare}));
    ASSERT_TRUE(waitFor(
        [&] { return textOf(window, "statusText") == "Unsupported MP4: no Orvik SEI metadata"; }));
    EXPECT_FALSE(isShown(window, "exportCsvButton"));
    EXPECT_FALSE(isShown(window, "telemetryOverlay"));

    loadClip(makeClip(dir + "/full.mp4"));
    EXPECT_TRUE(isShown(window, "exportCsvButton"));
}

TEST_F(StudioWindowTest, ShowMainWindowRaisesAVisibleWindowWithoutFallback) {
    QTest::keyClick(window, Qt::Key_1, Qt::ControlModifier);
    QTest::qWait(50);
    EXPECT_EQ(app->viewerWindows().size(), 1);
    EXPECT_EQ(app->delegate().fallbackWindow(), nullptr);

    // Any visible window counts, the settings window too.
    window->close();
    ASSERT_TRUE(waitFor([&] { return !window->isVisible(); }));
    QQuickWindow* settings = openSettings();
    Commands::instance()->post(Commands::kShowMainWindow);
    EXPECT_EQ(app->delegate().fallbackWindow(), nullptr);
    EXPECT_TRUE(settings->isVisible());
}

TEST_F(StudioWindowTest, ShowMainWindowWithNoVisibleWindowShowsOneFallbackWindow) {
    window->close();
    ASSERT_TRUE(waitFor([&] { return !window->isVisible(); }));

    Commands::instance()->post(Commands::kShowMainWindow);
    QQuickWindow* fallback = app->delegate().fallbackWindow();
    ASSERT_NE(fallback, nullptr);
    EXPECT_TRUE(fallback->isVisible());
    EXPECT_EQ(fallback->title(), "Veldrin");
    EXPECT_EQ(fallback->size(), QSize(1200, 820));
    EXPECT_EQ(textOf(fallback, "statusText"), kFreshStatus);

    fallback->close();
    ASSERT_TRUE(waitFor([&] { return !fallback->isVisible(); }));
    Commands::instance()->post(Commands::kShowMainWindow);
    EXPECT_EQ(app->delegate().fallbackWindow(), fallback);
    EXPECT_TRUE(fallback->isVisible());
    EXPECT_EQ(app->viewerWindows().size(), 2);
}

TEST_F(StudioWindowTest, QuickGuideOpensAndClosesWithOk) {
    QObject* guide = window->findChild<QObject*>("quickGuide");
    ASSERT_NE(guide, nullptr);
    QTest::keyClick(window, Qt::Key_Question, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(waitFor([&] { return guide->property("opened").toBool(); }));
    EXPECT_EQ(textOf(window, "quickGuideTitle"), "Veldrin Quick Guide");
    click(window, "quickGuideOk");
    EXPECT_TRUE(waitFor([&] { return !guide->property("visible").toBool(); }));
    EXPECT_EQ(textOf(window, "statusText"), kFreshStatus);
}

// A second launch of the real program hands its file to the running studio (this test).
TEST_F(StudioWindowTest, SecondLaunchHandsItsFileToTheRunningStudio) {
    const QString key =
        QStringLiteral("veldrin-gui-test-") + QUuid::createUuid().toString(QUuid::Id128);
    SingleInstance instance(key);
    ASSERT_TRUE(instance.listen());
    QObject::connect(&instance, &SingleInstance::handedOver, &app->delegate(),
                     &AppDelegate::handleHandOver);
    const QString dir = tempDir();
    makeClip(dir + "/handed.mp4");

    auto launch = [&](const QStringList& arguments) {
        QProcess second;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("VELDRIN_INSTANCE_KEY", key);
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        second.setProcessEnvironment(environment);
        second.setWorkingDirectory(dir);
        second.start(QStringLiteral(VELDRIN_STUDIO_PATH), arguments);
        // The running studio must answer while the second one waits.
        EXPECT_TRUE(waitFor([&] { return second.state() == QProcess::NotRunning; }));
        EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(second.exitCode(), 0);
    };

    launch({"notes.txt", "handed.mp4"});
    EXPECT_TRUE(waitFor([&] { return textOf(window, "statusText") == "Loaded handed.mp4"; }))
        << textOf(window, "statusText").toStdString();

    // Without files, a later launch reopens a window when none is visible.
    window->close();
    ASSERT_TRUE(waitFor([&] { return !window->isVisible(); }));
    launch({});
    EXPECT_TRUE(waitFor([&] { return app->delegate().fallbackWindow() != nullptr; }));
}

TEST(ExternalOpenTest, TakesTheFirstLocalFileEndingInMp4InAnyCase) {
    const QUrl web(QStringLiteral("https://example.org/clip.mp4"));
    const QUrl mov = QUrl::fromLocalFile(QStringLiteral("/clips/a.mov"));
    const QUrl upper = QUrl::fromLocalFile(QStringLiteral("/clips/B.MP4"));
    const QUrl lower = QUrl::fromLocalFile(QStringLiteral("/clips/c.mp4"));
    const struct {
        QList<QUrl> urls;
        std::optional<QUrl> expected;
    } cases[] = {
        {{mov, upper, lower}, upper}, {{web, lower}, lower}, {{web}, std::nullopt},
        {{mov}, std::nullopt},        {{}, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(firstClipUrl(c.urls), c.expected);
}

TEST(ExternalOpenTest, ArgumentsBecomeFileUrlsAndOptionsAreLeftOut) {
    const QList<QUrl> urls =
        urlsFromArguments({QStringLiteral("clip.mp4"), QStringLiteral("--screenshot=x.png"),
                           QStringLiteral("/abs/B.MP4")},
                          QStringLiteral("/work"));
    ASSERT_EQ(urls.size(), 2);
    EXPECT_EQ(urls[0], QUrl::fromLocalFile(QStringLiteral("/work/clip.mp4")));
    EXPECT_EQ(urls[1], QUrl::fromLocalFile(QStringLiteral("/abs/B.MP4")));
}

TEST(StudioGermanTest, WindowTextsAreTranslated) {
    ASSERT_TRUE(installTranslation(QLocale(QLocale::German)));
    {
        VeldrinApp app;
        app.launch();
        QQuickWindow* window = app.mainWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(textOf(window, "dropZoneLabel"), "MP4 hier ablegen");
        EXPECT_EQ(findItem(window, "openFileButton")->property("text").toString(), "Datei öffnen");
        EXPECT_EQ(textOf(window, "statusText"), "Legen Sie eine MP4-Datei ab, um zu beginnen");
    }
    installTranslation(QLocale(QLocale::English));
}

} // namespace
