// The next moment's leader clip, loaded paused in the window player's standby while the shown
// one plays, so that at the switch it is swapped in rather than loaded.
#pragma once

#include "VideoPlayer.h"

#include <QMediaPlayer>
#include <QUrl>

#include <cstddef>
#include <optional>

namespace playback {

class StandbyPreload {
public:
    explicit StandbyPreload(VideoPlayer& player) : player_(player) {}

    // Loads `url`, moment `moment`'s leader clip, unless the standby already holds it.
    void prepare(std::size_t moment, const QUrl& url);
    void forget();
    // Whether `url` of moment `moment` waits in the standby, taken out of it when it does:
    // whether it finished loading then; nothing when it must be loaded the usual way.
    std::optional<bool> take(std::size_t moment, const QUrl& url);

    // What the standby player reports.
    void status(QMediaPlayer::MediaStatus status);
    void failed();

private:
    struct Held {
        std::size_t moment = 0;
        QUrl url;
        bool ready = false;
        bool failed = false;
    };

    VideoPlayer& player_;
    std::optional<Held> held_;
};

} // namespace playback
