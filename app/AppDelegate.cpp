#include "AppDelegate.h"

#include "Commands.h"
#include "ExternalOpen.h"
#include "PendingExternalFile.h"

#include <QGuiApplication>
#include <QQuickWindow>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace {
constexpr int kShowMainWindowDelayMs = 350;
const QPoint kFallbackWindowOrigin(160, 120);
const QSize kFallbackWindowSize(1200, 820);
const char* const kActivationTokenVariable = "XDG_ACTIVATION_TOKEN";

// Popups, tooltips and menus are windows to Qt, but not windows a person works in.
bool isWorkWindow(const QWindow* window) {
    const Qt::WindowType type = window->type();
    return type == Qt::Window || type == Qt::Dialog;
}

QWindow* firstVisibleWindow() {
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        if (window->isVisible() && isWorkWindow(window))
            return window;
    }
    return nullptr;
}

void bringForward(QWindow* window) {
    // Restored to what it was before minimising: maximised or full screen stays so.
    window->setWindowStates(window->windowStates() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->requestActivate();
}
} // namespace

AppDelegate::AppDelegate(Commands* commands, WindowFactory makeFallbackWindow, QObject* parent)
    : QObject(parent), commands_(commands), makeFallbackWindow_(std::move(makeFallbackWindow)) {
    connect(commands_, &Commands::showMainWindow, this, &AppDelegate::handleShowMainWindow);
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching() {
    QTimer::singleShot(kShowMainWindowDelayMs, this, &AppDelegate::showMainWindow);
}

void AppDelegate::openUrls(const QList<QUrl>& urls) {
    // A clip, else a folder to open as a batch.
    std::optional<QUrl> clip = firstClipUrl(urls);
    if (!clip)
        clip = firstFolderUrl(urls);
    if (!clip)
        return;
    pendingexternalfile::set(*clip);
    commands_->post(Commands::kOpenExternalFile);
}

bool AppDelegate::applicationShouldHandleReopen(bool hasVisibleWindows) {
    if (!hasVisibleWindows)
        showMainWindow();
    return true;
}

void AppDelegate::handleShowMainWindow() {
    showMainWindow();
}

void AppDelegate::handleHandOver(const QList<QUrl>& urls, const QByteArray& activationToken) {
    if (!activationToken.isEmpty())
        qputenv(kActivationTokenVariable, activationToken);
    showMainWindow();
    openUrls(urls);
}

bool AppDelegate::hasVisibleWindows() {
    return firstVisibleWindow() != nullptr;
}

void AppDelegate::showMainWindow() {
    if (QWindow* visible = firstVisibleWindow()) {
        bringForward(visible);
        return;
    }
    if (!fallbackWindow_) {
        fallbackWindow_ = makeFallbackWindow_();
        if (!fallbackWindow_)
            return;
        fallbackWindow_->resize(kFallbackWindowSize);
        fitToScreen(fallbackWindow_, kFallbackWindowOrigin);
    }
    bringForward(fallbackWindow_);
}

QRect AppDelegate::fittedGeometry(const QSize& preferred, const QRect& available,
                                  const QMargins& frame) {
    const QRect room = available.marginsRemoved(frame);
    QRect geometry(QPoint(), preferred.boundedTo(room.size()));
    geometry.moveCenter(room.center());
    return geometry;
}

void AppDelegate::fitToScreen(QWindow* window, std::optional<QPoint> origin) {
    const QScreen* screen = window->screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QMargins frame =
        window->frameMargins().isNull() ? kFrameAllowance : window->frameMargins();
    const QRect room = available.marginsRemoved(frame);
    window->setMinimumSize(window->minimumSize().boundedTo(room.size()));
    const QRect placed(origin.value_or(QPoint()), window->size());
    window->setGeometry(origin && room.contains(placed)
                            ? placed
                            : fittedGeometry(window->size(), available, frame));
}
