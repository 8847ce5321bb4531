// The quick guide: a modal note on how to use the studio, closed with "OK", Enter or Escape.
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Controls as Controls
import QtQuick.Layouts
import Veldrin.Platform

Dialog {
    id: root
    objectName: "quickGuide"
    modal: true
    anchors.centerIn: Controls.Overlay.overlay
    padding: 20
    // The description column of the keys and the paragraphs share this width.
    readonly property int textWidth: 520
    readonly property int keyColumnWidth: 110
    // Key and what it does, in turn.
    readonly property var keys: [
        qsTranslate("Veldrin", "Space"), qsTranslate("Veldrin", "Play or pause"),
        "← →", qsTranslate("Veldrin", "Back or ahead 5 seconds; with Shift 1 second"),
        ", .", qsTranslate("Veldrin", "Previous or next frame"),
        "[ ]  L  K", qsTranslate("Veldrin", "Slower or faster; play faster; pause"),
        "N", qsTranslate("Veldrin", "Next driving event; with Shift the previous one"),
        "1-9  G", qsTranslate("Veldrin", "That camera large; all cameras at once"),
        "M", qsTranslate("Veldrin", "Sound off or on"),
        qsTranslate("Veldrin", "Escape"), qsTranslate("Veldrin", "Leave full screen (a double click on the video enters it)"),
        Strings.shortcut("Ctrl+O"), qsTranslate("Veldrin", "Open a clip"),
        Strings.shortcut("Ctrl+E"), qsTranslate("Veldrin", "Export the telemetry as CSV"),
    ]

    component GuideText: Text {
        Layout.preferredWidth: root.textWidth
        wrapMode: Text.Wrap
        font.pixelSize: 12
        color: Theme.white(0.85)
    }
    component GuideHeading: Text {
        Layout.topMargin: 4
        font.pixelSize: 12
        font.bold: true
        color: "white"
    }
    closePolicy: Popup.CloseOnEscape
    // Focus, so that Escape reaches the guide rather than the window's keys.
    focus: true

    Shortcut {
        sequences: ["Return", "Enter"]
        enabled: root.visible
        onActivated: root.accept()
    }

    background: Rectangle {
        radius: 12
        color: Qt.rgba(0.16, 0.16, 0.18, 1)
        border.width: 1
        border.color: Theme.white(0.15)
    }

    contentItem: ColumnLayout {
        spacing: 10
        RowLayout {
            spacing: 12
            Rectangle {
                Layout.alignment: Qt.AlignTop
                implicitWidth: 32
                implicitHeight: 32
                radius: 16
                color: Theme.accent
                Text {
                    anchors.centerIn: parent
                    text: "i"
                    font.pixelSize: 18
                    font.bold: true
                    color: "white"
                }
            }
            ColumnLayout {
                spacing: 8
                Text {
                    objectName: "quickGuideTitle"
                    text: qsTranslate("Veldrin", "Veldrin Quick Guide")
                    font.pixelSize: 14
                    font.bold: true
                    color: "white"
                }
                GuideText {
                    objectName: "quickGuideText"
                    text: qsTranslate("Veldrin", "Open a clip with File > Open Video or drop it on the window; its telemetry shows on the video, in the cards and the grid on the right, on the map and along the timeline.")
                }
                GuideHeading { text: qsTranslate("Veldrin", "Keys") }
                GridLayout {
                    objectName: "quickGuideKeys"
                    columns: 2
                    columnSpacing: 14
                    rowSpacing: 3
                    Repeater {
                        model: root.keys
                        delegate: Text {
                            required property var modelData
                            required property int index
                            Layout.preferredWidth: index % 2 ? root.textWidth - root.keyColumnWidth - 14 : root.keyColumnWidth
                            wrapMode: Text.Wrap
                            text: modelData
                            font.pixelSize: 12
                            font.family: index % 2 ? Qt.application.font.family : Theme.monospace
                            color: index % 2 ? Theme.white(0.85) : "white"
                        }
                    }
                }
                GuideHeading { text: qsTranslate("Veldrin", "Trips and cameras") }
                GuideText {
                    text: qsTranslate("Veldrin", "File > Open Batch Folder lists a folder's clips. Clips named by their start, such as 2024-05-01_10-00-00-front.mp4, that follow one another within seconds form a trip, played as one drive. Clips of the same start from other cameras (back, left, right) play in step: small under the video, or large with 1-9, all together with G.")
                }
                GuideHeading { text: qsTranslate("Veldrin", "Exports") }
                GuideText {
                    text: qsTranslate("Veldrin", "File > Export CSV, Export Trip CSV and Export Route (GPX, GeoJSON or KML) propose a file beside the clip; you choose the folder and name in the save panel. Export Evidence writes a folder NAME_evidence with the clip, its telemetry and their checksums into the folder you choose.")
                }
            }
        }
        TintedButton {
            objectName: "quickGuideOk"
            Layout.alignment: Qt.AlignRight
            text: qsTranslate("Veldrin", "OK")
            tint: Theme.accent
            onClicked: root.close()
        }
    }
}
