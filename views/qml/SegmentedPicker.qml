// A row of mutually exclusive segments; `currentIndex` is the chosen one.
import QtQuick
import QtQuick.Controls.Basic

Rectangle {
    id: root
    property var labels: []
    property int currentIndex: 0
    signal activated(int index)

    implicitWidth: segments.implicitWidth + 4
    implicitHeight: 26
    radius: 7
    color: Theme.white(0.1)

    Row {
        id: segments
        anchors.centerIn: parent
        Repeater {
            model: root.labels
            delegate: AbstractButton {
                required property string modelData
                required property int index
                objectName: "segment_" + modelData
                readonly property bool selected: root.currentIndex === index
                implicitWidth: Math.max(64, label.implicitWidth + 20)
                implicitHeight: 22
                // The owner stores the choice; currentIndex follows from its binding.
                onClicked: root.activated(index)
                background: Rectangle {
                    radius: 5
                    color: parent.selected ? Theme.white(0.3) : "transparent"
                }
                contentItem: Text {
                    id: label
                    text: modelData
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                    font.pixelSize: 12
                    font.weight: Font.Medium
                    color: "white"
                }
            }
        }
    }
}
