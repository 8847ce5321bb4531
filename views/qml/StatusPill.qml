// The one-line status of the last action, in a capsule, with an optional warning after it.
import QtQuick

Rectangle {
    property alias text: label.text
    property alias note: noteLabel.text

    implicitWidth: content.implicitWidth + 20
    implicitHeight: content.implicitHeight + 14
    radius: height / 2
    color: Theme.white(0.12)

    Row {
        id: content
        anchors.centerIn: parent
        spacing: 8
        Text {
            id: label
            objectName: "statusText"
            font.pixelSize: 12
            font.weight: Font.DemiBold
            color: Theme.white(0.85)
        }
        Text {
            id: noteLabel
            objectName: "statusNote"
            visible: text.length > 0
            font.pixelSize: 12
            font.weight: Font.DemiBold
            color: Theme.warning
        }
    }
}
