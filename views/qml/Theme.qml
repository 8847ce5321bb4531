// Colours and sizes shared by the main window's components.
pragma Singleton
import QtQuick

QtObject {
    readonly property color accent: Qt.rgba(1.0, 0.22, 0.33, 1)
    readonly property color folderTint: Qt.rgba(0.29, 0.39, 0.52, 1)
    readonly property color gradientStart: Qt.rgba(0.08, 0.09, 0.11, 1)
    readonly property color gradientEnd: Qt.rgba(0.13, 0.08, 0.08, 1)
    readonly property color warning: Qt.rgba(1.0, 0.78, 0.25, 1)
    readonly property string monospace: "monospace"

    function white(opacity) {
        return Qt.rgba(1, 1, 1, opacity)
    }
    function black(opacity) {
        return Qt.rgba(0, 0, 0, opacity)
    }
}
