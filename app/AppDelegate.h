// The application delegate: the start-up sequence, keeping a window on screen (the main
// window or a fallback window made once), and files handed over by the operating system.
#pragma once

#include <QByteArray>
#include <QList>
#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QUrl>

#include <functional>
#include <optional>

class Commands;
#include <QQuickWindow>

class AppDelegate : public QObject {
    Q_OBJECT

public:
    // Makes a hidden main-window view over a fresh viewer; its maker keeps it alive.
    using WindowFactory = std::function<QQuickWindow*()>;

    // A window manager's title bar and borders, assumed until the shown window reports its own.
    static constexpr QMargins kFrameAllowance{4, 36, 4, 4};

    // Where a window of `preferred` size opens on a screen whose free area is `available`:
    // shrunk to fit with its `frame`, centred, its title bar never above the free area.
    static QRect fittedGeometry(const QSize& preferred, const QRect& available,
                                const QMargins& frame);
    // Keeps `window` and its minimum size within its screen's free area: at `origin` when it
    // fits there whole, else as fittedGeometry places it.
    static void fitToScreen(QWindow* window, std::optional<QPoint> origin = std::nullopt);

    AppDelegate(Commands* commands, WindowFactory makeFallbackWindow, QObject* parent = nullptr);
    ~AppDelegate() override;

    // Brings a window to the front a moment after launch, once the first window is up.
    void applicationDidFinishLaunching();
    // Stores the first clip among `urls` as the pending external file and announces it.
    void openUrls(const QList<QUrl>& urls);
    // A relaunch without files; shows a window when none is visible.
    bool applicationShouldHandleReopen(bool hasVisibleWindows);
    void handleShowMainWindow();
    // A later launch: brings a window forward with the launcher's activation token (which
    // the Wayland platform reads from the environment), then opens the launch's files.
    void handleHandOver(const QList<QUrl>& urls, const QByteArray& activationToken = {});

    // Raises the first visible window, restored if it was minimised, or shows the fallback
    // window.
    void showMainWindow();

    QQuickWindow* fallbackWindow() const { return fallbackWindow_; }
    static bool hasVisibleWindows();

private:
    Commands* commands_;
    WindowFactory makeFallbackWindow_;
    QPointer<QQuickWindow> fallbackWindow_;
};
