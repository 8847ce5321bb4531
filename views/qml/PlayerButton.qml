// A borderless control of the player bar, drawing its glyph (play, pause, expand, shrink).
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Shapes

AbstractButton {
    id: control
    property string glyph: "play"

    implicitWidth: 26
    implicitHeight: 26
    opacity: enabled ? (down ? 0.6 : 1) : 0.4

    contentItem: Item {
        Shape {
            anchors.centerIn: parent
            width: 12
            height: 12
            visible: control.glyph === "play"
            ShapePath {
                fillColor: "white"
                strokeColor: "transparent"
                startX: 1; startY: 12
                PathLine { x: 1; y: 0 }
                PathLine { x: 12; y: 6 }
                PathLine { x: 1; y: 12 }
            }
        }
        Row {
            anchors.centerIn: parent
            spacing: 3
            visible: control.glyph === "pause"
            Rectangle { width: 3.5; height: 12; color: "white" }
            Rectangle { width: 3.5; height: 12; color: "white" }
        }
        Shape {
            anchors.centerIn: parent
            width: 12
            height: 12
            visible: control.glyph === "expand" || control.glyph === "shrink"
            ShapePath {
                strokeColor: "white"
                strokeWidth: 1.6
                fillColor: "transparent"
                startX: 0; startY: 4
                PathMove { x: 0; y: 4 }  PathLine { x: 0; y: 0 }  PathLine { x: 4; y: 0 }
                PathMove { x: 8; y: 0 }  PathLine { x: 12; y: 0 } PathLine { x: 12; y: 4 }
                PathMove { x: 12; y: 8 } PathLine { x: 12; y: 12 } PathLine { x: 8; y: 12 }
                PathMove { x: 4; y: 12 } PathLine { x: 0; y: 12 } PathLine { x: 0; y: 8 }
            }
        }
    }
}
