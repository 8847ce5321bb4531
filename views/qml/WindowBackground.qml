// The window's diagonal gradient, and the colour it has at any point (for corner masks).
import QtQuick
import QtQuick.Shapes

Shape {
    id: root

    function colorAt(item, x, y) {
        const p = item.mapToItem(root, x, y)
        // Position along the top-left to bottom-right diagonal, 0 to 1.
        const lengthSquared = width * width + height * height
        const t = lengthSquared > 0 ? Math.max(0, Math.min(1, (p.x * width + p.y * height) / lengthSquared)) : 0
        const a = Theme.gradientStart, b = Theme.gradientEnd
        return Qt.rgba(a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, 1)
    }

    ShapePath {
        strokeColor: "transparent"
        fillGradient: LinearGradient {
            x1: 0; y1: 0
            x2: root.width; y2: root.height
            GradientStop { position: 0; color: Theme.gradientStart }
            GradientStop { position: 1; color: Theme.gradientEnd }
        }
        startX: 0; startY: 0
        PathLine { x: root.width; y: 0 }
        PathLine { x: root.width; y: root.height }
        PathLine { x: 0; y: root.height }
        PathLine { x: 0; y: 0 }
    }
}
