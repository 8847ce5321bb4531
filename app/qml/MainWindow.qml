// The main window: menus, panels, the quick guide, and the studio view of one viewer. It
// answers the process-wide commands while it is on screen.
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Dialogs
import Veldrin.Platform
import Veldrin.Views
import Veldrin.Shell

ApplicationWindow {
    id: window
    objectName: "mainWindow"
    required property var viewer
    required property var sources
    readonly property var readout: viewer.readout

    title: Strings.text("Veldrin")
    minimumWidth: 1080
    minimumHeight: 760
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
        if (viewer.rawCSV.length === 0)
            return
        exportDialog.selectedFile = exportDialog.currentFolder + "/" + sources.proposedExportFileName
        exportDialog.open()
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
        Menu {
            title: Strings.text("File")
            Action {
                objectName: "openVideoAction"
                text: Strings.text("Open Video...")
                shortcut: "Ctrl+O"
                onTriggered: Commands.post(Commands.openFileName)
            }
            Action {
                objectName: "openFolderAction"
                text: Strings.text("Open Batch Folder...")
                shortcut: "Ctrl+Shift+O"
                onTriggered: Commands.post(Commands.openFolderName)
            }
            MenuSeparator {}
            Action {
                objectName: "exportCsvAction"
                text: Strings.text("Export CSV...")
                shortcut: "Ctrl+E"
                onTriggered: Commands.post(Commands.exportCsvName)
            }
            MenuSeparator {}
            Action {
                objectName: "settingsAction"
                text: Strings.text("Settings...")
                shortcut: "Ctrl+,"
                onTriggered: Shell.showSettings()
            }
            MenuSeparator {}
            Action {
                objectName: "quitAction"
                text: Strings.text("Quit")
                shortcut: StandardKey.Quit
                onTriggered: Qt.quit()
            }
        }
        Menu {
            title: Strings.text("Tools")
            Action {
                objectName: "showMainWindowAction"
                text: Strings.text("Show Main Window")
                shortcut: "Ctrl+1"
                onTriggered: Commands.post(Commands.showMainWindowName)
            }
        }
        Menu {
            title: Strings.text("Help")
            Action {
                objectName: "quickGuideAction"
                text: Strings.text("Quick Guide")
                shortcut: "Ctrl+?"
                onTriggered: quickGuide.open()
            }
            Action {
                objectName: "referenceAction"
                text: Strings.text("Dashcam Reference (GitHub)")
                onTriggered: Shell.openReferencePage()
            }
            Action {
                objectName: "issuesAction"
                text: Strings.text("Report a Problem (GitHub Issues)")
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
        sequence: "Space"
        onActivated: studio.togglePlayback()
    }
    Shortcut {
        sequence: "Escape"
        enabled: window.videoOnly
        onActivated: window.toggleFullScreen()
    }

    QuickGuide {
        id: quickGuide
    }

    FileDialog {
        id: clipDialog
        objectName: "clipDialog"
        title: window.sources.openClipPanelTitle
        fileMode: FileDialog.OpenFile
        nameFilters: [Strings.text("MPEG-4 movie") + " (*.mp4 *.MP4)"]
        onAccepted: window.sources.openClipPanelResult(selectedFile)
    }
    FolderDialog {
        id: folderDialog
        objectName: "folderDialog"
        title: window.sources.openFolderPanelTitle
        onAccepted: window.sources.openFolderPanelResult(selectedFolder)
    }
    FileDialog {
        id: exportDialog
        objectName: "exportDialog"
        fileMode: FileDialog.SaveFile
        defaultSuffix: "csv"
        nameFilters: [Strings.text("Comma-separated values") + " (*.csv)"]
        onAccepted: window.sources.exportCsv(selectedFile)
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
    Component.onCompleted: viewer.startObservingPlaybackClock()
}
