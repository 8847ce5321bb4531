// Rounds the corners of whatever lies under it by painting the outside of each corner in
// the colour behind it; cheaper than clipping a video through an offscreen layer.
import QtQuick
import QtQuick.Shapes

Shape {
    id: root
    property real radius: 18
    property color topLeftColor: "black"
    property color topRightColor: "black"
    property color bottomLeftColor: "black"
    property color bottomRightColor: "black"

    readonly property real r: Math.min(radius, width / 2, height / 2)

    // Each corner: the square minus the quarter disc, filled with that corner's colour.
    ShapePath {
        strokeColor: "transparent"
        fillColor: root.topLeftColor
        startX: 0; startY: 0
        PathLine { x: root.r; y: 0 }
        PathArc { x: 0; y: root.r; radiusX: root.r; radiusY: root.r; direction: PathArc.Counterclockwise }
        PathLine { x: 0; y: 0 }
    }
    ShapePath {
        strokeColor: "transparent"
        fillColor: root.topRightColor
        startX: root.width; startY: 0
        PathLine { x: root.width; y: root.r }
        PathArc { x: root.width - root.r; y: 0; radiusX: root.r; radiusY: root.r; direction: PathArc.Counterclockwise }
        PathLine { x: root.width; y: 0 }
    }
    ShapePath {
        strokeColor: "transparent"
        fillColor: root.bottomRightColor
        startX: root.width; startY: root.height
        PathLine { x: root.width - root.r; y: root.height }
        PathArc { x: root.width; y: root.height - root.r; radiusX: root.r; radiusY: root.r; direction: PathArc.Counterclockwise }
        PathLine { x: root.width; y: root.height }
    }
    ShapePath {
        strokeColor: "transparent"
        fillColor: root.bottomLeftColor
        startX: 0; startY: root.height
        PathLine { x: 0; y: root.height - root.r }
        PathArc { x: root.r; y: root.height; radiusX: root.r; radiusY: root.r; direction: PathArc.Counterclockwise }
        PathLine { x: 0; y: root.height }
    }
}
