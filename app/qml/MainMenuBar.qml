// The main window's menus. Commands every window answers go out through Commands; the rest
// are the window's own, asked for by signal.
import QtQuick
import QtQuick.Controls.Basic
import Veldrin.Platform
import Veldrin.Sources
import Veldrin.Views
import Veldrin.App

MenuBar {
    objectName: "menuBar"
    required property ClipSources sources

    signal tripCsvExportRequested
    signal quickGuideRequested

    SizedMenu {
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
        Action {
            objectName: "exportTripCsvAction"
            text: Strings.text("Export Trip CSV...")
            shortcut: "Ctrl+Shift+E"
            enabled: sources.trip.canExport
            onTriggered: tripCsvExportRequested()
        }
        Action {
            objectName: "exportRouteAction"
            text: Strings.text("Export Route...")
            onTriggered: Commands.post(Commands.exportRouteName)
        }
        Action {
            objectName: "exportEvidenceAction"
            text: Strings.text("Export Evidence...")
            onTriggered: Commands.post(Commands.exportEvidenceName)
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
            // Spelled out: platforms with a Windows key scheme have no standard Quit key.
            shortcut: "Ctrl+Q"
            onTriggered: Qt.quit()
        }
    }
    SizedMenu {
        title: Strings.text("Tools")
        Action {
            objectName: "showMainWindowAction"
            text: Strings.text("Show Main Window")
            shortcut: "Ctrl+1"
            onTriggered: Commands.post(Commands.showMainWindowName)
        }
    }
    SizedMenu {
        title: Strings.text("Help")
        Action {
            objectName: "quickGuideAction"
            text: Strings.text("Quick Guide")
            shortcut: "Ctrl+?"
            onTriggered: quickGuideRequested()
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
