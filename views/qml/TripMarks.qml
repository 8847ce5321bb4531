// On a trip's scrubber: where each moment after the first starts, and the gaps between them.
import QtQuick
import Veldrin.Playback

Item {
    id: root
    property TripPlayback trip: null

    readonly property real span: trip !== null && trip.duration > 0 ? trip.duration : 1

    Repeater {
        model: root.trip !== null ? root.trip.gaps : []
        delegate: Rectangle {
            required property var modelData
            x: modelData.from / root.span * root.width
            width: Math.max(2, (modelData.to - modelData.from) / root.span * root.width)
            height: root.height
            color: Theme.black(0.6)
        }
    }
    Repeater {
        model: root.trip !== null ? root.trip.boundaries : []
        delegate: Rectangle {
            required property real modelData
            objectName: "momentBoundary"
            x: modelData / root.span * root.width - 1
            y: -2
            width: 2
            height: root.height + 4
            color: Theme.accent
        }
    }
}
