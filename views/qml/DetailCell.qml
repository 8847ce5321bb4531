// One labelled value of the detail grid; blinkers carry an arrow, an applied brake is red.
import QtQuick
import QtQuick.Layouts
import QtQuick.Shapes

Rectangle {
    id: root
    // {key, label, value, arrow ("none", "left", "right"), arrowActive, arrowBright, highlighted}
    required property var cell
    // What the label needs on one line, padding included.
    readonly property real wholeLabelWidth: label.implicitWidth + content.anchors.leftMargin
                                            + content.anchors.rightMargin
    readonly property bool pointsLeft: cell.arrow === "left"

    implicitHeight: content.implicitHeight + 12
    radius: 8
    color: cell.highlighted ? Qt.rgba(1, 0.23, 0.19, 0.22) : Theme.white(0.06)
    border.width: 1
    border.color: cell.highlighted ? Qt.rgba(1, 0.23, 0.19, 0.75) : "transparent"

    ColumnLayout {
        id: content
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.leftMargin: 8
        anchors.rightMargin: 8
        anchors.topMargin: 6
        spacing: 2
        Text {
            id: label
            objectName: "detailLabel"
            Layout.fillWidth: true
            text: root.cell.label
            // Labels differ at their ends ("... X", "... Y", "... Z"): the middle gives way.
            elide: Text.ElideMiddle
            font.pixelSize: 10
            font.weight: Font.DemiBold
            color: Theme.white(0.65)
            Tip { text: label.truncated ? label.text : "" }
        }
        RowLayout {
            spacing: 6
            Shape {
                objectName: "blinkerArrow"
                visible: root.cell.arrow !== "none"
                Layout.preferredWidth: 9
                Layout.preferredHeight: 10
                Layout.alignment: Qt.AlignVCenter
                opacity: root.cell.arrowActive && !root.cell.arrowBright ? 0.25 : 1
                ShapePath {
                    strokeColor: "transparent"
                    fillColor: root.cell.arrowActive ? Qt.rgba(1, 0.8, 0, 1) : Theme.white(0.35)
                    // Drawn from the tip, so both directions wind the same way.
                    startX: root.pointsLeft ? 0 : 9; startY: 5
                    PathLine { x: root.pointsLeft ? 9 : 0; y: root.pointsLeft ? 0 : 10 }
                    PathLine { x: root.pointsLeft ? 9 : 0; y: root.pointsLeft ? 10 : 0 }
                    PathLine { x: root.pointsLeft ? 0 : 9; y: 5 }
                }
            }
            Text {
                id: value
                objectName: "detailValue"
                Layout.fillWidth: true
                text: root.cell.value
                elide: Text.ElideRight
                font.pixelSize: 12
                font.family: Theme.monospace
                Tip { text: value.truncated ? value.text : "" }
                color: "white"
            }
        }
    }
}
