// The other cameras of the moment, under the large picture: small views kept in step with it,
// or, where the window is low, a row of camera buttons. It also covers the large picture with
// the chosen camera when that is not the leader, or with all cameras in a grid.
import QtQuick
import QtQuick.Layouts
import Veldrin.Platform
import Veldrin.Playback

Item {
    id: root
    required property PlayerView playerView
    property bool compact: false
    property bool grid: false
    readonly property alias sync: cameraSync
    readonly property bool shown: cameraSync.active
    readonly property int tileHeight: 96
    readonly property real tileAspect: 4 / 3
    readonly property int maxKeys: 9
    readonly property string gridText: qsTranslate("Veldrin", "Grid")

    implicitHeight: !shown ? 0 : (compact ? buttons.implicitHeight : tileHeight)
    visible: shown

    // Makes the camera of key `index + 1` large.
    function selectIndex(index) {
        if (!shown || index >= cameraSync.cameras.length)
            return
        cameraSync.largeCamera = cameraSync.cameras[index]
        grid = false
    }
    function toggleGrid() {
        if (shown)
            grid = !grid
    }
    function keyOf(camera) {
        const index = cameraSync.cameras.indexOf(camera)
        return index >= 0 && index < maxKeys ? index + 1 : 0
    }
    function tileOf(camera) {
        return cameraSync.tiles.find(tile => tile.camera === camera) || {"hasClip": false, "note": ""}
    }

    CameraSync {
        id: cameraSync
        leader: root.playerView.mediaPlayer
        nextLeader: root.playerView.standbyPlayer || null
        leaderSink: root.playerView.videoSink
        audioOutput: root.playerView.audioOutput
        trip: root.playerView.trip
    }
    Binding {
        target: root.playerView
        property: "videoCover"
        value: !root.shown ? null
             : root.grid ? gridCover
             : cameraSync.largeCamera !== cameraSync.leaderCamera ? largeCover : null
    }

    Component {
        id: largeCover
        CameraTile {
            objectName: "largeCamera"
            sync: cameraSync
            camera: cameraSync.largeCamera
            hasClip: root.tileOf(camera).hasClip
            note: root.tileOf(camera).note
            framed: false
        }
    }
    Component {
        id: gridCover
        Rectangle {
            color: "black"
            Grid {
                id: gridLayout
                objectName: "cameraGrid"
                anchors.fill: parent
                columns: Math.ceil(Math.sqrt(cameraSync.tiles.length))
                readonly property int rows: Math.ceil(cameraSync.tiles.length / columns)
                spacing: 2
                Repeater {
                    model: cameraSync.tiles
                    CameraTile {
                        required property var modelData
                        width: (gridLayout.width - (gridLayout.columns - 1) * gridLayout.spacing) / gridLayout.columns
                        height: (gridLayout.height - (gridLayout.rows - 1) * gridLayout.spacing) / gridLayout.rows
                        sync: cameraSync
                        camera: modelData.camera
                        hasClip: modelData.hasClip
                        note: modelData.note
                        key: root.keyOf(camera)
                        onClicked: root.selectIndex(cameraSync.cameras.indexOf(camera))
                    }
                }
            }
        }
    }

    RowLayout {
        anchors.fill: parent
        spacing: 8
        visible: !root.compact
        Repeater {
            objectName: "cameraTiles"
            model: root.grid ? [] : cameraSync.tiles.filter(tile => tile.camera !== cameraSync.largeCamera)
            CameraTile {
                required property var modelData
                Layout.preferredHeight: root.tileHeight
                Layout.preferredWidth: root.tileHeight * root.tileAspect
                sync: cameraSync
                camera: modelData.camera
                hasClip: modelData.hasClip
                note: modelData.note
                key: root.keyOf(camera)
                onClicked: root.selectIndex(cameraSync.cameras.indexOf(camera))
            }
        }
        Item {
            Layout.fillWidth: true
        }
        TintedButton {
            objectName: "gridButton"
            Layout.alignment: Qt.AlignBottom
            text: root.gridText
            tint: root.grid ? Theme.folderTint : "transparent"
            onClicked: root.toggleGrid()
        }
    }
    RowLayout {
        id: buttons
        anchors.fill: parent
        spacing: 6
        visible: root.compact
        Repeater {
            model: cameraSync.cameras
            TintedButton {
                required property string modelData
                required property int index
                objectName: "cameraButton_" + modelData
                text: (index < root.maxKeys ? (index + 1) + "  " : "") + modelData
                tint: !root.grid && modelData === cameraSync.largeCamera ? Theme.folderTint : "transparent"
                onClicked: root.selectIndex(index)
            }
        }
        Item {
            Layout.fillWidth: true
        }
        TintedButton {
            objectName: "gridButtonCompact"
            text: root.gridText
            tint: root.grid ? Theme.folderTint : "transparent"
            onClicked: root.toggleGrid()
        }
    }
}
