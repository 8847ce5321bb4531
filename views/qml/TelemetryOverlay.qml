// The gauges strip over the top of the video: gear, speed (press to switch km/h and mph),
// steering wheel, accelerator pedal, brake lamp and the driver-assistance badge.
import QtQuick
import Veldrin.Platform
import Veldrin.Viewer

Item {
    id: root
    required property TelemetryReadout readout
    required property ContentView viewer

    implicitWidth: strip.width
    implicitHeight: strip.height

    // The shadow: a soft dark edge around the strip.
    Rectangle {
        anchors.fill: strip
        anchors.margins: -2
        anchors.topMargin: -1
        anchors.bottomMargin: -3
        radius: strip.radius + 2
        color: Theme.black(0.12)
    }
    Rectangle {
        id: strip
        objectName: "telemetryOverlay"
        width: row.implicitWidth + 26
        height: row.implicitHeight + 10
        radius: 13
        color: Theme.black(0.48)
        border.width: 1
        border.color: Theme.white(0.18)

        Row {
            id: row
            anchors.centerIn: parent
            spacing: 12

            Rectangle {
                anchors.verticalCenter: parent.verticalCenter
                width: 24
                height: 24
                radius: 12
                color: Theme.white(0.14)
                Text {
                    objectName: "gearBadge"
                    anchors.centerIn: parent
                    text: root.readout.gearLetter
                    font.pixelSize: 15
                    font.weight: Font.Black
                    color: "white"
                }
                Tip { text: root.readout.gearTooltip }
            }
            MouseArea {
                objectName: "speedButton"
                anchors.verticalCenter: parent.verticalCenter
                width: Math.max(58, speedColumn.implicitWidth)
                height: speedColumn.implicitHeight
                cursorShape: Qt.PointingHandCursor
                onClicked: root.viewer.useMilesPerHour = !root.viewer.useMilesPerHour
                Column {
                    id: speedColumn
                    anchors.centerIn: parent
                    Text {
                        objectName: "overlaySpeed"
                        anchors.horizontalCenter: parent.horizontalCenter
                        text: root.readout.speedText
                        font.pixelSize: 22
                        font.bold: true
                        color: "white"
                    }
                    Text {
                        objectName: "overlaySpeedUnit"
                        anchors.horizontalCenter: parent.horizontalCenter
                        text: root.readout.speedUnit
                        font.pixelSize: 9
                        font.weight: Font.DemiBold
                        color: Theme.white(0.7)
                    }
                }
                Tip { text: root.readout.speedTooltip }
            }
            SteeringWheel {
                anchors.verticalCenter: parent.verticalCenter
                angle: root.readout.steeringRadians
                Tip { text: root.readout.steeringTooltip }
            }
            PedalBar {
                anchors.verticalCenter: parent.verticalCenter
                fraction: root.readout.pedalFraction
                Tip { text: root.readout.pedalTooltip }
            }
            BrakeLamp {
                objectName: "brakeLamp"
                anchors.verticalCenter: parent.verticalCenter
                on: root.readout.brakeOn
                Tip { text: root.readout.brakeTooltip }
            }
            Text {
                objectName: "assistBadge"
                anchors.verticalCenter: parent.verticalCenter
                visible: root.readout.showsAssistBadge
                text: root.readout.assistBadgeText
                font.pixelSize: 10
                font.bold: true
                color: Qt.rgba(0.04, 0.52, 1, 1)
                Tip { text: root.readout.assistTooltip }
            }
        }
    }
}
