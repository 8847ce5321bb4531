// What the clip sources need of the trip being played: starting one, what it shows now, its
// telemetry for the exports, and its end, which advances the batch. Playing it is playback/'s
// (TripPlayback); the sources only hold it, so dependencies keep pointing one way.
#pragma once

#include "Trips.h"

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

#include <cstddef>
#include <string>

class PlayingTrip : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("A PlayingTrip is a window's trip player")

public:
    using QObject::QObject;

    // Plays `trip` from `startSeconds` of its clock; playback starts only with `autoPlay`.
    virtual void start(trips::Trip trip, double startSeconds, bool autoPlay) = 0;
    virtual bool active() const = 0;
    virtual const trips::Trip& trip() const = 0;
    virtual int momentIndex() const = 0;
    // The file of the shown moment whose telemetry the window shows; empty without one.
    virtual QString telemetryClipPath() const = 0;
    // Every moment's telemetry is read, so the trip's CSV can be written.
    virtual bool canExport() const = 0;
    // The trip's joined CSV: the command line's --join-trips text.
    virtual std::string joinedCsv() const = 0;

signals:
    void activeChanged();
    void tripChanged();
    void momentChanged();
    void telemetryChanged();
    // The clock reached the trip's end while playing.
    void finished();
};
