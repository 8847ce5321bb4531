// Four equal cards: Speed, Steering, Gear and the driver-assistance state, two to a row and
// title beside value, so that the longer German titles and state names show whole.
import QtQuick
import QtQuick.Layouts

GridLayout {
    id: root
    // [{title, value}] in card order.
    required property var cards

    columns: 2
    columnSpacing: 8
    rowSpacing: 6

    Repeater {
        // A count, not the list: the values change four times a second, the cards stay.
        model: root.cards.length
        delegate: Rectangle {
            required property int index
            readonly property var modelData: root.cards[index]
            objectName: "metricCard" + index
            Layout.fillWidth: true
            Layout.preferredWidth: 1
            Layout.preferredHeight: 24
            radius: 8
            color: Theme.white(0.08)
            RowLayout {
                anchors.fill: parent
                anchors.leftMargin: 8
                anchors.rightMargin: 8
                spacing: 6
                Text {
                    id: title
                    objectName: "metricTitle"
                    text: modelData.title
                    font.pixelSize: 10
                    font.weight: Font.DemiBold
                    color: Theme.white(0.65)
                }
                Text {
                    id: value
                    objectName: "metricValue"
                    text: modelData.value
                    font.pixelSize: 12
                    font.bold: true
                    color: "white"
                    horizontalAlignment: Text.AlignRight
                    Layout.fillWidth: true
                    // Should a value still not fit, it shrinks rather than break or lose letters.
                    fontSizeMode: Text.HorizontalFit
                    minimumPixelSize: 8
                    elide: Text.ElideRight
                    Tip { text: value.truncated ? value.text : "" }
                }
            }
        }
    }
}
