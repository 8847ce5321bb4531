// A rounded rectangle outline drawn with a dash pattern (the drop zone's frame).
import QtQuick
import QtQuick.Shapes

Shape {
    id: root
    property real radius: 12
    property color strokeColor: "white"
    property var dashPattern: [6, 4]

    readonly property real w: width - 1
    readonly property real h: height - 1
    readonly property real r: Math.min(radius, w / 2, h / 2)

    ShapePath {
        strokeColor: root.strokeColor
        strokeWidth: 1
        fillColor: "transparent"
        strokeStyle: ShapePath.DashLine
        dashPattern: root.dashPattern
        dashOffset: 0
        capStyle: ShapePath.FlatCap
        joinStyle: ShapePath.MiterJoin
        miterLimit: 10
        startX: 0.5 + root.r
        startY: 0.5
        PathSvg {
            path: {
                const r = root.r, w = root.w, h = root.h, o = 0.5
                return `H ${o + w - r} A ${r} ${r} 0 0 1 ${o + w} ${o + r}`
                        + ` V ${o + h - r} A ${r} ${r} 0 0 1 ${o + w - r} ${o + h}`
                        + ` H ${o + r} A ${r} ${r} 0 0 1 ${o} ${o + h - r}`
                        + ` V ${o + r} A ${r} ${r} 0 0 1 ${o + r} ${o} Z`
            }
        }
    }
}
