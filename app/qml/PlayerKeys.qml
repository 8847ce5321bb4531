// The main window's playback keys, acting on `view` while `active`.
import QtQuick
import Veldrin.Views

Item {
    id: keys
    required property StudioView view
    property bool active: true
    readonly property PlayerView player: view.player
    readonly property int longSeekMs: 5000
    readonly property int shortSeekMs: 1000

    component PlayerKey: Shortcut {
        enabled: keys.active
        autoRepeat: false
    }
    PlayerKey {
        sequence: "Space"
        onActivated: keys.view.togglePlayback()
    }
    PlayerKey {
        sequence: "Left"
        autoRepeat: true
        onActivated: keys.player.seekBy(-keys.longSeekMs)
    }
    PlayerKey {
        sequence: "Right"
        autoRepeat: true
        onActivated: keys.player.seekBy(keys.longSeekMs)
    }
    PlayerKey {
        sequence: "Shift+Left"
        autoRepeat: true
        onActivated: keys.player.seekBy(-keys.shortSeekMs)
    }
    PlayerKey {
        sequence: "Shift+Right"
        autoRepeat: true
        onActivated: keys.player.seekBy(keys.shortSeekMs)
    }
    PlayerKey {
        sequence: "Home"
        onActivated: keys.player.seekTo(0)
    }
    PlayerKey {
        sequence: "End"
        onActivated: keys.player.seekToLastFrame()
    }
    PlayerKey {
        sequence: ","
        autoRepeat: true
        onActivated: keys.player.stepFrame(-1)
    }
    PlayerKey {
        sequence: "."
        autoRepeat: true
        onActivated: keys.player.stepFrame(1)
    }
    PlayerKey {
        sequence: "K"
        onActivated: keys.player.pause()
    }
    PlayerKey {
        sequence: "L"
        onActivated: keys.player.playFaster()
    }
    PlayerKey {
        sequence: "["
        onActivated: keys.player.stepRate(-1)
    }
    PlayerKey {
        sequence: "]"
        onActivated: keys.player.stepRate(1)
    }
    PlayerKey {
        sequence: "M"
        onActivated: keys.player.toggleMuted()
    }
    // 1-9 make that camera large; G shows all cameras at once.
    Instantiator {
        model: keys.view.cameras.maxKeys
        delegate: PlayerKey {
            required property int index
            sequence: String(index + 1)
            onActivated: keys.view.cameras.selectIndex(index)
        }
    }
    PlayerKey {
        sequence: "G"
        onActivated: keys.view.cameras.toggleGrid()
    }
    // N and Shift+N: the next and the previous driving event.
    PlayerKey {
        sequence: "N"
        onActivated: keys.view.jumpToEvent(1)
    }
    PlayerKey {
        sequence: "Shift+N"
        onActivated: keys.view.jumpToEvent(-1)
    }
}
