// The time of the picture on screen, in seconds: the start time of each frame the video sink
// receives, or the player's position where a frame carries none and while paused (a seek
// shows its frame at once, so nothing is carried across it). It changes once per presented
// frame, so what follows it moves at the video's rate without drawing the window more often.
#pragma once

#include <QMediaPlayer>
#include <QObject>
#include <QPointer>
#include <QVideoSink>
#include <QtQml/qqmlregistration.h>

class FrameClock : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QMediaPlayer* player READ player WRITE setPlayer NOTIFY playerChanged)
    Q_PROPERTY(QVideoSink* videoSink READ videoSink WRITE setVideoSink NOTIFY videoSinkChanged)
    Q_PROPERTY(double time READ time NOTIFY timeChanged)

public:
    using QObject::QObject;

    QMediaPlayer* player() const { return player_; }
    void setPlayer(QMediaPlayer* player);
    QVideoSink* videoSink() const { return sink_; }
    void setVideoSink(QVideoSink* sink);
    double time() const { return time_; }

signals:
    void playerChanged();
    void videoSinkChanged();
    void timeChanged();

private:
    void setTime(double seconds);
    void frameArrived(const QVideoFrame& frame);
    void positionChanged();

    QPointer<QMediaPlayer> player_;
    QPointer<QVideoSink> sink_;
    double time_ = 0.0;
};
