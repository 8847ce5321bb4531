// The batch as trips: a header per trip (date, clock times, length, cameras, telemetry, scan
// progress), under it its moments with one chip per camera coloured by that clip's status.
// Choosing a moment plays its trip from there.
import QtQuick
import QtQuick.Controls.Basic
import Veldrin.Sources

ListView {
    id: root
    required property ClipSources sources

    clip: true
    spacing: 3
    model: sources.tripRows
    boundsBehavior: Flickable.StopAtBounds
    ScrollBar.vertical: ScrollBar {
        policy: ScrollBar.AlwaysOn
    }
    delegate: TripRow {
        width: ListView.view.width - 10
        onClicked: root.sources.playTripMoment(tripIndex, isTrip ? 0 : momentIndex)
    }
}
