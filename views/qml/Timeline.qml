// The drive over time under the video. The strip is painted only when the drive, its size or
// the zoom change; the playhead and the hover tip are small items of their own over it.
// Pressing or dragging asks to seek there; the wheel zooms around the pointer, a double click
// shows the whole drive again.
import QtQuick
import Veldrin.Timeline
import Veldrin.Viewer

Item {
    id: root
    // A DriveData.
    required property DriveData drive
    // Seconds of the picture on screen.
    required property real time
    property bool useMilesPerHour: false
    // One wheel notch scales the shown stretch by this much.
    readonly property real wheelZoomStep: 0.8
    readonly property real wheelNotch: 120

    signal seekRequested(real seconds)

    implicitHeight: 96

    TimelineItem {
        id: strip
        objectName: "timelineStrip"
        anchors.fill: parent
        drive: root.drive
        useMilesPerHour: root.useMilesPerHour
    }
    Rectangle {
        objectName: "playhead"
        readonly property real span: Math.max(1e-9, strip.viewEnd - strip.viewStart)
        x: (root.time - strip.viewStart) / span * root.width - width / 2
        width: 2
        height: root.height
        visible: root.time >= strip.viewStart && root.time <= strip.viewEnd
        color: "white"
    }
    MouseArea {
        id: pointer
        objectName: "timelineMouse"
        anchors.fill: parent
        hoverEnabled: true
        onPressed: mouse => root.seekRequested(strip.timeAt(mouse.x))
        onPositionChanged: mouse => {
            if (pressed)
                root.seekRequested(strip.timeAt(mouse.x))
        }
        onDoubleClicked: strip.resetZoom()
        onWheel: wheel => strip.zoomAt(wheel.x,
                                       Math.pow(root.wheelZoomStep, wheel.angleDelta.y / root.wheelNotch))
    }
    Rectangle {
        objectName: "timelineTip"
        visible: pointer.containsMouse && !pointer.pressed && tip.text.length > 0
        x: Math.min(root.width - width, Math.max(0, pointer.mouseX - width / 2))
        y: -height - 4
        width: tip.implicitWidth + 12
        height: tip.implicitHeight + 6
        radius: 5
        color: Theme.black(0.75)
        Text {
            id: tip
            anchors.centerIn: parent
            text: pointer.containsMouse ? strip.describeAt(pointer.mouseX) : ""
            font.pixelSize: 11
            font.family: Theme.monospace
            color: "white"
        }
    }
}
