// What the route's colours mean: a speed gradient from 0 to the drive's top speed, or the
// assistance colours.
import QtQuick
import Veldrin.Platform

Rectangle {
    id: root
    // 1: by speed, 2: by assistance.
    property int colouring: 1
    // m/s.
    property real topSpeed: 0
    property bool useMilesPerHour: false
    readonly property real speedFactor: useMilesPerHour ? 2.236936 : 3.6

    implicitWidth: content.implicitWidth + 10
    implicitHeight: content.implicitHeight + 6
    width: implicitWidth
    height: implicitHeight
    radius: 4
    color: Theme.black(0.55)

    Row {
        id: content
        anchors.centerIn: parent
        spacing: 4
        Text {
            text: root.colouring === 1 ? "0" : qsTranslate("Veldrin", "Assisted")
            font.pixelSize: 9
            color: "white"
        }
        Rectangle {
            anchors.verticalCenter: parent.verticalCenter
            width: root.colouring === 1 ? 48 : 10
            height: 6
            radius: 2
            // The same colours as the route (RouteColouring).
            gradient: Gradient {
                orientation: Gradient.Horizontal
                GradientStop { position: 0; color: root.colouring === 1 ? "#34c759" : "#0a84ff" }
                GradientStop { position: 0.5; color: root.colouring === 1 ? "#ffcc00" : "#0a84ff" }
                GradientStop { position: 1; color: root.colouring === 1 ? "#ff3b30" : "#0a84ff" }
            }
        }
        Text {
            text: root.colouring === 1
                  ? Strings.format(QT_TRANSLATE_NOOP("Veldrin", "%d %@"), [Math.round(root.topSpeed * root.speedFactor),
                                             root.useMilesPerHour ? "mph" : "km/h"])
                  : qsTranslate("Veldrin", "Not assisted")
            font.pixelSize: 9
            color: "white"
        }
        Rectangle {
            anchors.verticalCenter: parent.verticalCenter
            visible: root.colouring === 2
            width: 10
            height: 6
            radius: 2
            color: "#8e8e93"
        }
    }
}
