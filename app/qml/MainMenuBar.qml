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
            enabled: sources.trip.canExport
            onTriggered: tripCsvExportRequested()
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
            onTriggered: quickGuideRequested()
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
