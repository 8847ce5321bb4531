// The window's diagonal gradient, and the colour it has at any point (for corner masks).
// Drawn as an opaque square, as long as the window's diagonal, with a vertical gradient turned
// onto that diagonal: every frame redraws the whole window under software rendering, and an
// opaque vertex-coloured quad is the cheapest fill there (a shape's gradient is sampled and
// blended per pixel, and items on top hide it from the depth test only when it is opaque).
import QtQuick

Item {
    id: root

    function colorAt(item, x, y) {
        const p = item.mapToItem(root, x, y)
        // Position along the top-left to bottom-right diagonal, 0 to 1.
        const lengthSquared = width * width + height * height
        const t = lengthSquared > 0 ? Math.max(0, Math.min(1, (p.x * width + p.y * height) / lengthSquared)) : 0
        const a = Theme.gradientStart, b = Theme.gradientEnd
        return Qt.rgba(a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, 1)
    }

    // The gradient runs along the square's height; turned so that its top edge's direction
    // points along the diagonal, its ends meet the window's top-left and bottom-right corners.
    readonly property real diagonal: Math.sqrt(width * width + height * height)
    Rectangle {
        x: (root.width - width) / 2
        y: (root.height - height) / 2
        width: root.diagonal
        height: root.diagonal
        rotation: -Math.atan2(root.width, root.height) * 180 / Math.PI
        antialiasing: false
        gradient: Gradient {
            GradientStop { position: 0; color: Theme.gradientStart }
            GradientStop { position: 1; color: Theme.gradientEnd }
        }
    }
}
