// The application shell as a Linux user meets it: Ctrl+Q and closing the window end the
// studio with nothing left behind, a later launch brings the window forward with its clip,
// one studio per user across real processes, and folders nobody else can enter.
#include "StudioDriver.h"

#include "ContentView.h"
#include "SingleInstance.h"
#include "TestClips.h"
#include "VeldrinApp.h"
#include "VideoPlayer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <memory>
#include <sys/stat.h>

using namespace studio;

namespace {

const char* const kFolderVariables[] = {"XDG_CACHE_HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME"};
const std::chrono::seconds kLaunchWait(90);

// Every test has its own cache, runtime and settings folders and instance key; the studios it
// launches inherit them.
class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = QString::fromStdString(testclips::makeTempDir());
        for (const char* variable : kFolderVariables) {
            saved.append(qgetenv(variable));
            const QString folder = root + "/" + QString(variable).toLower();
            QDir().mkpath(folder);
            qputenv(variable, folder.toUtf8());
        }
        runtime = root + "/xdg_runtime_dir";
        chmod(QFile::encodeName(runtime).constData(), 0700);
        qputenv("VELDRIN_INSTANCE_KEY", "shell-test");
    }
    void TearDown() override {
        for (qsizetype i = 0; i < saved.size(); ++i)
            qputenv(kFolderVariables[i], saved[i]);
        qunsetenv("VELDRIN_INSTANCE_KEY");
    }

    QUrl makeClip(const QString& name) {
        testclips::generate((root + "/" + name).toStdString(), {"--duration", "2"});
        return QUrl::fromLocalFile(root + "/" + name);
    }
    QStringList stagedCopies() const {
        return QDir(root + "/xdg_cache_home/VeldrinDrops").entryList(QDir::Files);
    }
    // The real program, its hand-over log on standard error.
    std::unique_ptr<QProcess> startStudio(const QStringList& arguments,
                                          const QString& activationToken = {}) {
        auto studio = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_LOGGING_RULES", "veldrin.instance.info=true");
        environment.insert("XDG_ACTIVATION_TOKEN", activationToken);
        studio->setProcessEnvironment(environment);
        studio->setWorkingDirectory(root);
        studio->start(QStringLiteral(VELDRIN_STUDIO_PATH), arguments);
        return studio;
    }
    static bool ends(QProcess& studio) {
        return waitFor([&] { return studio.state() == QProcess::NotRunning; }, kLaunchWait) &&
               studio.exitStatus() == QProcess::NormalExit && studio.exitCode() == 0;
    }
    static bool logs(QProcess& studio, QString* log, const QString& text) {
        return waitFor(
            [&] {
                *log += QString::fromUtf8(studio.readAllStandardError());
                return log->contains(text);
            },
            kLaunchWait);
    }

    QString root;
    QString runtime;
    QList<QByteArray> saved;
};

TEST_F(ShellTest, QuitKeyAndClosingTheWindowEndTheStudioWithNothingLeftBehind) {
    const QUrl clip = makeClip("front.mp4");
    for (const bool byKey : {true, false}) {
        VeldrinApp app;
        app.launch({clip});
        QQuickWindow* window = app.mainWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        ASSERT_TRUE(waitFor([&] { return textOf(window, "statusText") == "Loaded front.mp4"; }));
        ASSERT_EQ(stagedCopies().size(), 1);
        window->property("viewer").value<ContentView*>()->player()->play();

        QTimer::singleShot(0, window, [window, byKey] {
            if (byKey)
                QTest::keyClick(window, Qt::Key_Q, Qt::ControlModifier);
            else
                window->close();
        });
        // A quit that never comes fails here rather than hanging the test.
        QTimer stuck;
        stuck.callOnTimeout([] { QCoreApplication::exit(1); });
        stuck.start(std::chrono::seconds(30));
        EXPECT_EQ(QCoreApplication::exec(), 0) << (byKey ? "Ctrl+Q" : "close");
        EXPECT_EQ(app.mainWindow(), nullptr);
        EXPECT_TRUE(stagedCopies().isEmpty());
    }
}

TEST_F(ShellTest, HelpAndVersionNeedNoDisplay) {
    for (const char* option : {"--help", "--version"}) {
        QProcess studio;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        environment.insert("QT_QPA_PLATFORM", "xcb");
        studio.setProcessEnvironment(environment);
        studio.start(QStringLiteral(VELDRIN_STUDIO_PATH), {option});
        ASSERT_TRUE(ends(studio)) << option << studio.readAllStandardError().toStdString();
        const QString out = QString::fromUtf8(studio.readAllStandardOutput());
        EXPECT_TRUE(QString(option) == "--help" ? out.contains("--tiles <file|url>")
                                                : out.startsWith("veldrin-studio 0."))
            << out.toStdString();
    }
}

TEST_F(ShellTest, AHandOverRestoresAndActivatesTheWindowWithTheLaunchersToken) {
    VeldrinApp app;
    app.launch();
    QQuickWindow* window = app.mainWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    SingleInstance instance;
    ASSERT_TRUE(instance.listen());
    QObject::connect(&instance, &SingleInstance::handedOver, &app.delegate(),
                     &AppDelegate::handleHandOver);
    makeClip("handed.mp4");
    window->showMinimized();
    app.showSettings();
    ASSERT_TRUE(waitFor([&] { return QGuiApplication::focusWindow() == app.settingsWindow(); }));
    qunsetenv("XDG_ACTIVATION_TOKEN");

    const auto second = startStudio({"handed.mp4"}, "token-42");
    EXPECT_TRUE(ends(*second));
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->windowStates() & Qt::WindowMinimized);
    EXPECT_EQ(QGuiApplication::focusWindow(), window);
    EXPECT_EQ(qgetenv("XDG_ACTIVATION_TOKEN"), "token-42");
    EXPECT_TRUE(waitFor([&] { return textOf(window, "statusText") == "Loaded handed.mp4"; }));
    qunsetenv("XDG_ACTIVATION_TOKEN");
}

TEST_F(ShellTest, LaunchesAtOnceLeaveOneStudioWithBothFilesAndAKilledOnesSocketIsTakenOver) {
    makeClip("a.mp4");
    makeClip("b.mp4");
    std::unique_ptr<QProcess> studios[] = {startStudio({"a.mp4"}), startStudio({"b.mp4"})};
    ASSERT_TRUE(waitFor(
        [&] {
            return studios[0]->state() == QProcess::NotRunning ||
                   studios[1]->state() == QProcess::NotRunning;
        },
        kLaunchWait));
    const int ended = studios[0]->state() == QProcess::NotRunning ? 0 : 1;
    EXPECT_TRUE(ends(*studios[ended]));
    QProcess& survivor = *studios[1 - ended];
    QString log;
    EXPECT_TRUE(logs(survivor, &log, ended == 0 ? "a.mp4" : "b.mp4")) << log.toStdString();
    EXPECT_EQ(survivor.state(), QProcess::Running);

    survivor.kill();
    survivor.waitForFinished();
    ASSERT_TRUE(QFileInfo::exists(SingleInstance().socketPath()));
    const auto next = startStudio({"a.mp4"});
    QString nextLog;
    ASSERT_TRUE(logs(*next, &nextLog, "listening")) << nextLog.toStdString();
    const auto last = startStudio({"b.mp4"});
    EXPECT_TRUE(ends(*last));
    EXPECT_TRUE(logs(*next, &nextLog, "b.mp4")) << nextLog.toStdString();
    next->kill();
    next->waitForFinished();
}

TEST_F(ShellTest, TheSocketLivesInAFolderNobodyElseCanEnter) {
    EXPECT_EQ(SingleInstance("../elsewhere/key").socketPath(), runtime + "/key");
    // A runtime folder others may enter is passed over for a private one in the cache.
    chmod(QFile::encodeName(runtime).constData(), 0755);
    const QString fallback = root + "/xdg_cache_home/VeldrinInstance";
    EXPECT_EQ(SingleInstance::socketFolder(), fallback);
    EXPECT_EQ(QFile::permissions(fallback), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                QFile::ReadUser | QFile::WriteUser |
                                                QFile::ExeUser);
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(SingleInstance::socketFolder(), fallback);
}

} // namespace
