// The settings window: the batch filter and the speed unit, stored at once and shared live
// with every main window.
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Veldrin.Platform
import Veldrin.Views

Window {
    id: root
    objectName: "settingsWindow"
    title: Strings.text("Settings")
    width: 420
    height: 190
    minimumWidth: 420
    maximumWidth: 420
    minimumHeight: 190
    maximumHeight: 190
    color: Qt.rgba(0.12, 0.12, 0.14, 1)

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
            anchors.fill: parent
            anchors.margins: 14
            columns: 2
            rowSpacing: 14
            columnSpacing: 12

            Text {
                text: Strings.text("Only with metadata")
                font.pixelSize: 13
                color: "white"
                Layout.fillWidth: true
                Tip { text: Strings.text("Show only clips with SEI metadata in the batch list") }
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
                Tip { text: Strings.text("Show only clips with SEI metadata in the batch list") }
            }
            Text {
                text: Strings.text("Speed unit")
                font.pixelSize: 13
                color: "white"
                Layout.fillWidth: true
            }
            SegmentedPicker {
                objectName: "settingsSpeedUnit"
                Layout.alignment: Qt.AlignRight
                labels: [Strings.text("km/h"), Strings.text("mph")]
                currentIndex: Settings.useMilesPerHour ? 1 : 0
                onActivated: index => Settings.useMilesPerHour = (index === 1)
            }
            Item {
                Layout.columnSpan: 2
                Layout.fillHeight: true
            }
        }
    }
}
