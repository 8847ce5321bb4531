#include "StandbyPreload.h"

namespace playback {

void StandbyPreload::prepare(std::size_t moment, const QUrl& url) {
    if (held_ && held_->moment == moment && held_->url == url)
        return;
    held_ = Held{moment, url};
    player_.prepareStandby(url);
}

void StandbyPreload::forget() {
    held_.reset();
    player_.clearStandby();
}

std::optional<bool> StandbyPreload::take(std::size_t moment, const QUrl& url) {
    if (!held_ || held_->moment != moment || held_->url != url || held_->failed ||
        player_.standbyPlayer()->source() != url)
        return std::nullopt;
    const bool ready = held_->ready;
    held_.reset();
    return ready;
}

void StandbyPreload::status(QMediaPlayer::MediaStatus status) {
    if (!held_ || player_.standbyPlayer()->source() != held_->url)
        return;
    if (status == QMediaPlayer::LoadedMedia)
        held_->ready = true;
    else if (status == QMediaPlayer::InvalidMedia)
        // Its moment then loads the usual way, which notes the failure.
        held_->failed = true;
}

void StandbyPreload::failed() {
    if (held_)
        held_->failed = true;
}

} // namespace playback
