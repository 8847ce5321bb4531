// The main window: menus, panels, the quick guide, and the studio view of one viewer. It
// answers the process-wide commands while it is on screen.
import QtQuick
import QtQuick.Controls.Basic
import Qt.labs.platform as Platform
import Veldrin.Platform
import Veldrin.Views
import Veldrin.Shell

ApplicationWindow {
    id: window
    objectName: "mainWindow"
    required property var viewer
    required property var sources
    readonly property var readout: viewer.readout

    // The application's name follows, added by Qt.
    title: viewer.load.documentTitle
    width: 1200
    height: 820
    color: Theme.gradientStart

    property bool videoOnly: false

    function openClipPanel() {
        clipDialog.open()
    }
    function openFolderPanel() {
        folderDialog.open()
    }
    function exportCsv() {
        if (viewer.telemetry.rawCSV.length === 0)
            return
        exportDialog.folder = sources.exportFolderUrl
        exportDialog.currentFile = sources.proposedExportUrl
        exportDialog.open()
        // The Widgets panel takes a proposed name only once it exists.
        exportDialog.currentFile = sources.proposedExportUrl
    }
    function exportEvidence() {
        if (viewer.telemetry.rawCSV.length === 0)
            return
        evidenceDialog.folder = sources.exportFolderUrl
        evidenceDialog.open()
    }
    // GPX, GeoJSON or KML, from a panel driven in C++ (see RouteSavePanel).
    function exportRoute() {
        if (viewer.telemetry.rawCSV.length === 0)
            return
        Shell.openRouteSavePanel(sources, window)
    }
    function exportTripCsv() {
        if (!sources.trip.canExport)
            return
        tripExportDialog.currentFile = sources.proposedTripExportUrl
        tripExportDialog.open()
        tripExportDialog.currentFile = sources.proposedTripExportUrl
    }
    function toggleFullScreen() {
        videoOnly = !videoOnly
        if (videoOnly)
            showFullScreen()
        else
            showNormal()
    }

    menuBar: MenuBar {
        objectName: "menuBar"
        SizedMenu {
            title: qsTranslate("Veldrin", "File")
            Action {
                objectName: "openVideoAction"
                text: qsTranslate("Veldrin", "Open Video...")
                shortcut: "Ctrl+O"
                onTriggered: Commands.post(Commands.openFileName)
            }
            Action {
                objectName: "openFolderAction"
                text: qsTranslate("Veldrin", "Open Batch Folder...")
                shortcut: "Ctrl+Shift+O"
                onTriggered: Commands.post(Commands.openFolderName)
            }
            MenuSeparator {}
            Action {
                objectName: "exportCsvAction"
                text: qsTranslate("Veldrin", "Export CSV...")
                shortcut: "Ctrl+E"
                onTriggered: Commands.post(Commands.exportCsvName)
            }
            Action {
                objectName: "exportTripCsvAction"
                text: qsTranslate("Veldrin", "Export Trip CSV...")
                shortcut: "Ctrl+Shift+E"
                enabled: window.sources.trip.canExport
                onTriggered: window.exportTripCsv()
            }
            Action {
                objectName: "exportRouteAction"
                text: qsTranslate("Veldrin", "Export Route...")
                onTriggered: Commands.post(Commands.exportRouteName)
            }
            Action {
                objectName: "exportEvidenceAction"
                text: qsTranslate("Veldrin", "Export Evidence...")
                onTriggered: Commands.post(Commands.exportEvidenceName)
            }
            MenuSeparator {}
            Action {
                objectName: "settingsAction"
                text: qsTranslate("Veldrin", "Settings...")
                shortcut: "Ctrl+,"
                onTriggered: Shell.showSettings()
            }
            MenuSeparator {}
            Action {
                objectName: "quitAction"
                text: qsTranslate("Veldrin", "Quit")
                // Spelled out: platforms with a Windows key scheme have no standard Quit key.
                shortcut: "Ctrl+Q"
                onTriggered: Qt.quit()
            }
        }
        SizedMenu {
            title: qsTranslate("Veldrin", "Tools")
            Action {
                objectName: "showMainWindowAction"
                text: qsTranslate("Veldrin", "Show Main Window")
                shortcut: "Ctrl+1"
                onTriggered: Commands.post(Commands.showMainWindowName)
            }
        }
        SizedMenu {
            title: qsTranslate("Veldrin", "Help")
            Action {
                objectName: "quickGuideAction"
                text: qsTranslate("Veldrin", "Quick Guide")
                shortcut: "Ctrl+?"
                onTriggered: quickGuide.open()
            }
            Action {
                objectName: "referenceAction"
                text: qsTranslate("Veldrin", "Dashcam Reference (GitHub)")
                onTriggered: Shell.openReferencePage()
            }
            Action {
                objectName: "issuesAction"
                text: qsTranslate("Veldrin", "Report a Problem (GitHub Issues)")
                onTriggered: Shell.openIssuesPage()
            }
        }
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

    // Playback keys; a text field with focus or the open guide keeps them.
    readonly property bool playerKeysEnabled: !quickGuide.visible
        && !(activeFocusItem && activeFocusItem.cursorPosition !== undefined)
    readonly property var player: studio.player
    readonly property int longSeekMs: 5000
    readonly property int shortSeekMs: 1000
    component PlayerKey: Shortcut {
        enabled: window.playerKeysEnabled
        autoRepeat: false
    }
    PlayerKey {
        sequence: "Space"
        onActivated: studio.togglePlayback()
    }
    PlayerKey {
        sequence: "Left"
        autoRepeat: true
        onActivated: window.player.seekBy(-window.longSeekMs)
    }
    PlayerKey {
        sequence: "Right"
        autoRepeat: true
        onActivated: window.player.seekBy(window.longSeekMs)
    }
    PlayerKey {
        sequence: "Shift+Left"
        autoRepeat: true
        onActivated: window.player.seekBy(-window.shortSeekMs)
    }
    PlayerKey {
        sequence: "Shift+Right"
        autoRepeat: true
        onActivated: window.player.seekBy(window.shortSeekMs)
    }
    PlayerKey {
        sequence: "Home"
        onActivated: window.player.seekTo(0)
    }
    PlayerKey {
        sequence: "End"
        onActivated: window.player.seekToLastFrame()
    }
    PlayerKey {
        sequence: ","
        autoRepeat: true
        onActivated: window.player.stepFrame(-1)
    }
    PlayerKey {
        sequence: "."
        autoRepeat: true
        onActivated: window.player.stepFrame(1)
    }
    PlayerKey {
        sequence: "K"
        onActivated: window.player.pause()
    }
    PlayerKey {
        sequence: "L"
        onActivated: window.player.playFaster()
    }
    PlayerKey {
        sequence: "["
        onActivated: window.player.stepRate(-1)
    }
    PlayerKey {
        sequence: "]"
        onActivated: window.player.stepRate(1)
    }
    PlayerKey {
        sequence: "M"
        onActivated: window.player.toggleMuted()
    }
    // 1-9 make that camera large; G shows all cameras at once.
    Instantiator {
        model: studio.cameras.maxKeys
        delegate: PlayerKey {
            required property int index
            sequence: String(index + 1)
            onActivated: studio.cameras.selectIndex(index)
        }
    }
    PlayerKey {
        sequence: "G"
        onActivated: studio.cameras.toggleGrid()
    }
    // N and Shift+N: the next and the previous driving event.
    PlayerKey {
        sequence: "N"
        onActivated: studio.jumpToEvent(1)
    }
    PlayerKey {
        sequence: "Shift+N"
        onActivated: studio.jumpToEvent(-1)
    }

    QuickGuide {
        id: quickGuide
    }

    // Platform panels: the desktop's own where it has one, else the Qt Widgets panel.
    Platform.FileDialog {
        id: clipDialog
        objectName: "clipDialog"
        title: window.sources.openClipPanelTitle
        acceptLabel: qsTranslate("Veldrin", "Open")
        fileMode: Platform.FileDialog.OpenFile
        nameFilters: [qsTranslate("Veldrin", "MPEG-4 movie") + " (*.mp4 *.MP4)"]
        onAccepted: window.sources.openClipPanelResult(file)
    }
    Platform.FolderDialog {
        id: folderDialog
        objectName: "folderDialog"
        title: window.sources.openFolderPanelTitle
        acceptLabel: qsTranslate("Veldrin", "Choose")
        onAccepted: window.sources.openFolderPanelResult(folder)
    }
    // The bundle goes into the chosen folder as NAME_evidence/.
    Platform.FolderDialog {
        id: evidenceDialog
        objectName: "evidenceDialog"
        title: window.sources.evidencePanelTitle
        acceptLabel: qsTranslate("Veldrin", "Choose")
        onAccepted: window.sources.exportEvidence(folder)
    }
    // Asks before replacing a file: the panel's own confirmation is left on.
    Platform.FileDialog {
        id: exportDialog
        objectName: "exportDialog"
        title: window.sources.exportPanelTitle
        acceptLabel: qsTranslate("Veldrin", "Save")
        fileMode: Platform.FileDialog.SaveFile
        defaultSuffix: "csv"
        nameFilters: [qsTranslate("Veldrin", "Comma-separated values") + " (*.csv)"]
        onAccepted: window.sources.exportCsv(file)
    }
    Platform.FileDialog {
        id: tripExportDialog
        objectName: "tripExportDialog"
        title: qsTranslate("Veldrin", "Export Trip CSV")
        acceptLabel: qsTranslate("Veldrin", "Save")
        fileMode: Platform.FileDialog.SaveFile
        defaultSuffix: "csv"
        nameFilters: [qsTranslate("Veldrin", "Comma-separated values") + " (*.csv)"]
        onAccepted: window.sources.exportTripCsv(file)
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
