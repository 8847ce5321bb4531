// The main window's content: gradient, header, and the body with the player column and the
// metadata sidebar. The whole view takes dropped clips.
import QtQuick
import QtQuick.Layouts

Item {
    id: root
    required property var viewer
    required property var sources
    required property var readout
    // The player fills the view alone (full screen).
    property bool videoOnly: false

    signal openFileRequested
    signal openFolderRequested
    signal exportRequested
    signal fullScreenToggled

    // The player, for the window's playback keys.
    readonly property alias player: videoArea.playerView

    function togglePlayback() {
        videoArea.togglePlayback()
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
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: root.videoOnly ? 0 : 18
        spacing: 14

        HeaderBar {
            objectName: "header"
            Layout.fillWidth: true
            visible: !root.videoOnly
            status: root.viewer.status
            statusNote: root.viewer.extractorDamageNote
            canExport: root.viewer.rawCSV.length > 0
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
                    targeted: root.viewer.isDropTargeted
                    onClicked: root.openFileRequested()
                }
                Text {
                    objectName: "fileName"
                    Layout.fillWidth: true
                    visible: !root.videoOnly
                    text: root.viewer.selectedFileName
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
            }
            Sidebar {
                id: sidebar
                objectName: "sidebar"
                backdrop: Qt.tint(background.colorAt(sidebar, sidebar.width / 2, sidebar.height / 3),
                                  Theme.white(0.08))
                Layout.preferredWidth: 360
                Layout.fillHeight: true
                visible: !root.videoOnly
                viewer: root.viewer
                sources: root.sources
                readout: root.readout
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
