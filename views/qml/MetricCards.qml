// Four equal cards: Speed, Steering, Gear and the driver-assistance state, two to a row so
// that the longer German titles and state names show whole in the sidebar.
import QtQuick
import QtQuick.Layouts

GridLayout {
    id: root
    // [{title, value}] in card order.
    required property var cards

    columns: 2
    columnSpacing: 8
    rowSpacing: 8

    Repeater {
        // A count, not the list: the values change four times a second, the cards stay.
        model: root.cards.length
        delegate: Rectangle {
            required property int index
            readonly property var modelData: root.cards[index]
            objectName: "metricCard" + index
            Layout.fillWidth: true
            Layout.preferredWidth: 1
            Layout.preferredHeight: 40
            radius: 8
            color: Theme.white(0.08)
            ColumnLayout {
                anchors.fill: parent
                anchors.leftMargin: 8
                anchors.rightMargin: 8
                anchors.topMargin: 5
                anchors.bottomMargin: 5
                spacing: 2
                Text {
                    id: title
                    objectName: "metricTitle"
                    text: modelData.title
                    font.pixelSize: 10
                    font.weight: Font.DemiBold
                    color: Theme.white(0.65)
                    elide: Text.ElideMiddle
                    Layout.fillWidth: true
                    Tip { text: title.truncated ? title.text : "" }
                }
                Text {
                    id: value
                    objectName: "metricValue"
                    text: modelData.value
                    font.pixelSize: 12
                    font.bold: true
                    color: "white"
                    Layout.fillWidth: true
                    // Should a value still not fit, it shrinks rather than break or lose letters.
                    fontSizeMode: Text.HorizontalFit
                    minimumPixelSize: 8
                    elide: Text.ElideRight
                    Tip { text: value.truncated ? value.text : "" }
                }
                Item {
                    Layout.fillHeight: true
                }
            }
        }
    }
}
