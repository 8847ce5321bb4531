// A menu entry that shows its action's shortcut at the trailing edge, as desktop menus do.
import QtQuick
import QtQuick.Controls.Basic

MenuItem {
    id: root

    // Only converts the shortcut to the platform's text; the action itself owns the key.
    Shortcut {
        id: hint
        enabled: false
        sequence: root.action ? root.action.shortcut : ""
    }

    contentItem: Item {
        implicitWidth: label.implicitWidth + keys.implicitWidth + 32
        implicitHeight: label.implicitHeight
        Text {
            id: label
            anchors.left: parent.left
            anchors.verticalCenter: parent.verticalCenter
            text: root.text
            font: root.font
            color: root.highlighted ? root.palette.highlightedText : root.palette.windowText
        }
        Text {
            id: keys
            objectName: "shortcutHint"
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            text: hint.nativeText
            font: root.font
            color: root.highlighted ? root.palette.highlightedText : root.palette.windowText
            opacity: 0.6
        }
    }
}
