// The brake lamp: a red disc with "B" while the brake is applied, a dim one otherwise.
import QtQuick

Rectangle {
    property bool on: false

    implicitWidth: 24
    implicitHeight: 24
    radius: width / 2
    color: on ? Qt.rgba(1, 0.23, 0.19, 1) : Theme.white(0.18)

    Text {
        anchors.centerIn: parent
        text: "B"
        font.pixelSize: 9
        font.weight: Font.Black
        color: "white"
    }
}
