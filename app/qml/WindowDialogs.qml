// The main window's panels: opening a clip or a folder, and every export. The open panels are
// the platform's (the desktop's own where it has one, else the Qt Widgets panel); every save
// goes through the one SaveDialog.
import QtQuick
import Qt.labs.platform as Platform
import Veldrin.Platform
import Veldrin.Sources
import Veldrin.App

Item {
    id: dialogs
    required property ClipSources sources

    function openClip() {
        clipDialog.open()
    }
    function openFolder() {
        folderDialog.open()
    }
    function exportCsv() {
        csvDialog.proposedFile = sources.proposedExportUrl
        csvDialog.open()
    }
    function exportTripCsv() {
        tripCsvDialog.proposedFile = sources.proposedTripExportUrl
        tripCsvDialog.open()
    }
    // GPX, GeoJSON or KML: the type chosen in the panel, or the one the typed name's extension
    // names; the extension is added afterwards, so a file it would replace is asked about here.
    function exportRoute() {
        routeDialog.proposedFile = sources.proposedRouteExportUrl
        routeDialog.open()
    }
    function exportEvidence() {
        evidenceDialog.folder = sources.exportFolderUrl
        evidenceDialog.open()
    }

    Platform.FileDialog {
        id: clipDialog
        objectName: "clipDialog"
        title: dialogs.sources.openClipPanelTitle
        acceptLabel: qsTranslate("Veldrin", "Open")
        fileMode: Platform.FileDialog.OpenFile
        nameFilters: [qsTranslate("Veldrin", "MPEG-4 movie") + " (*.mp4 *.MP4)"]
        onAccepted: dialogs.sources.openClipPanelResult(file)
    }
    Platform.FolderDialog {
        id: folderDialog
        objectName: "folderDialog"
        title: dialogs.sources.openFolderPanelTitle
        acceptLabel: qsTranslate("Veldrin", "Choose")
        onAccepted: dialogs.sources.openFolderPanelResult(folder)
    }
    // The bundle goes into the chosen folder as NAME_evidence/.
    Platform.FolderDialog {
        id: evidenceDialog
        objectName: "evidenceDialog"
        title: dialogs.sources.evidencePanelTitle
        acceptLabel: qsTranslate("Veldrin", "Choose")
        onAccepted: dialogs.sources.exportEvidence(folder)
    }
    // The CSV panels ask before replacing a file themselves.
    SaveDialog {
        id: csvDialog
        objectName: "exportDialog"
        title: dialogs.sources.exportPanelTitle
        nameFilters: [qsTranslate("Veldrin", "Comma-separated values") + " (*.csv)"]
        defaultSuffix: "csv"
        parentWindow: dialogs.Window.window
        onChosen: file => dialogs.sources.exportCsv(file)
    }
    SaveDialog {
        id: tripCsvDialog
        objectName: "tripExportDialog"
        title: qsTranslate("Veldrin", "Export Trip CSV")
        nameFilters: [qsTranslate("Veldrin", "Comma-separated values") + " (*.csv)"]
        defaultSuffix: "csv"
        parentWindow: dialogs.Window.window
        onChosen: file => dialogs.sources.exportTripCsv(file)
    }
    SaveDialog {
        id: routeDialog
        objectName: "routeDialog"
        title: dialogs.sources.routeExportPanelTitle
        nameFilters: dialogs.sources.routeNameFilters
        parentWindow: dialogs.Window.window
        onChosen: (file, type) => {
            const question = dialogs.sources.routeReplaceQuestion(file, type)
            if (question.length === 0)
                dialogs.sources.exportRoute(file, type)
            else
                askToReplace(question, file, type)
        }
        onReplaceConfirmed: (file, type) => dialogs.sources.exportRoute(file, type)
    }
}
