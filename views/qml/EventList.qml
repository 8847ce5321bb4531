// The drive's events, one compact line each: time, kind and value. Choosing one asks the
// window to show it from a little before.
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Veldrin.Platform
import Veldrin.Viewer

ColumnLayout {
    id: root
    // A DriveData.
    required property DriveData drive
    readonly property int visibleLines: 4
    readonly property int lineHeight: 20

    signal eventChosen(real seconds)

    spacing: 4

    Text {
        text: Strings.format(QT_TRANSLATE_NOOP("Veldrin", "Events (%d)"), [root.drive.events.length])
        font.pixelSize: 11
        font.weight: Font.DemiBold
        color: Theme.white(0.75)
    }
    ListView {
        objectName: "eventList"
        Layout.fillWidth: true
        Layout.preferredHeight: Math.min(count, root.visibleLines) * root.lineHeight
        clip: true
        model: root.drive.events
        ScrollBar.vertical: ScrollBar {}
        delegate: AbstractButton {
            required property var modelData
            required property int index
            objectName: "event_" + index
            width: ListView.view.width
            height: root.lineHeight
            onClicked: root.eventChosen(modelData.time)
            background: Rectangle {
                radius: 4
                color: parent.down ? Theme.white(0.18) : parent.hovered ? Theme.white(0.1) : "transparent"
            }
            contentItem: RowLayout {
                spacing: 8
                Text {
                    text: modelData.clock
                    font.pixelSize: 11
                    font.family: Theme.monospace
                    color: Theme.white(0.65)
                }
                Text {
                    Layout.fillWidth: true
                    text: modelData.name
                    elide: Text.ElideRight
                    font.pixelSize: 11
                    color: "white"
                }
                Text {
                    text: modelData.value
                    font.pixelSize: 11
                    color: Theme.white(0.75)
                }
            }
        }
    }
}
