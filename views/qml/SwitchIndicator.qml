// The track and knob of a small switch.
import QtQuick

Rectangle {
    property bool on: false

    implicitWidth: 28
    implicitHeight: 16
    radius: height / 2
    color: on ? Theme.accent : Theme.white(0.2)

    Rectangle {
        x: parent.on ? parent.width - width - 2 : 2
        anchors.verticalCenter: parent.verticalCenter
        width: parent.height - 4
        height: width
        radius: width / 2
        color: "white"
    }
}
