// One camera's picture with its name and key; an empty frame with the name when the moment
// has no clip of it, and the reason when its file stopped.
import QtQuick
import QtMultimedia
import Veldrin.Platform
import Veldrin.Playback

Rectangle {
    id: root
    required property CameraSync sync
    required property string camera
    property bool hasClip: true
    property string note: ""
    // The number key that makes this camera large; 0 for none.
    property int key: 0
    property bool framed: true
    readonly property alias videoSink: output.videoSink

    readonly property string missingText: qsTranslate("Veldrin", "No clip of this camera here")

    signal clicked

    objectName: "cameraTile_" + camera
    color: "black"
    radius: framed ? 8 : 0
    border.width: framed ? 1 : 0
    border.color: Theme.white(0.2)
    clip: true

    function showCamera() {
        sync.show(camera, output.videoSink)
    }
    onCameraChanged: showCamera()
    Component.onCompleted: showCamera()

    VideoOutput {
        id: output
        anchors.fill: parent
        anchors.margins: root.border.width
        fillMode: VideoOutput.PreserveAspectFit
        visible: root.hasClip
    }
    Text {
        anchors.centerIn: parent
        width: parent.width - 12
        visible: !root.hasClip
        text: root.note.length > 0 ? root.note : root.missingText
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
        font.pixelSize: 11
        color: root.note.length > 0 ? Theme.warning : Theme.white(0.6)
    }
    // At the top: the player's controls lie along the bottom of a grid's lower tiles.
    Rectangle {
        objectName: "cameraLabel"
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.margins: 5
        width: label.implicitWidth + 10
        height: label.implicitHeight + 4
        radius: 4
        color: Theme.black(0.55)
        Text {
            id: label
            anchors.centerIn: parent
            text: (root.key > 0 ? root.key + "  " : "") + root.camera
            font.pixelSize: 11
            font.weight: Font.DemiBold
            color: "white"
        }
    }
    MouseArea {
        anchors.fill: parent
        enabled: root.framed
        onClicked: root.clicked()
    }
}
