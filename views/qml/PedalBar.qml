// The accelerator pedal as a vertical bar: a track and a green fill grown from the bottom.
import QtQuick

Item {
    property real fraction: 0

    implicitWidth: 9
    implicitHeight: 27

    Rectangle {
        anchors.fill: parent
        radius: width / 2
        color: Theme.white(0.18)
    }
    Rectangle {
        objectName: "pedalFill"
        anchors.fill: parent
        radius: width / 2
        color: Qt.rgba(0.2, 0.78, 0.35, 0.9)
        transform: Scale {
            origin.y: parent.height
            yScale: Math.max(0, Math.min(1, fraction))
        }
    }
}
