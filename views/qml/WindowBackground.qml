// The window's diagonal gradient, and the colour it has at any point (for corner masks).
// Drawn as an opaque square, as long as the window's diagonal, with a vertical gradient turned
// onto that diagonal: every frame redraws the whole window under software rendering, and an
// opaque vertex-coloured quad is the cheapest fill there (a shape's gradient is sampled and
// blended per pixel). Nothing is drawn inside `hole`, an area that opaque items cover anyway
// (the video): pixels hidden by the depth test still cost a software renderer their shading.
import QtQuick

Item {
    id: root
    // In this item's coordinates; empty when nothing covers the window.
    property rect hole: Qt.rect(0, 0, 0, 0)

    function colorAt(item, x, y) {
        const p = item.mapToItem(root, x, y)
        // Position along the top-left to bottom-right diagonal, 0 to 1.
        const lengthSquared = width * width + height * height
        const t = lengthSquared > 0 ? Math.max(0, Math.min(1, (p.x * width + p.y * height) / lengthSquared)) : 0
        const a = Theme.gradientStart, b = Theme.gradientEnd
        return Qt.rgba(a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, 1)
    }

    readonly property real diagonal: Math.sqrt(width * width + height * height)
    readonly property real holeLeft: Math.max(0, Math.min(width, hole.x))
    readonly property real holeTop: Math.max(0, Math.min(height, hole.y))
    readonly property real holeRight: Math.max(holeLeft, Math.min(width, hole.x + hole.width))
    readonly property real holeBottom: Math.max(holeTop, Math.min(height, hole.y + hole.height))

    // The parts around the hole: above, below, left and right of it.
    Repeater {
        model: [Qt.rect(0, 0, root.width, root.holeTop),
                Qt.rect(0, root.holeBottom, root.width, root.height - root.holeBottom),
                Qt.rect(0, root.holeTop, root.holeLeft, root.holeBottom - root.holeTop),
                Qt.rect(root.holeRight, root.holeTop, root.width - root.holeRight,
                        root.holeBottom - root.holeTop)]
        Item {
            id: part
            required property rect modelData
            x: part.modelData.x
            y: part.modelData.y
            width: part.modelData.width
            height: part.modelData.height
            visible: width > 0 && height > 0
            clip: true
            // The gradient runs along the square's height; turned so that its ends meet the
            // window's top-left and bottom-right corners.
            Rectangle {
                x: (root.width - width) / 2 - part.x
                y: (root.height - height) / 2 - part.y
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
    }
}
