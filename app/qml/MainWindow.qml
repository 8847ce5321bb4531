// The main window: menus, panels, the quick guide, and the studio view of one viewer. It
// answers the process-wide commands while it is on screen.
import QtQuick
import QtQuick.Controls.Basic
import Veldrin.Views
import Veldrin.App
import Veldrin.Sources
import Veldrin.Viewer

ApplicationWindow {
    id: window
    objectName: "mainWindow"
    required property ContentView viewer
    required property ClipSources sources
    readonly property TelemetryReadout readout: viewer.readout

    // The application's name follows, added by Qt.
    title: viewer.load.documentTitle
    width: 1200
    height: 820
    color: Theme.gradientStart

    property bool videoOnly: false

    function openClipPanel() {
        dialogs.openClip()
    }
    function openFolderPanel() {
        dialogs.openFolder()
    }
    function exportCsv() {
        if (viewer.telemetry.rawCSV.length > 0)
            dialogs.exportCsv()
    }
    function exportEvidence() {
        if (viewer.telemetry.rawCSV.length > 0)
            dialogs.exportEvidence()
    }
    function exportRoute() {
        if (viewer.telemetry.rawCSV.length > 0)
            dialogs.exportRoute()
    }
    function exportTripCsv() {
        if (sources.trip.canExport)
            dialogs.exportTripCsv()
    }
    function toggleFullScreen() {
        videoOnly = !videoOnly
        if (videoOnly)
            showFullScreen()
        else
            showNormal()
    }

    menuBar: MainMenuBar {
        sources: window.sources
        onTripCsvExportRequested: window.exportTripCsv()
        onQuickGuideRequested: quickGuide.open()
    }

    StudioView {
        id: studio
        objectName: "studioView"
        anchors.fill: parent
        viewer: window.viewer
        sources: window.sources
        readout: window.readout
        videoOnly: window.videoOnly
        onOpenFileRequested: window.openClipPanel()
        onOpenFolderRequested: window.openFolderPanel()
        onExportRequested: window.exportCsv()
        onFullScreenToggled: window.toggleFullScreen()
    }

    // "Ctrl+?" as keyboards deliver it: with Shift, on the "/" or the "?" key.
    Shortcut {
        sequences: ["Ctrl+Shift+?", "Ctrl+Shift+/"]
        onActivated: quickGuide.open()
    }
    Shortcut {
        sequence: "Escape"
        enabled: window.videoOnly
        onActivated: window.toggleFullScreen()
    }

    // A text field with focus or the open guide keeps the playback keys.
    PlayerKeys {
        view: studio
        active: !quickGuide.visible
            && !(window.activeFocusItem && window.activeFocusItem.cursorPosition !== undefined)
    }

    QuickGuide {
        id: quickGuide
    }

    WindowDialogs {
        id: dialogs
        sources: window.sources
    }

    // The process-wide commands reach only a view that is on screen.
    Connections {
        target: Commands
        enabled: window.visible
        function onOpenFile() {
            window.openClipPanel()
        }
        function onOpenFolder() {
            window.openFolderPanel()
        }
        function onExportCsv() {
            window.exportCsv()
        }
        function onExportRoute() {
            window.exportRoute()
        }
        function onExportEvidence() {
            window.exportEvidence()
        }
        function onOpenExternalFile() {
            window.sources.takePendingExternalFile()
        }
    }
    onVisibleChanged: {
        if (visible)
            sources.takePendingExternalFile()
        else
            sources.cancelFolderScan()
    }
    Component.onCompleted: viewer.clock.startObservingPlaybackClock()

    // While the video plays, the readout's tick rides on the next frame.
    Connections {
        target: studio.player
        function onShownPositionChanged() {
            window.viewer.clock.framePresented(studio.player.shownPosition / 1000)
        }
        function onPlayingChanged() {
            window.viewer.clock.setTickOnFrames(studio.player.playing)
        }
    }
}
