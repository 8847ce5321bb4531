// The application: the QML engine, the main window scene, the settings window, the help
// links and the one AppDelegate. QML reaches it as the singleton `Shell` for menu actions.
#pragma once

#include "AppDelegate.h"
#include "ClipSources.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QUrl>
#include <QWindow>

#include <memory>
#include <vector>

class ClipSources;
class ContentView;

class VeldrinApp : public QObject {
    Q_OBJECT
    // The map's tile source in use and why (the command line or environment may override the
    // settings), for the settings window.
    Q_PROPERTY(QString tileSourceNote READ tileSourceNote NOTIFY tileSourceNoteChanged)

public:
    // Small enough for a 1366 x 768 screen with a panel and a title bar.
    static constexpr int kMinimumWindowWidth = 1000;
    static constexpr int kMinimumWindowHeight = 640;

    // Needs the QGuiApplication; one at a time per process.
    explicit VeldrinApp(QObject* parent = nullptr);
    ~VeldrinApp() override;

    // Builds the main window scene, shows it and runs the start-up sequence; `handedOver`
    // are the files the studio was started with.
    void launch(const QList<QUrl>& handedOver = {});

    // Before the process ends: stops playback and scans, closes every window (which removes
    // this run's staged copies) and writes the settings. Runs when the application quits.
    void shutDown();

    QQmlEngine& engine() { return engine_; }
    AppDelegate& delegate() { return *delegate_; }
    QQuickWindow* mainWindow() const;
    // The settings window once it was opened, else null.
    QQuickWindow* settingsWindow() const { return settingsWindow_; }
    // Every window holding a viewer: the main window and, once made, the fallback window.
    QList<QQuickWindow*> viewerWindows() const;

    QString tileSourceNote() const;

    Q_INVOKABLE void showSettings();
    Q_INVOKABLE void openReferencePage() const;
    Q_INVOKABLE void openIssuesPage() const;

signals:
    void tileSourceNoteChanged();

private:
    struct ViewerWindow;

    // A hidden window over a new viewer in its initial state.
    QQuickWindow* createViewerWindow();

    QQmlEngine engine_;
    std::unique_ptr<AppDelegate> delegate_;
    // Destroyed before the engine; each window goes before its viewer.
    std::vector<std::unique_ptr<ViewerWindow>> viewerWindows_;
    QPointer<QQuickWindow> settingsWindow_;
};
