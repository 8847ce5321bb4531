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
    width: 420
    padding: 20
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
                spacing: 6
                Text {
                    objectName: "quickGuideTitle"
                    text: Strings.text("Veldrin Quick Guide")
                    font.pixelSize: 14
                    font.bold: true
                    color: "white"
                }
                Text {
                    objectName: "quickGuideText"
                    Layout.preferredWidth: 320
                    wrapMode: Text.Wrap
                    text: Strings.text("Load an MP4 with File > Open Video or drag and drop. Open a folder for batch playback. Play with the video controls, inspect SEI metadata on the right, and export it with File > Export CSV.")
                    font.pixelSize: 12
                    color: Theme.white(0.85)
                }
            }
        }
        TintedButton {
            objectName: "quickGuideOk"
            Layout.alignment: Qt.AlignRight
            text: Strings.text("OK")
            tint: Theme.accent
            onClicked: root.close()
        }
    }
}
