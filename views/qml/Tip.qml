// Hover help for any item: shows `text` after a short delay while the pointer rests on it.
import QtQuick
import QtQuick.Controls.Basic

HoverHandler {
    id: hover
    property string text

    readonly property ToolTip tip: ToolTip {
        parent: hover.parent
        visible: hover.hovered && hover.text.length > 0
        delay: 600
        text: hover.text
    }
}
