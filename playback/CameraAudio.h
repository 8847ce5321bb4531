// Only the large camera is heard.
#pragma once

#include "FollowerCamera.h"

class QAudioOutput;
class QMediaPlayer;

namespace playback {

// Every player keeps its output: a follower's is muted unless it is `large`; the window's own,
// the leader's, is silenced while a follower is large. The user's muting of the window's
// output holds for every camera.
void routeCameraAudio(Followers& followers, const QMediaPlayer* large, QAudioOutput* windowOutput);

} // namespace playback
