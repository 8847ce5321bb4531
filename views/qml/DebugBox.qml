// The extraction's diagnostic report, shown under the sidebar message.
import QtQuick
import QtQuick.Layouts
import Veldrin.Platform

Rectangle {
    id: root
    property string report

    implicitHeight: content.implicitHeight + 16
    radius: 10
    color: Theme.black(0.2)

    ColumnLayout {
        id: content
        anchors.fill: parent
        anchors.margins: 8
        spacing: 4
        Text {
            text: qsTranslate("Veldrin", "Debug")
            font.pixelSize: 11
            font.weight: Font.DemiBold
            color: Theme.white(0.7)
        }
        Text {
            objectName: "debugText"
            Layout.fillWidth: true
            text: root.report
            wrapMode: Text.Wrap
            font.pixelSize: 11
            font.family: Theme.monospace
            color: Theme.white(0.82)
        }
    }
}
