// The player with the telemetry strip over its top, in a rounded, outlined frame.
import QtQuick
import Veldrin.Viewer

Item {
    id: root
    required property ContentView viewer
    required property TelemetryReadout readout
    required property WindowBackground background
    property alias fullScreen: player.fullScreen
    readonly property alias playerView: player

    signal fullScreenToggled

    function togglePlayback() {
        player.togglePlayback()
    }

    PlayerView {
        id: player
        objectName: "playerView"
        anchors.fill: parent
        mediaPlayer: root.viewer.player.mediaPlayer
        viewer: root.viewer
        frameCount: root.viewer.telemetry.csvRowCount
        onFullScreenToggled: root.fullScreenToggled()
    }
    Loader {
        objectName: "overlayLoader"
        anchors.top: parent.top
        anchors.horizontalCenter: parent.horizontalCenter
        width: Math.min(implicitWidth, parent.width - 24)
        active: root.readout.hasRow
        sourceComponent: TelemetryOverlay {
            readout: root.readout
            viewer: root.viewer
        }
    }
    RoundedCorners {
        anchors.fill: parent
        radius: player.fullScreen ? 0 : 18
        // Sampled once per resize: the gradient behind each corner.
        topLeftColor: root.background.colorAt(root, 0, 0)
        topRightColor: root.background.colorAt(root, root.width, 0)
        bottomLeftColor: root.background.colorAt(root, 0, root.height)
        bottomRightColor: root.background.colorAt(root, root.width, root.height)
    }
    Rectangle {
        anchors.fill: parent
        visible: !player.fullScreen
        radius: 18
        color: "transparent"
        border.width: 1
        border.color: Theme.white(0.15)
    }
}
