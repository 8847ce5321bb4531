// The clip's GPS route on a map, with the car at the current playback position.
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Veldrin.Platform
import Veldrin.Map
import Veldrin.Viewer

ColumnLayout {
    id: root
    required property ContentView viewer
    required property TelemetryReadout readout
    readonly property real mapCornerRadius: 10
    required property int mapHeight
    // Seconds of the picture on screen: the car sits between the drive's rows around it.
    property real shownSeconds: 0
    readonly property var colouringNames: [qsTranslate("Veldrin", "Plain"), qsTranslate("Veldrin", "Speed"),
                                           qsTranslate("Veldrin", "Assistance")]

    signal routeTimeChosen(real seconds)

    spacing: 6

    component MapButton: AbstractButton {
        id: button
        property bool on: false
        padding: 4
        leftPadding: 7
        rightPadding: 7
        font.pixelSize: 10
        font.weight: Font.Medium
        contentItem: Text {
            text: button.text
            font: button.font
            color: "white"
        }
        background: Rectangle {
            radius: 5
            color: button.on ? Theme.accent : Theme.black(button.down ? 0.75 : 0.55)
            border.width: 1
            border.color: Theme.white(0.25)
        }
    }

    component MapNote: Text {
        font.pixelSize: 10
        color: "white"
        leftPadding: 5
        rightPadding: 5
        topPadding: 2
        bottomPadding: 2
        Rectangle {
            anchors.fill: parent
            z: -1
            radius: 4
            color: Theme.black(0.55)
        }
    }

    Text {
        text: qsTranslate("Veldrin", "GPS Route")
        font.pixelSize: 11
        font.weight: Font.DemiBold
        color: Theme.white(0.75)
    }
    Item {
        Layout.fillWidth: true
        Layout.preferredHeight: root.mapHeight
        // The map's tiles reach past its box; nothing is drawn outside the panel.
        clip: true
        RouteMapView {
            id: map
            objectName: "routeMap"
            anchors.fill: parent
            routeIdentity: String(root.viewer.load.stagedFileURL)
            coordinates: root.viewer.telemetry.routeCoordinates
            carCoordinate: root.readout.currentCoordinate
            progress: root.readout.routeProgress
            heading: root.readout.currentHeading
            drive: root.viewer.drive
            carTime: root.viewer.drive.hasData ? root.shownSeconds : NaN
            colouring: Settings.routeColouring
            // A fitted route, its start and end names with it, stays below the buttons.
            fitTopInset: mapButtons.y + mapButtons.height
            cornerRadius: root.mapCornerRadius
            onRouteTimeClicked: seconds => root.routeTimeChosen(seconds)
        }
        Rectangle {
            anchors.fill: parent
            radius: root.mapCornerRadius
            color: "transparent"
            border.width: 1
            border.color: Theme.white(0.18)
        }
        Row {
            id: mapButtons
            anchors.top: parent.top
            anchors.right: parent.right
            anchors.margins: 6
            spacing: 4
            MapButton {
                objectName: "colouringButton"
                text: root.colouringNames[Settings.routeColouring]
                onClicked: Settings.routeColouring = (Settings.routeColouring + 1) % root.colouringNames.length
            }
            MapButton {
                objectName: "fitRouteButton"
                text: qsTranslate("Veldrin", "Fit route")
                onClicked: map.fitRoute()
            }
            MapButton {
                objectName: "followCarButton"
                text: qsTranslate("Veldrin", "Follow car")
                on: map.followCar
                onClicked: map.followCar = !map.followCar
            }
        }
        RouteLegend {
            objectName: "routeLegend"
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            anchors.margins: 6
            // Above the map's attribution, which holds the bottom right corner.
            anchors.bottomMargin: 6 + map.attributionHeight
            visible: Settings.routeColouring !== 0 && root.viewer.drive.hasData
            colouring: Settings.routeColouring
            topSpeed: map.topSpeed
            useMilesPerHour: root.viewer.useMilesPerHour
        }
        MapNote {
            objectName: "tilesUnavailableNote"
            anchors.left: parent.left
            anchors.bottom: parent.bottom
            anchors.margins: 6
            visible: map.tilesUnavailable
            text: qsTranslate("Veldrin", "Map tiles unavailable")
        }
        // Why the chosen map file is not shown.
        MapNote {
            objectName: "tileSourceNote"
            anchors.left: parent.left
            anchors.top: parent.top
            anchors.margins: 6
            anchors.right: parent.right
            anchors.topMargin: 34
            wrapMode: Text.Wrap
            visible: text !== ""
            text: map.tileSourceMessage
        }
    }
}
