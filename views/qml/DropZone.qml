// The dashed strip that tells where clips can be dropped; the drop itself is the window's.
// A click on it asks for the open panel.
import QtQuick
import Veldrin.Platform

Item {
    id: root
    property bool targeted: false

    signal clicked

    implicitHeight: 44

    TapHandler {
        onTapped: root.clicked()
    }
    HoverHandler {
        cursorShape: Qt.PointingHandCursor
    }

    Rectangle {
        anchors.fill: parent
        radius: 12
        color: Theme.white(0.08)
    }
    DashedRoundedRect {
        anchors.fill: parent
        radius: 12
        strokeColor: Theme.white(0.2)
    }
    Text {
        objectName: "dropZoneLabel"
        anchors.centerIn: parent
        text: root.targeted ? qsTranslate("Veldrin", "Drop now") : qsTranslate("Veldrin", "Drop MP4 here")
        font.pixelSize: 13
        font.weight: Font.DemiBold
        color: Theme.white(0.9)
    }
}
