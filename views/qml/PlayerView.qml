// The video of the window's one player, aspect-fit, with its own inline controls over the
// bottom of the picture: play/pause, a scrubber that seeks, elapsed/total time, full screen.
import QtQuick
import QtQuick.Controls.Basic
import QtMultimedia

Item {
    id: root
    // The QMediaPlayer of the window's VideoPlayer; the view never replaces it.
    required property QtObject mediaPlayer
    property bool fullScreen: false

    signal fullScreenToggled

    readonly property bool playing: mediaPlayer.playbackState === MediaPlayer.PlayingState
    // The position of the picture on screen. While playing it moves with each video frame
    // rather than with the player's own position ticks: every change redraws the whole
    // window, and a tick between two frames would cost one extra window draw.
    property real shownPosition: 0
    onPlayingChanged: shownPosition = mediaPlayer.position
    readonly property bool hasMedia: mediaPlayer.duration > 0

    function togglePlayback() {
        if (playing)
            mediaPlayer.pause()
        else if (hasMedia)
            mediaPlayer.play()
    }

    function formatTime(milliseconds) {
        const totalSeconds = Math.max(0, Math.floor(milliseconds / 1000))
        const minutes = Math.floor(totalSeconds / 60)
        const seconds = totalSeconds % 60
        return minutes + ":" + (seconds < 10 ? "0" : "") + seconds
    }

    Rectangle {
        anchors.fill: parent
        color: "black"
    }

    VideoOutput {
        id: videoOutput
        objectName: "videoOutput"
        anchors.fill: parent
        fillMode: VideoOutput.PreserveAspectFit
    }
    Component.onCompleted: mediaPlayer.videoOutput = videoOutput
    Connections {
        target: videoOutput.videoSink
        function onVideoFrameChanged() {
            root.shownPosition = root.mediaPlayer.position
        }
    }
    Connections {
        target: root.mediaPlayer
        function onPositionChanged() {
            if (!root.playing)
                root.shownPosition = root.mediaPlayer.position
        }
    }

    TapHandler {
        onTapped: root.togglePlayback()
        onDoubleTapped: root.fullScreenToggled()
    }

    Rectangle {
        id: controls
        objectName: "playerControls"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: 10
        height: 34
        radius: 10
        color: Theme.black(0.55)
        opacity: root.hasMedia ? 1 : 0.5

        Row {
            id: leading
            anchors.left: parent.left
            anchors.leftMargin: 6
            anchors.verticalCenter: parent.verticalCenter
            PlayerButton {
                objectName: "playPauseButton"
                glyph: root.playing ? "pause" : "play"
                enabled: root.hasMedia
                onClicked: root.togglePlayback()
            }
        }
        Slider {
            id: scrubber
            objectName: "scrubber"
            anchors.left: leading.right
            anchors.right: timeLabel.left
            anchors.leftMargin: 6
            anchors.rightMargin: 10
            anchors.verticalCenter: parent.verticalCenter
            enabled: root.hasMedia && root.mediaPlayer.seekable
            from: 0
            to: Math.max(1, root.mediaPlayer.duration)
            value: pressed ? value : root.shownPosition
            onMoved: root.mediaPlayer.position = value
            background: Rectangle {
                x: scrubber.leftPadding
                y: scrubber.topPadding + scrubber.availableHeight / 2 - height / 2
                width: scrubber.availableWidth
                height: 4
                radius: 2
                color: Theme.white(0.25)
                Rectangle {
                    width: scrubber.visualPosition * parent.width
                    height: parent.height
                    radius: 2
                    color: "white"
                }
            }
            handle: Rectangle {
                x: scrubber.leftPadding + scrubber.visualPosition * (scrubber.availableWidth - width)
                y: scrubber.topPadding + scrubber.availableHeight / 2 - height / 2
                width: 12
                height: 12
                radius: 6
                color: "white"
            }
        }
        Text {
            id: timeLabel
            objectName: "timeLabel"
            anchors.right: trailing.left
            anchors.rightMargin: 8
            anchors.verticalCenter: parent.verticalCenter
            text: root.formatTime(root.shownPosition) + " / "
                  + root.formatTime(root.mediaPlayer.duration)
            font.pixelSize: 11
            font.family: Theme.monospace
            color: Theme.white(0.85)
        }
        Row {
            id: trailing
            anchors.right: parent.right
            anchors.rightMargin: 6
            anchors.verticalCenter: parent.verticalCenter
            PlayerButton {
                objectName: "fullScreenButton"
                glyph: root.fullScreen ? "shrink" : "expand"
                onClicked: root.fullScreenToggled()
            }
        }
    }
}
