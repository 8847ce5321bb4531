// The window's header: title block on the left, status pill and buttons on the right.
import QtQuick
import QtQuick.Layouts
import Veldrin.Platform

RowLayout {
    id: root
    property string status
    // A warning shown beside the status, such as unreadable telemetry units.
    property string statusNote
    property bool canExport: false

    signal openFileClicked
    signal openFolderClicked
    signal exportClicked

    ColumnLayout {
        Layout.alignment: Qt.AlignTop
        spacing: 4
        Text {
            text: qsTranslate("Veldrin", "Veldrin Studio")
            font.pixelSize: 30
            font.bold: true
            color: "white"
        }
        Text {
            text: qsTranslate("Veldrin", "Native playback + SEI metadata extraction")
            font.pixelSize: 14
            font.weight: Font.Medium
            color: Theme.white(0.78)
        }
    }
    Item {
        Layout.fillWidth: true
    }
    ColumnLayout {
        Layout.alignment: Qt.AlignTop
        spacing: 8
        StatusPill {
            objectName: "statusPill"
            Layout.alignment: Qt.AlignRight
            text: root.status
            note: root.statusNote
        }
        RowLayout {
            Layout.alignment: Qt.AlignRight
            spacing: 8
            TintedButton {
                objectName: "openFileButton"
                text: qsTranslate("Veldrin", "Open File")
                tint: Theme.accent
                onClicked: root.openFileClicked()
            }
            TintedButton {
                objectName: "openFolderButton"
                text: qsTranslate("Veldrin", "Open Folder")
                tint: Theme.folderTint
                onClicked: root.openFolderClicked()
            }
            TintedButton {
                objectName: "exportCsvButton"
                visible: root.canExport
                text: qsTranslate("Veldrin", "Export CSV")
                onClicked: root.exportClicked()
            }
        }
    }
}
