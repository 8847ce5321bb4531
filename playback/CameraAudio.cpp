#include "CameraAudio.h"

#include <QAudioOutput>

namespace playback {
namespace {
constexpr float kFullVolume = 1.0f;
constexpr float kSilent = 0.0f;
} // namespace

void routeCameraAudio(Followers& followers, const QMediaPlayer* large, QAudioOutput* windowOutput) {
    const bool muted = windowOutput && windowOutput->isMuted();
    for (auto& [camera, follower] : followers)
        follower->audio().setMuted(&follower->player() != large || muted);
    if (windowOutput)
        windowOutput->setVolume(large ? kSilent : kFullVolume);
}

} // namespace playback
