// Over the picture of a trip: the last frame dimmed through a gap between moments, why a
// camera stopped, and the note that a moment carries no telemetry.
import QtQuick
import Veldrin.Platform
import Veldrin.Playback

Item {
    id: root
    required property TripPlayback trip

    readonly property bool tripShown: trip !== null && trip.active

    Rectangle {
        objectName: "tripGapShade"
        anchors.fill: parent
        visible: root.tripShown && root.trip.inGap
        color: Theme.black(0.55)
    }
    Column {
        anchors.centerIn: parent
        spacing: 6
        Text {
            objectName: "tripNote"
            anchors.horizontalCenter: parent.horizontalCenter
            visible: root.tripShown && text.length > 0
            text: root.tripShown ? root.trip.note : ""
            font.pixelSize: 13
            font.weight: Font.DemiBold
            color: "white"
        }
        Text {
            objectName: "tripNoTelemetry"
            anchors.horizontalCenter: parent.horizontalCenter
            visible: root.tripShown && !root.trip.momentHasTelemetry
            text: qsTranslate("Veldrin", "No telemetry in this moment")
            font.pixelSize: 11
            color: Theme.white(0.75)
        }
    }
}
