// A header button: filled with its tint ("prominent"), or outlined when no tint is given.
import QtQuick
import QtQuick.Controls.Basic

Button {
    id: control
    property color tint: "transparent"
    readonly property bool prominent: tint.a > 0

    font.pixelSize: 13
    font.weight: Font.Medium
    leftPadding: 12
    rightPadding: 12
    topPadding: 5
    bottomPadding: 5

    contentItem: Text {
        text: control.text
        font: control.font
        color: "white"
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }
    background: Rectangle {
        implicitHeight: 26
        radius: 6
        color: control.prominent
               ? Qt.darker(control.tint, control.down ? 1.3 : (control.hovered ? 1.1 : 1.0))
               : Theme.white(control.down ? 0.2 : (control.hovered ? 0.14 : 0.1))
        border.width: control.prominent ? 0 : 1
        border.color: Theme.white(0.2)
    }
}
