// The settings window: the batch filter, the speed unit and the route's colours, stored at
// once and shared live with every main window.
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Qt.labs.platform as Platform
import Veldrin.Platform
import Veldrin.Views
import Veldrin.App

Window {
    id: root
    // The frame and the form's margins around the form, on each side.
    readonly property int formMargin: 34
    readonly property int narrowestWidth: 420
    // As wide and tall as the form of the language shown needs.
    readonly property int fittedWidth: Math.max(narrowestWidth, form.implicitWidth + 2 * formMargin)
    readonly property int fittedHeight: form.implicitHeight + 2 * formMargin
    objectName: "settingsWindow"
    title: qsTranslate("Veldrin", "Settings")
    width: fittedWidth
    height: fittedHeight
    minimumWidth: fittedWidth
    maximumWidth: fittedWidth
    minimumHeight: fittedHeight
    maximumHeight: fittedHeight
    color: Qt.rgba(0.12, 0.12, 0.14, 1)

    component MapField: TextField {
        Layout.columnSpan: 2
        Layout.fillWidth: true
        font.pixelSize: 12
        color: "white"
        placeholderTextColor: Theme.white(0.4)
        background: Rectangle {
            implicitHeight: 26
            radius: 6
            color: Theme.white(0.08)
            border.width: 1
            border.color: Theme.white(0.2)
        }
    }

    Shortcut {
        sequence: StandardKey.Cancel
        onActivated: root.close()
    }

    Rectangle {
        anchors.fill: parent
        anchors.margins: 20
        radius: 10
        color: Theme.white(0.06)
        border.width: 1
        border.color: Theme.white(0.1)

        GridLayout {
            id: form
            anchors.fill: parent
            anchors.margins: 14
            columns: 2
            rowSpacing: 14
            columnSpacing: 12

            Text {
                text: qsTranslate("Veldrin", "Only with metadata")
                font.pixelSize: 13
                color: "white"
                Layout.fillWidth: true
                Tip { text: qsTranslate("Veldrin", "Show only clips with SEI metadata in the batch list") }
            }
            Switch {
                id: onlyWithMetadata
                objectName: "settingsOnlyWithMetadata"
                Layout.alignment: Qt.AlignRight
                checked: Settings.onlyWithMetadata
                onToggled: Settings.onlyWithMetadata = checked
                padding: 0
                indicator: SwitchIndicator {
                    implicitWidth: 36
                    implicitHeight: 20
                    on: onlyWithMetadata.checked
                }
                Tip { text: qsTranslate("Veldrin", "Show only clips with SEI metadata in the batch list") }
            }
            Text {
                text: qsTranslate("Veldrin", "Speed unit")
                font.pixelSize: 13
                color: "white"
                Layout.fillWidth: true
            }
            SegmentedPicker {
                objectName: "settingsSpeedUnit"
                Layout.alignment: Qt.AlignRight
                labels: [qsTranslate("Veldrin", "km/h"), qsTranslate("Veldrin", "mph")]
                currentIndex: Settings.useMilesPerHour ? 1 : 0
                onActivated: index => Settings.useMilesPerHour = (index === 1)
            }
            Text {
                text: qsTranslate("Veldrin", "Route colours")
                font.pixelSize: 13
                color: "white"
                Layout.fillWidth: true
            }
            SegmentedPicker {
                objectName: "settingsRouteColouring"
                Layout.alignment: Qt.AlignRight
                labels: [qsTranslate("Veldrin", "Plain"), qsTranslate("Veldrin", "Speed"), qsTranslate("Veldrin", "Assistance")]
                currentIndex: Settings.routeColouring
                onActivated: index => Settings.routeColouring = index
            }
            Text {
                text: qsTranslate("Veldrin", "Map tiles")
                font.pixelSize: 13
                color: "white"
                Layout.fillWidth: true
                Tip { text: qsTranslate("Veldrin", "An online map's URL template with {z}, {x} and {y}, or an MBTiles file for maps without a network") }
            }
            TintedButton {
                objectName: "settingsMapFile"
                Layout.alignment: Qt.AlignRight
                text: qsTranslate("Veldrin", "Choose File…")
                onClicked: mapFileDialog.open()
            }
            MapField {
                objectName: "settingsMapTiles"
                placeholderText: qsTranslate("Veldrin", "Default online map")
                text: Settings.mapTiles
                onEditingFinished: Settings.mapTiles = text.trim()
            }
            MapField {
                objectName: "settingsMapAttribution"
                placeholderText: qsTranslate("Veldrin", "Attribution of the online map")
                text: Settings.mapAttribution
                onEditingFinished: Settings.mapAttribution = text.trim()
            }
            Text {
                objectName: "settingsTileSourceNote"
                Layout.columnSpan: 2
                Layout.fillWidth: true
                text: Shell.tileSourceNote
                wrapMode: Text.Wrap
                font.pixelSize: 11
                color: Theme.white(0.65)
            }
            Text {
                text: qsTranslate("Veldrin", "Map cache (MB)")
                font.pixelSize: 13
                color: "white"
                Layout.fillWidth: true
            }
            ThemedSpinBox {
                objectName: "settingsMapCacheSize"
                Layout.alignment: Qt.AlignRight
                from: Settings.minimumMapCacheMegabytes
                to: Settings.maximumMapCacheMegabytes
                stepSize: 64
                value: Settings.mapCacheMegabytes
                onValueModified: Settings.mapCacheMegabytes = value
            }
            TintedButton {
                objectName: "settingsClearMapCache"
                Layout.columnSpan: 2
                Layout.alignment: Qt.AlignRight
                text: qsTranslate("Veldrin", "Clear map cache")
                onClicked: Settings.clearMapCache()
            }
        }
    }
    Platform.FileDialog {
        id: mapFileDialog
        objectName: "mapFileDialog"
        title: qsTranslate("Veldrin", "Choose Map File")
        fileMode: Platform.FileDialog.OpenFile
        nameFilters: [qsTranslate("Veldrin", "MBTiles map") + " (*.mbtiles)"]
        onAccepted: Settings.mapTiles = file.toString()
    }
}
