// A menu as wide as its widest entry, label and shortcut, in whichever language is shown.
import QtQuick
import QtQuick.Controls.Basic

Menu {
    id: root
    delegate: ShortcutMenuItem {}
    width: {
        let widest = implicitWidth - leftPadding - rightPadding
        for (let i = 0; i < count; ++i) {
            const entry = itemAt(i)
            if (entry)
                widest = Math.max(widest, entry.implicitWidth)
        }
        return widest + leftPadding + rightPadding
    }
}
