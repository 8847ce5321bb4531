// A steering wheel, drawn as a rim with three spokes, turned by `angle` radians (clockwise).
import QtQuick
import QtQuick.Shapes

Item {
    id: root
    property real angle: 0
    property color color: "white"

    implicitWidth: 22
    implicitHeight: 22

    Shape {
        anchors.fill: parent
        rotation: root.angle * 180 / Math.PI
        layer.enabled: false
        ShapePath {
            strokeColor: root.color
            strokeWidth: 2.2
            fillColor: "transparent"
            startX: root.width / 2; startY: 1.5
            PathArc {
                x: root.width / 2; y: root.height - 1.5
                radiusX: root.width / 2 - 1.5; radiusY: root.height / 2 - 1.5
            }
            PathArc {
                x: root.width / 2; y: 1.5
                radiusX: root.width / 2 - 1.5; radiusY: root.height / 2 - 1.5
            }
        }
        ShapePath {
            strokeColor: root.color
            strokeWidth: 2
            fillColor: "transparent"
            // Left and right spokes through the hub, and the lower spoke.
            startX: 2; startY: root.height / 2
            PathLine { x: root.width - 2; y: root.height / 2 }
            PathMove { x: root.width / 2; y: root.height / 2 }
            PathLine { x: root.width / 2; y: root.height - 2 }
        }
        ShapePath {
            strokeColor: "transparent"
            fillColor: root.color
            startX: root.width / 2 + 3.5; startY: root.height / 2
            PathArc { x: root.width / 2 - 3.5; y: root.height / 2; radiusX: 3.5; radiusY: 3.5 }
            PathArc { x: root.width / 2 + 3.5; y: root.height / 2; radiusX: 3.5; radiusY: 3.5 }
        }
    }
}
