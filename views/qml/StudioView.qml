// The main window's content: gradient, header, and the body with the player column and the
// metadata sidebar. The whole view takes dropped clips.
import QtQuick
import QtQuick.Layouts
import Veldrin.Timeline
import Veldrin.Sources
import Veldrin.Viewer

Item {
    id: root
    required property ContentView viewer
    required property ClipSources sources
    required property TelemetryReadout readout
    // The player fills the view alone (full screen).
    property bool videoOnly: false

    signal openFileRequested
    signal openFolderRequested
    signal exportRequested
    signal fullScreenToggled

    // The player, for the window's playback keys.
    readonly property alias player: videoArea.playerView
    readonly property alias cameras: cameraStrip
    // Below this height the camera strip is a row of buttons.
    readonly property int cameraTilesMinHeight: 760

    function togglePlayback() {
        videoArea.togglePlayback()
    }

    // Seconds of the picture on screen, frame by frame: the timeline's playhead and the map's
    // car follow it; the readout keeps its own slower clock.
    readonly property real shownSeconds: videoArea.playerView.tripShown ? videoArea.playerView.trip.time
                                                                     : frameClock.time
    FrameClock {
        id: frameClock
        player: root.viewer.player.mediaPlayer
        videoSink: videoArea.playerView.videoSink
    }
    function seekSeconds(seconds) {
        videoArea.playerView.seekTo(seconds * 1000)
    }
    // Shows an event from a little before it, playing.
    function showEvent(seconds) {
        seekSeconds(root.viewer.drive.leadInTime(seconds))
        if (!videoArea.playerView.playing)
            videoArea.togglePlayback()
    }
    // The next (direction 1) or previous (-1) event.
    function jumpToEvent(direction) {
        const drive = root.viewer.drive
        const next = direction > 0 ? drive.nextEventTime(shownSeconds)
                                   : drive.previousEventTime(shownSeconds)
        if (next >= 0)
            seekSeconds(next)
    }

    // J rewinds while it is held, so it needs its release too; a focused text field keeps it.
    focus: true
    Keys.onPressed: event => {
        if (event.key === Qt.Key_J && event.modifiers === Qt.NoModifier) {
            if (!event.isAutoRepeat)
                videoArea.playerView.startRewind()
            event.accepted = true
        }
    }
    Keys.onReleased: event => {
        if (event.key === Qt.Key_J && !event.isAutoRepeat) {
            videoArea.playerView.stopRewind()
            event.accepted = true
        }
    }

    WindowBackground {
        id: background
        anchors.fill: parent
        // The video area is opaque. Its position and those of the layouts around it are read
        // for their changes: mapping alone would not follow them.
        hole: {
            const column = videoArea.parent, row = column.parent, body = row.parent
            const moves = [videoArea.x, videoArea.y, column.x, column.y, row.x, row.y, body.x, body.y]
            return moves && videoArea.visible
                    ? videoArea.mapToItem(background, 0, 0, videoArea.width, videoArea.height)
                    : Qt.rect(0, 0, 0, 0)
        }
    }
    // The player spans the playing trip.
    Binding {
        target: videoArea.playerView
        property: "trip"
        value: root.sources.trip
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: root.videoOnly ? 0 : 18
        spacing: 14

        HeaderBar {
            objectName: "header"
            Layout.fillWidth: true
            visible: !root.videoOnly
            status: root.viewer.load.status
            statusNote: root.viewer.telemetry.extractorDamageNote
            canExport: root.viewer.telemetry.rawCSV.length > 0
            onOpenFileClicked: root.openFileRequested()
            onOpenFolderClicked: root.openFolderRequested()
            onExportClicked: root.exportRequested()
        }
        RowLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            spacing: 14

            ColumnLayout {
                Layout.fillWidth: true
                Layout.fillHeight: true
                spacing: 10

                DropZone {
                    objectName: "dropZone"
                    Layout.fillWidth: true
                    visible: !root.videoOnly
                    targeted: root.viewer.load.isDropTargeted
                    onClicked: root.openFileRequested()
                }
                Text {
                    objectName: "fileName"
                    Layout.fillWidth: true
                    visible: !root.videoOnly
                    text: root.viewer.load.selectedFileName
                    elide: Text.ElideMiddle
                    font.pixelSize: 12
                    font.weight: Font.DemiBold
                    color: Theme.white(0.8)
                }
                VideoArea {
                    id: videoArea
                    objectName: "videoArea"
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    viewer: root.viewer
                    readout: root.readout
                    background: background
                    fullScreen: root.videoOnly
                    onFullScreenToggled: root.fullScreenToggled()
                }
                CameraStrip {
                    id: cameraStrip
                    objectName: "cameraStrip"
                    Layout.fillWidth: true
                    Layout.preferredHeight: implicitHeight
                    visible: shown && !root.videoOnly
                    playerView: videoArea.playerView
                    compact: root.height < root.cameraTilesMinHeight
                }
                Timeline {
                    objectName: "timeline"
                    Layout.fillWidth: true
                    Layout.preferredHeight: implicitHeight
                    visible: !root.videoOnly && root.viewer.drive.hasData
                    drive: root.viewer.drive
                    time: root.shownSeconds
                    useMilesPerHour: root.viewer.useMilesPerHour
                    onSeekRequested: seconds => root.seekSeconds(seconds)
                }
            }
            Sidebar {
                id: sidebar
                objectName: "sidebar"
                Layout.preferredWidth: 360
                Layout.fillHeight: true
                visible: !root.videoOnly
                viewer: root.viewer
                sources: root.sources
                readout: root.readout
                shownSeconds: root.shownSeconds
                onEventChosen: seconds => root.showEvent(seconds)
                onRouteTimeChosen: seconds => root.seekSeconds(seconds)
            }
        }
    }

    DropArea {
        objectName: "dropArea"
        anchors.fill: parent
        keys: ["text/uri-list"]
        onEntered: drag => {
            drag.accepted = drag.hasUrls
            root.sources.setDropTargeted(drag.hasUrls)
        }
        onExited: root.sources.setDropTargeted(false)
        onDropped: drop => {
            root.sources.setDropTargeted(false)
            if (root.sources.handleDroppedURLs(drop.urls))
                drop.acceptProposedAction()
            else
                drop.accepted = false
        }
    }
}
