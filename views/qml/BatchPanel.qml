// The folder batch: header line, the "Only with metadata" switch with the scan progress, and
// the list of clips; a click on a row loads that clip. A folder of trips can be listed as
// trips instead.
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Veldrin.Platform
import Veldrin.Sources
import Veldrin.Viewer

ColumnLayout {
    id: root
    required property ContentView viewer
    required property ClipSources sources

    spacing: 6
    // Trips are listed where the folder holds some, unless the clips were asked for.
    property bool clipsChosen: false
    readonly property bool showsTrips: sources.hasTrips && !clipsChosen

    SegmentedPicker {
        objectName: "batchModePicker"
        visible: root.sources.hasTrips
        labels: [qsTranslate("Veldrin", "Trips"), qsTranslate("Veldrin", "Clips")]
        currentIndex: root.showsTrips ? 0 : 1
        onActivated: index => root.clipsChosen = index === 1
    }
    Text {
        objectName: "batchHeader"
        Layout.fillWidth: true
        text: root.sources.batchHeaderText
        elide: Text.ElideRight
        font.pixelSize: 11
        font.weight: Font.DemiBold
        color: Theme.white(0.75)
    }
    RowLayout {
        spacing: 8
        Switch {
            id: filterSwitch
            objectName: "onlyWithMetadataSwitch"
            checked: root.sources.batch.showOnlyMetadataClips
            onToggled: root.sources.batch.showOnlyMetadataClips = checked
            padding: 0
            spacing: 6
            indicator: SwitchIndicator {
                x: filterSwitch.leftPadding
                y: filterSwitch.topPadding + (filterSwitch.availableHeight - height) / 2
                on: filterSwitch.checked
            }
            contentItem: Text {
                leftPadding: filterSwitch.indicator.width + filterSwitch.spacing
                verticalAlignment: Text.AlignVCenter
                text: qsTranslate("Veldrin", "Only with metadata")
                font.pixelSize: 11
                font.weight: Font.Medium
                color: Theme.white(0.8)
            }
        }
        Text {
            objectName: "scanProgress"
            visible: root.sources.batch.isScanningFolderMetadata
            text: root.sources.batch.folderScanProgress
            font.pixelSize: 10
            font.weight: Font.Medium
            font.family: Theme.monospace
            color: Theme.white(0.65)
        }
    }
    TripList {
        objectName: "tripList"
        visible: root.showsTrips
        Layout.fillWidth: true
        Layout.preferredHeight: 140
        sources: root.sources
    }
    ListView {
        id: list
        objectName: "batchList"
        visible: !root.showsTrips
        Layout.fillWidth: true
        Layout.preferredHeight: 140
        clip: true
        spacing: 4
        model: root.sources.visibleFolderClips
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {
            policy: ScrollBar.AlwaysOn
        }
        delegate: BatchRow {
            objectName: "batchRow_" + name
            width: ListView.view.width - 10
            onClicked: root.sources.selectFolderClip(path)
        }
    }
}
