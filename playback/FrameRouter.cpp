#include "FrameRouter.h"

#include <QVideoFrame>
#include <QVideoSink>

namespace playback {

void FrameRouter::show(const QString& camera, QVideoSink* display, const QVideoFrame& current) {
    if (displays_.count(display) == 0)
        connect(display, &QObject::destroyed, this, [this, display] { displays_.erase(display); });
    displays_[display] = camera;
    display->setVideoFrame(current);
}

void FrameRouter::hide(QVideoSink* display) {
    if (displays_.erase(display) > 0)
        disconnect(display, &QObject::destroyed, this, nullptr);
}

void FrameRouter::forward(const QString& camera, const QVideoFrame& frame,
                          const QVideoSink* source) {
    for (const auto& [display, shown] : displays_)
        if (shown == camera && display != source)
            display->setVideoFrame(frame);
}

} // namespace playback
