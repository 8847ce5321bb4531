// Which camera each display sink shows: a camera's frames go to every display showing it, so
// switching the large camera reloads nothing.
#pragma once

#include <QObject>
#include <QString>

#include <map>

class QVideoFrame;
class QVideoSink;

namespace playback {

class FrameRouter : public QObject {
    Q_OBJECT

public:
    // `display` shows `camera` from now on, starting with `current`, the camera's last frame.
    void show(const QString& camera, QVideoSink* display, const QVideoFrame& current);
    void hide(QVideoSink* display);
    // `frame` of `camera` to its displays; `source`, where it came from, is left alone.
    void forward(const QString& camera, const QVideoFrame& frame, const QVideoSink* source);

private:
    std::map<QVideoSink*, QString> displays_;
};

} // namespace playback
