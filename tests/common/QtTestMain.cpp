// GoogleTest main for tests that need a Qt application object and its event loop.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char** argv) {
    // Keep tests away from the user's settings and temporary files.
    QStandardPaths::setTestModeEnabled(true);
    // Tests never need a real screen; test discovery runs without the tests' environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A widgets application, as the studio's: its panels fall back to Qt Widgets.
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName("VeldrinTests");
    QCoreApplication::setApplicationName("veldrin-tests");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
