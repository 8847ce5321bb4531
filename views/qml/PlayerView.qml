// The video of the window's one player, aspect-fit, with its own inline controls over the
// bottom of the picture: play/pause, a scrubber that seeks, elapsed/total time, full screen.
// The window's playback keys call the functions below.
import QtQuick
import QtQuick.Controls.Basic
import QtMultimedia
import Veldrin.Platform
import Veldrin.Timeline
import Veldrin.Playback
import Veldrin.Viewer

Item {
    id: root
    // The QMediaPlayer of the window's VideoPlayer; the view never replaces it.
    required property QtObject mediaPlayer
    property bool fullScreen: false
    // Telemetry rows of the clip, one per frame: the frame length when the clip names no rate.
    property int frameCount: 0
    // The trip being played (a TripPlayback), or null: scrubber, clock and keys then span it.
    property TripPlayback trip: null
    // Not "onTrip": QML reads a name of "on" and a capital as a signal handler, and such a
    // property's binding never updated.
    readonly property bool tripShown: trip !== null && trip.active
    // The window's ContentView: a recovered clip's rows, which have no video, are browsed on its
    // clock by the scrubber and keys.
    property ContentView viewer: null
    readonly property bool rowsShown: viewer !== null && viewer.clock.recoveredRows > 0
    // Where the presented frames arrive: the timeline's playhead and the car follow them.
    readonly property QtObject videoSink: standbyShown ? standbyOutput.videoSink : videoOutput.videoSink
    // A trip's next moment loads in the standby player behind the picture and shows at the
    // switch without a load: each player keeps its own output, the current one's is visible.
    readonly property QtObject standbyPlayer: trip ? trip.standbyPlayer : null
    readonly property bool standbyShown: mediaPlayer.videoOutput === standbyOutput
    onStandbyPlayerChanged: {
        if (standbyPlayer && !standbyPlayer.videoOutput)
            standbyPlayer.videoOutput = standbyOutput
    }

    readonly property var playbackRates: [0.25, 0.5, 0.75, 1, 1.25, 1.5, 2, 3, 4]
    readonly property real normalRate: 1
    readonly property real fastestForwardRate: 4
    readonly property real fallbackFrameRate: 30
    readonly property int rewindStepMs: 1000
    readonly property int rewindIntervalMs: 250
    readonly property real frameMs: {
        const rate = Number(mediaPlayer.metaData.value(MediaMetaData.VideoFrameRate))
        if (rate > 0)
            return 1000 / rate
        if (frameCount > 0 && mediaPlayer.duration > 0)
            return mediaPlayer.duration / frameCount
        return 1000 / fallbackFrameRate
    }

    // Covers the picture under the controls: another camera, or all of them.
    property Component videoCover: null
    readonly property alias audioOutput: audio

    signal fullScreenToggled

    readonly property bool playing: tripShown ? trip.playing
                                           : mediaPlayer.playbackState === MediaPlayer.PlayingState
    // The position of the picture on screen. While playing it moves with each video frame
    // rather than with the player's own position ticks: every change redraws the whole
    // window, and a tick between two frames would cost one extra window draw.
    property real shownPosition: 0
    onPlayingChanged: shownPosition = frameClock.time * 1000
    readonly property bool hasMedia: mediaPlayer.duration > 0

    function togglePlayback() {
        if (tripShown)
            trip.togglePlayback()
        else if (playing)
            mediaPlayer.pause()
        else if (hasMedia)
            mediaPlayer.play()
    }

    function seekTo(milliseconds) {
        if (rowsShown)
            viewer.clock.seekRecovered(milliseconds / 1000)
        else if (tripShown)
            trip.seek(milliseconds / 1000)
        else if (hasMedia)
            mediaPlayer.position = Math.max(0, Math.min(mediaPlayer.duration, milliseconds))
    }
    function seekBy(milliseconds) {
        seekTo((rowsShown ? viewer.clock.playbackTime * 1000
                          : tripShown ? trip.time * 1000 : mediaPlayer.position) + milliseconds)
    }
    // Frame k is shown from k * frameMs on; positions are whole milliseconds.
    function frameIndexAt(milliseconds) {
        return Math.floor(milliseconds / frameMs)
    }
    function seekToFrame(index) {
        const last = Math.max(0, frameIndexAt(mediaPlayer.duration - 1))
        seekTo(Math.ceil(Math.max(0, Math.min(last, index)) * frameMs))
    }
    function stepFrame(frames) {
        if (rowsShown)
            viewer.clock.stepRecoveredRow(frames)
        else if (!playing)
            seekToFrame(frameIndexAt(mediaPlayer.position) + frames)
    }
    function seekToLastFrame() {
        if (rowsShown)
            viewer.clock.stepRecoveredRow(viewer.clock.recoveredRows)
        else if (tripShown)
            trip.seek(trip.duration)
        else
            seekToFrame(frameIndexAt(mediaPlayer.duration))
    }
    function pause() {
        if (tripShown)
            trip.pause()
        else
            mediaPlayer.pause()
    }
    // Play at normal speed, then each press doubles it up to the fastest.
    function playFaster() {
        if (!hasMedia)
            return
        if (!playing || mediaPlayer.playbackRate < normalRate)
            mediaPlayer.playbackRate = normalRate
        else
            mediaPlayer.playbackRate = Math.min(fastestForwardRate, mediaPlayer.playbackRate * 2)
        mediaPlayer.play()
    }
    // The next rate of playbackRates above (direction 1) or below (-1) the current one.
    function stepRate(direction) {
        const current = mediaPlayer.playbackRate
        const next = direction > 0 ? playbackRates.find(rate => rate > current + 1e-6)
                                   : playbackRates.slice().reverse().find(rate => rate < current - 1e-6)
        if (next !== undefined)
            mediaPlayer.playbackRate = next
    }
    // Reverse playback is unreliable in the media backends; held rewind steps back instead.
    function startRewind() {
        mediaPlayer.pause()
        seekBy(-rewindStepMs)
        rewindTimer.start()
    }
    function stopRewind() {
        rewindTimer.stop()
    }
    function toggleMuted() {
        audio.muted = !audio.muted
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
        visible: !root.standbyShown
    }
    VideoOutput {
        id: standbyOutput
        anchors.fill: parent
        fillMode: VideoOutput.PreserveAspectFit
        visible: root.standbyShown
    }
    Loader {
        anchors.fill: parent
        sourceComponent: root.videoCover
    }
    TripShade {
        anchors.fill: parent
        trip: root.trip
    }
    Timer {
        id: rewindTimer
        interval: root.rewindIntervalMs
        repeat: true
        onTriggered: root.seekBy(-root.rewindStepMs)
    }
    AudioOutput {
        id: audio
        objectName: "audioOutput"
    }
    Component.onCompleted: {
        mediaPlayer.videoOutput = videoOutput
        mediaPlayer.audioOutput = audio
    }
    // Frames reach this clock in C++ rather than a script handler: a frame handed to a script
    // keeps its picture buffer alive until the next garbage collection, hundreds of them.
    // The frame's own time: a player just swapped in reports a stale position for a while.
    FrameClock {
        id: frameClock
        player: root.mediaPlayer
        videoSink: root.videoSink
        onTimeChanged: root.shownPosition = frameClock.time * 1000
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
        opacity: root.hasMedia || root.rowsShown ? 1 : 0.5

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
            anchors.right: badge.left
            anchors.leftMargin: 6
            anchors.rightMargin: 10
            anchors.verticalCenter: parent.verticalCenter
            enabled: root.rowsShown || root.tripShown || (root.hasMedia && root.mediaPlayer.seekable)
            from: 0
            to: Math.max(1, root.rowsShown ? root.viewer.clock.playbackDuration * 1000
                          : root.tripShown ? root.trip.duration * 1000 : root.mediaPlayer.duration)
            value: pressed ? value : (root.rowsShown ? root.viewer.clock.playbackTime * 1000
                                      : root.tripShown ? root.trip.time * 1000 : root.shownPosition)
            onMoved: {
                if (root.rowsShown)
                    root.viewer.clock.seekRecovered(value / 1000)
                else if (root.tripShown)
                    root.trip.seek(value / 1000)
                else
                    root.mediaPlayer.position = value
            }
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
                TripMarks {
                    anchors.fill: parent
                    trip: root.tripShown ? root.trip : null
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
            id: badge
            objectName: "playbackBadge"
            anchors.right: timeLabel.left
            anchors.rightMargin: visible ? 8 : 0
            anchors.verticalCenter: parent.verticalCenter
            visible: text.length > 0
            text: {
                const parts = []
                if (Math.abs(root.mediaPlayer.playbackRate - root.normalRate) > 1e-6)
                    parts.push(Strings.format(QT_TRANSLATE_NOOP("Veldrin", "%g×"), [root.mediaPlayer.playbackRate]))
                if (audio.muted)
                    parts.push(qsTranslate("Veldrin", "Muted"))
                return parts.join(" · ")
            }
            font.pixelSize: 11
            font.weight: Font.DemiBold
            color: Theme.white(0.85)
        }
        Text {
            id: timeLabel
            objectName: "timeLabel"
            anchors.right: trailing.left
            anchors.rightMargin: 8
            anchors.verticalCenter: parent.verticalCenter
            text: root.rowsShown && !root.viewer.clock.recoveredTimed
                  ? Strings.format(QT_TRANSLATE_NOOP("Veldrin", "frame %d of %d"),
                                   [root.viewer.readout.rowIndex + 1, root.viewer.clock.recoveredRows])
                  : root.rowsShown ? root.formatTime(root.viewer.clock.playbackTime * 1000) + " / "
                                     + root.formatTime(root.viewer.clock.playbackDuration * 1000)
                  : root.tripShown ? root.trip.clockText + "  " + root.formatTime(root.trip.time * 1000)
                                + " / " + root.formatTime(root.trip.duration * 1000)
                              : root.formatTime(root.shownPosition) + " / "
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
