// The clip's GPS route on a map, with the car at the current playback position.
import QtQuick
import QtQuick.Layouts
import Veldrin.Platform
import Veldrin.Map

ColumnLayout {
    id: root
    required property var viewer
    required property var readout
    // The colour behind the map's corners.
    property color backdrop: "black"

    spacing: 6

    Text {
        text: Strings.text("GPS Route")
        font.pixelSize: 11
        font.weight: Font.DemiBold
        color: Theme.white(0.75)
    }
    Item {
        Layout.fillWidth: true
        Layout.preferredHeight: 170
        RouteMapView {
            objectName: "routeMap"
            anchors.fill: parent
            routeIdentity: String(root.viewer.stagedFileURL)
            coordinates: root.viewer.routeCoordinates
            carCoordinate: root.readout.currentCoordinate
            progress: root.readout.routeProgress
            heading: root.readout.currentHeading
        }
        RoundedCorners {
            anchors.fill: parent
            radius: 10
            topLeftColor: root.backdrop
            topRightColor: root.backdrop
            bottomLeftColor: root.backdrop
            bottomRightColor: root.backdrop
        }
        Rectangle {
            anchors.fill: parent
            radius: 10
            color: "transparent"
            border.width: 1
            border.color: Theme.white(0.18)
        }
    }
}
