#include "StudioMain.h"

#include "ExternalOpen.h"
#include "LocalizedString.h"
#include "SingleInstance.h"
#include "TileSource.h"
#include "VeldrinApp.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QQuickWindow>
#include <QTimer>

namespace {
const QString kOrganizationName = QStringLiteral("Veldrin");
const QString kApplicationName = QStringLiteral("veldrin-studio");
const QString kDisplayName = QStringLiteral("Veldrin Studio");
const QString kDesktopFileName = QStringLiteral("veldrin-studio");
const QString kScreenshotOption = QStringLiteral("screenshot");
const QString kScreenshotDelayOption = QStringLiteral("screenshot-delay");
const QString kDefaultScreenshotDelayMs = QStringLiteral("3000");
const QString kTilesOption = QStringLiteral("tiles");
const QString kTilesOptionHelp =
    QStringLiteral("Map tiles from an MBTiles <file> or an XYZ URL template with {z}, {x} and {y}; "
                   "outranks VELDRIN_TILES (VELDRIN_TILE_URL) and the settings.");
// Set by the desktop for the launched program; a running studio needs it to come forward.
const char* const kActivationTokenVariable = "XDG_ACTIVATION_TOKEN";

// For checks and documentation: saves the first visible window as an image, then quits.
void scheduleScreenshot(const QString& path, int delayMs) {
    QTimer::singleShot(delayMs, qApp, [path] {
        int exitCode = 1;
        for (QWindow* window : QGuiApplication::topLevelWindows()) {
            auto* quickWindow = qobject_cast<QQuickWindow*>(window);
            if (quickWindow && quickWindow->isVisible()) {
                exitCode = quickWindow->grabWindow().save(path) ? 0 : 1;
                break;
            }
        }
        QCoreApplication::exit(exitCode);
    });
}

void addOptions(QCommandLineParser& parser) {
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("MP4 clips to open"),
                                 QStringLiteral("[files...]"));
    parser.addOption({kScreenshotOption, QStringLiteral("Save the window to <file> and quit."),
                      QStringLiteral("file")});
    parser.addOption({kScreenshotDelayOption,
                      QStringLiteral("Milliseconds before the screenshot (default 3000)."),
                      QStringLiteral("ms"), kDefaultScreenshotDelayMs});
    parser.addOption({kTilesOption, kTilesOptionHelp, QStringLiteral("file|url")});
}

void setNames() {
    QCoreApplication::setOrganizationName(kOrganizationName);
    QCoreApplication::setApplicationName(kApplicationName);
    QCoreApplication::setApplicationVersion(QStringLiteral(VELDRIN_VERSION));
}
} // namespace

int runStudio(int argc, char** argv) {
    QCommandLineParser parser;
    addOptions(parser);
    {
        // Read before any display is opened: --help, --version and a wrong option need none,
        // and print and exit here.
        QCoreApplication reader(argc, argv);
        setNames();
        parser.process(reader);
    }
    // A widgets application, so the platform file dialogs can fall back to QFileDialog.
    QApplication app(argc, argv);
    setNames();
    QGuiApplication::setApplicationDisplayName(kDisplayName);
    QGuiApplication::setDesktopFileName(kDesktopFileName);

    const QList<QUrl> handedOver =
        urlsFromArguments(parser.positionalArguments(), QDir::currentPath());
    const bool takesScreenshot = parser.isSet(kScreenshotOption);
    if (parser.isSet(kTilesOption)) {
        const QString tiles = parser.value(kTilesOption);
        tilesource::setCommandLineLocation(
            tilesource::isUrlTemplate(tiles)
                ? tiles
                : QFileInfo(tilesource::filePath(tiles)).absoluteFilePath());
    }

    SingleInstance instance;
    // A screenshot run is a tool run: it stands apart from a studio the user has open.
    const SingleInstance::Launch launch =
        takesScreenshot ? SingleInstance::Launch::standalone
                        : instance.start(handedOver, qgetenv(kActivationTokenVariable));
    if (launch == SingleInstance::Launch::handedOver)
        return 0;

    installTranslation(QLocale());
    VeldrinApp studio;
    if (launch == SingleInstance::Launch::listening)
        QObject::connect(&instance, &SingleInstance::handedOver, &studio.delegate(),
                         &AppDelegate::handleHandOver);
    studio.launch(handedOver);
    if (takesScreenshot)
        scheduleScreenshot(parser.value(kScreenshotOption),
                           parser.value(kScreenshotDelayOption).toInt());
    return app.exec();
}
