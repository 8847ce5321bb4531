// The metadata panel: heading, extraction state, message, debug report, batch list, route,
// and the cards and detail grid of the current row (or a hint when there is none).
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Veldrin.Platform
import Veldrin.Sources
import Veldrin.Viewer

Rectangle {
    id: root
    required property ContentView viewer
    required property ClipSources sources
    required property TelemetryReadout readout
    // Seconds of the picture on screen, for the map's car.
    property real shownSeconds: 0
    // A sidebar shorter than this (a small screen) gives the detail grid some of the map's
    // height, so the grid keeps a couple of rows in view.
    readonly property real shortHeight: 560
    readonly property int fullMapHeight: 170
    readonly property int compactMapHeight: 100

    signal eventChosen(real seconds)
    signal routeTimeChosen(real seconds)

    radius: 16
    color: Theme.white(0.08)
    border.width: 1
    border.color: Theme.white(0.15)

    // Everything scrolls: wheel, scroll bar and keys (Up, Down, Page Up, Page Down once focused
    // by Tab or a click), and nothing is drawn outside the panel.
    ScrollView {
        id: scroll
        objectName: "sidebarScroll"
        anchors.fill: parent
        anchors.margins: 12
        clip: true
        contentWidth: availableWidth
        contentHeight: column.implicitHeight
        activeFocusOnTab: true
        ScrollBar.vertical.policy: contentHeight > height ? ScrollBar.AlwaysOn : ScrollBar.AsNeeded
        ScrollBar.vertical.interactive: true
        readonly property real lineStep: 40
        function scrollBy(dy) {
            const flick = contentItem
            flick.contentY = Math.max(0, Math.min(flick.contentHeight - flick.height,
                                                  flick.contentY + dy))
        }
        Keys.onPressed: event => {
            const steps = {[Qt.Key_Down]: lineStep, [Qt.Key_Up]: -lineStep,
                           [Qt.Key_PageDown]: height, [Qt.Key_PageUp]: -height}
            if (steps[event.key] !== undefined) {
                scrollBy(steps[event.key])
                event.accepted = true
            }
        }
        TapHandler {
            onTapped: scroll.forceActiveFocus()
        }

        // Room for the scroll bar, so that it covers nothing.
        readonly property real barRoom: contentHeight > height ? ScrollBar.vertical.width + 2 : 0

        ColumnLayout {
            id: column
            width: scroll.availableWidth - scroll.barRoom
            spacing: 10

            Text {
                text: qsTranslate("Veldrin", "SEI Metadata")
                font.pixelSize: 16
                font.bold: true
                color: "white"
            }
            ExtractingIndicator {
                objectName: "extractingIndicator"
                visible: root.viewer.load.isExtracting
            }
            Text {
                objectName: "extractorMessage"
                Layout.fillWidth: true
                text: root.viewer.telemetry.extractorMessage
                wrapMode: Text.Wrap
                font.pixelSize: 12
                font.weight: Font.Medium
                color: Theme.white(0.75)
            }
            Text {
                objectName: "damageNote"
                Layout.fillWidth: true
                visible: text.length > 0
                text: root.viewer.telemetry.extractorDamageNote
                wrapMode: Text.Wrap
                font.pixelSize: 12
                font.weight: Font.DemiBold
                color: Theme.warning
            }
            Text {
                objectName: "recoveryNote"
                Layout.fillWidth: true
                visible: text.length > 0
                text: root.viewer.telemetry.extractorRecoveryNote
                wrapMode: Text.Wrap
                font.pixelSize: 12
                font.weight: Font.DemiBold
                color: Theme.warning
            }
            Button {
                objectName: "recoverButton"
                visible: root.viewer.telemetry.canRecoverTelemetry
                text: qsTranslate("Veldrin", "Recover telemetry")
                onClicked: root.sources.recoverTelemetry()
            }
            DebugBox {
                objectName: "debugBox"
                Layout.fillWidth: true
                visible: root.viewer.telemetry.extractorDebug.length > 0
                report: root.viewer.telemetry.extractorDebug
            }
            Loader {
                objectName: "batchBoxLoader"
                Layout.fillWidth: true
                active: root.sources.batch.folderClips.length > 0
                visible: active
                sourceComponent: BatchPanel {
                    objectName: "batchBox"
                    viewer: root.viewer
                    sources: root.sources
                }
            }
            Loader {
                objectName: "routeBoxLoader"
                Layout.fillWidth: true
                active: root.viewer.telemetry.routeCoordinates.length > 0
                visible: active
                sourceComponent: RouteBox {
                    objectName: "routeBox"
                    viewer: root.viewer
                    readout: root.readout
                    mapHeight: root.height < root.shortHeight ? root.compactMapHeight
                                                              : root.fullMapHeight
                    shownSeconds: root.shownSeconds
                    onRouteTimeChosen: seconds => root.routeTimeChosen(seconds)
                }
            }
            EventList {
                objectName: "eventsBox"
                Layout.fillWidth: true
                visible: root.viewer.drive.hasData && root.viewer.drive.events.length > 0
                drive: root.viewer.drive
                onEventChosen: seconds => root.eventChosen(seconds)
            }
            MetricCards {
                objectName: "metricCards"
                Layout.fillWidth: true
                visible: root.readout.hasRow
                cards: root.readout.metricCards
            }
            DetailGrid {
                objectName: "detailGrid"
                Layout.fillWidth: true
                visible: root.readout.hasRow
                cells: root.readout.detailCells
            }
            Text {
                objectName: "placeholder"
                Layout.fillWidth: true
                visible: !root.readout.hasRow
                text: qsTranslate("Veldrin", "Load a supported Orvik MP4 clip to see metadata")
                wrapMode: Text.Wrap
                font.pixelSize: 12
                font.weight: Font.Medium
                color: Theme.white(0.65)
            }
        }
    }
}
