// Every detail field of the current row in two equal columns, filled row by row; a field whose
// label does not fit half the width takes the whole row.
import QtQuick
import QtQuick.Layouts

GridLayout {
    id: root
    required property var cells

    columns: 2
    columnSpacing: 8
    rowSpacing: 8

    Repeater {
        // A count, not the list: the cells change four times a second, the delegates stay.
        model: root.cells.length
        delegate: DetailCell {
            required property int index
            objectName: "detailCell_" + cell.key
            cell: root.cells[index]
            Layout.fillWidth: true
            Layout.preferredWidth: 1
            Layout.columnSpan: wholeLabelWidth > (root.width - root.columnSpacing) / 2 ? 2 : 1
            Layout.minimumWidth: 10
            Layout.alignment: Qt.AlignTop | Qt.AlignLeft
        }
    }
}
