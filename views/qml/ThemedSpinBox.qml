// A number field with minus and plus buttons in the window's dark look; digits as the C locale
// writes them, like every number the studio shows.
import QtQuick
import QtQuick.Controls.Basic

SpinBox {
    id: control

    implicitWidth: 120
    implicitHeight: 26
    font.pixelSize: 12
    editable: true
    textFromValue: value => String(value)
    valueFromText: text => parseInt(text, 10)

    contentItem: TextInput {
        text: control.displayText
        font: control.font
        color: "white"
        selectionColor: Theme.accent
        selectedTextColor: "white"
        horizontalAlignment: Qt.AlignHCenter
        verticalAlignment: Qt.AlignVCenter
        readOnly: !control.editable
        validator: control.validator
        inputMethodHints: Qt.ImhDigitsOnly
    }
    component Step: Rectangle {
        required property bool pressed
        required property string sign
        implicitWidth: 24
        height: control.height
        color: Theme.white(pressed ? 0.2 : 0.1)
        radius: 6
        Text {
            anchors.centerIn: parent
            text: parent.sign
            font.pixelSize: 14
            color: "white"
        }
    }
    down.indicator: Step {
        x: 0
        pressed: control.down.pressed
        sign: "\u2212"
    }
    up.indicator: Step {
        x: control.width - width
        pressed: control.up.pressed
        sign: "+"
    }
    background: Rectangle {
        radius: 6
        color: Theme.white(0.08)
        border.width: 1
        border.color: Theme.white(control.activeFocus ? 0.4 : 0.2)
    }
}
