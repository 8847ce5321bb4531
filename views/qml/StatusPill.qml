// The one-line status of the last action, in a capsule.
import QtQuick

Rectangle {
    property alias text: label.text

    implicitWidth: label.implicitWidth + 20
    implicitHeight: label.implicitHeight + 14
    radius: height / 2
    color: Theme.white(0.12)

    Text {
        id: label
        objectName: "statusText"
        anchors.centerIn: parent
        font.pixelSize: 12
        font.weight: Font.DemiBold
        color: Theme.white(0.85)
    }
}
