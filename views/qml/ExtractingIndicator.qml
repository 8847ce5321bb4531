// The spinner with its label, shown while a clip's metadata is being extracted.
import QtQuick
import QtQuick.Controls.Basic
import Veldrin.Platform

Row {
    spacing: 8

    BusyIndicator {
        id: spinner
        anchors.verticalCenter: parent.verticalCenter
        implicitWidth: 18
        implicitHeight: 18
        running: parent.visible
        contentItem: Item {
            RotationAnimator on rotation {
                from: 0
                to: 360
                duration: 900
                loops: Animation.Infinite
                running: spinner.running
            }
            Repeater {
                model: 8
                Rectangle {
                    required property int index
                    x: parent.width / 2 - width / 2
                    y: 0
                    width: 2
                    height: 5
                    radius: 1
                    color: "white"
                    opacity: 0.25 + 0.75 * index / 7
                    transform: Rotation {
                        origin.x: 1
                        origin.y: 9
                        angle: index * 45
                    }
                }
            }
        }
    }
    Text {
        anchors.verticalCenter: parent.verticalCenter
        text: qsTranslate("Veldrin", "Extracting metadata...")
        font.pixelSize: 12
        color: "white"
    }
}
