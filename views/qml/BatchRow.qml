// One clip of the batch list: its name, tinted by its metadata status or selection.
import QtQuick
import QtQuick.Controls.Basic

AbstractButton {
    id: control
    required property string path
    required property string name
    required property string status
    required property bool isSelected

    function tint() {
        if (isSelected)
            return Qt.rgba(Theme.accent.r, Theme.accent.g, Theme.accent.b, 0.42)
        switch (status) {
        case "withMetadata":
            return Qt.rgba(Theme.accent.r, Theme.accent.g, Theme.accent.b, 0.22)
        case "noMetadata":
            return Theme.white(0.06)
        case "error":
            return Qt.rgba(1, 0.584, 0, 0.2)
        }
        return Theme.white(0.04)
    }

    leftPadding: 8
    rightPadding: 8
    topPadding: 6
    bottomPadding: 6
    contentItem: Text {
        text: control.name
        elide: Text.ElideMiddle
        maximumLineCount: 1
        font.pixelSize: 11
        font.weight: Font.Medium
        font.family: Theme.monospace
        color: "white"
    }
    background: Rectangle {
        radius: 8
        color: control.tint()
    }
}
