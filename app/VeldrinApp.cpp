#include "VeldrinApp.h"

#include "ClipSources.h"
#include "Commands.h"
#include "ContentView.h"
#include "Settings.h"
#include "ShellSingletons.h"
#include "TileSource.h"
#include "TripPlayback.h"
#include "VideoPlayer.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQuickWindow>
#include <QSettings>

namespace {
const QUrl kMainWindowQml(QStringLiteral("qrc:/Veldrin/App/qml/MainWindow.qml"));
const QUrl kSettingsWindowQml(QStringLiteral("qrc:/Veldrin/App/qml/SettingsWindow.qml"));
const QString kQmlImportRoot = QStringLiteral("qrc:/");
const QString kReferencePage = QStringLiteral(VELDRIN_HELP_REFERENCE_URL);
const QString kIssuesPage = QStringLiteral(VELDRIN_HELP_ISSUES_URL);

VeldrinApp* gInstance = nullptr;

void openPage(const QString& address) {
    const QUrl url(address, QUrl::StrictMode);
    if (url.isValid() && !url.isRelative())
        QDesktopServices::openUrl(url);
}

// Closing the main window ends the studio, as on any Linux desktop. Queued: the close may
// itself come from the quit closing every window.
class QuitOnClose : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Close)
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        return false;
    }
};

void reportQmlErrors(const QQmlComponent& component) {
    for (const QQmlError& error : component.errors())
        qWarning("%s", qPrintable(error.toString()));
}
} // namespace

struct VeldrinApp::ViewerWindow {
    // Taking the video output away from a paused pipeline corrupts the multimedia backend's
    // heap; an emptied player has no pipeline left.
    ~ViewerWindow() {
        if (viewer)
            viewer->player()->clearCurrentItem();
    }

    // Members go in reverse order: the window first, then the sources, then the viewer.
    std::unique_ptr<ContentView> viewer;
    std::unique_ptr<ClipSources> sources;
    std::unique_ptr<QQuickWindow> window;
};

VeldrinApp::VeldrinApp(QObject* parent) : QObject(parent) {
    gInstance = this;
    engine_.addImportPath(kQmlImportRoot);
    delegate_ = std::make_unique<AppDelegate>(
        Commands::instance(), [this] { return createViewerWindow(); }, this);
    // File > Quit and Ctrl+Q call Qt.quit(); queued, so a quit before exec() is not lost.
    connect(&engine_, &QQmlEngine::quit, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &VeldrinApp::shutDown);
    connect(Settings::instance(), &Settings::mapTilesChanged, this,
            &VeldrinApp::tileSourceNoteChanged);
}

VeldrinApp* ShellSingleton::create(QQmlEngine*, QJSEngine*) {
    QQmlEngine::setObjectOwnership(gInstance, QQmlEngine::CppOwnership);
    return gInstance;
}

Commands* CommandsSingleton::create(QQmlEngine*, QJSEngine*) {
    QQmlEngine::setObjectOwnership(Commands::instance(), QQmlEngine::CppOwnership);
    return Commands::instance();
}

QString VeldrinApp::tileSourceNote() const {
    return tilesource::inUseNote();
}

VeldrinApp::~VeldrinApp() {
    shutDown();
    if (gInstance == this)
        gInstance = nullptr;
}

void VeldrinApp::shutDown() {
    for (const auto& entry : viewerWindows_) {
        entry->sources->cancelFolderScan();
        entry->viewer->player()->pause();
    }
    delete settingsWindow_.data();
    // Each window empties its player first; its clip sources remove their staged copies.
    viewerWindows_.clear();
    QSettings().sync();
}

void VeldrinApp::launch(const QList<QUrl>& handedOver) {
    ClipSources::removeStaleStagedCopies();
    QQuickWindow* window = createViewerWindow();
    if (!window)
        return;
    AppDelegate::fitToScreen(window);
    window->show();
    delegate_->applicationDidFinishLaunching();
    delegate_->openUrls(handedOver);
}

QQuickWindow* VeldrinApp::mainWindow() const {
    return viewerWindows_.empty() ? nullptr : viewerWindows_.front()->window.get();
}

QList<QQuickWindow*> VeldrinApp::viewerWindows() const {
    QList<QQuickWindow*> windows;
    for (const auto& entry : viewerWindows_)
        windows.append(entry->window.get());
    return windows;
}

QQuickWindow* VeldrinApp::createViewerWindow() {
    auto entry = std::make_unique<ViewerWindow>();
    entry->viewer = std::make_unique<ContentView>();
    entry->sources = std::make_unique<ClipSources>(*entry->viewer);
    TripPlayback::attach(*entry->viewer, *entry->sources);
    QQmlComponent component(&engine_, kMainWindowQml);
    if (component.isError()) {
        reportQmlErrors(component);
        return nullptr;
    }
    QObject* created = component.createWithInitialProperties(
        {{QStringLiteral("viewer"), QVariant::fromValue(entry->viewer.get())},
         {QStringLiteral("sources"), QVariant::fromValue(entry->sources.get())}});
    entry->window.reset(qobject_cast<QQuickWindow*>(created));
    if (!entry->window) {
        reportQmlErrors(component);
        delete created;
        return nullptr;
    }
    entry->window->setMinimumSize(QSize(kMinimumWindowWidth, kMinimumWindowHeight));
    QQuickWindow* window = entry->window.get();
    ContentView* viewer = entry->viewer.get();
    // Nothing plays unseen.
    connect(window, &QWindow::visibleChanged, viewer, [viewer](bool visible) {
        if (!visible)
            viewer->player()->pause();
    });
    if (viewerWindows_.empty())
        window->installEventFilter(new QuitOnClose(window));
    viewerWindows_.push_back(std::move(entry));
    return window;
}

void VeldrinApp::showSettings() {
    if (!settingsWindow_) {
        QQmlComponent component(&engine_, kSettingsWindowQml);
        QObject* created = component.create();
        settingsWindow_ = qobject_cast<QQuickWindow*>(created);
        if (!settingsWindow_) {
            reportQmlErrors(component);
            delete created;
            return;
        }
    }
    settingsWindow_->show();
    settingsWindow_->raise();
    settingsWindow_->requestActivate();
}

void VeldrinApp::openReferencePage() const {
    openPage(kReferencePage);
}

void VeldrinApp::openIssuesPage() const {
    openPage(kIssuesPage);
}
