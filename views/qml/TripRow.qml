// One row of the trip list: a trip's header, or one of its moments with its camera chips.
import QtQuick
import QtQuick.Controls.Basic

AbstractButton {
    id: control
    required property bool isTrip
    required property int tripIndex
    required property int momentIndex
    required property string title
    required property string detail
    required property var chips
    required property bool isCurrent

    function chipColor(status) {
        switch (status) {
        case "withMetadata":
            return Theme.accent
        case "noMetadata":
            return Theme.white(0.35)
        case "error":
            return Qt.rgba(1, 0.584, 0, 0.9)
        }
        return Theme.white(0.12)
    }

    objectName: isTrip ? "tripHeader_" + tripIndex : "tripMoment_" + tripIndex + "_" + momentIndex
    leftPadding: isTrip ? 8 : 18
    rightPadding: 8
    topPadding: isTrip ? 6 : 3
    bottomPadding: isTrip ? 6 : 3
    contentItem: Column {
        spacing: 2
        Row {
            spacing: 8
            Text {
                text: control.title
                font.pixelSize: 11
                font.weight: control.isTrip ? Font.DemiBold : Font.Medium
                font.family: Theme.monospace
                color: "white"
            }
            Repeater {
                model: control.isTrip ? [] : control.chips
                delegate: Rectangle {
                    required property var modelData
                    anchors.verticalCenter: parent.verticalCenter
                    width: chipLabel.implicitWidth + 10
                    height: 15
                    radius: 4
                    color: control.chipColor(modelData.status)
                    Text {
                        id: chipLabel
                        anchors.centerIn: parent
                        text: modelData.camera
                        font.pixelSize: 9
                        font.weight: Font.Medium
                        color: "white"
                    }
                }
            }
        }
        Text {
            visible: control.isTrip
            width: parent.width
            text: control.detail
            elide: Text.ElideRight
            font.pixelSize: 10
            color: Theme.white(0.7)
        }
    }
    background: Rectangle {
        radius: 7
        color: control.isCurrent ? Qt.rgba(Theme.accent.r, Theme.accent.g, Theme.accent.b,
                                           control.isTrip ? 0.22 : 0.42)
                                 : Theme.white(control.isTrip ? 0.08 : 0.03)
    }
}
