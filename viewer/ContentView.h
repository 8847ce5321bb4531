// The main window's model, in parts a view binds to: the player, the load's state, the shown
// telemetry, the clocks, the readout at the current instant and the drive. Each part has its
// own writers; this object only owns them and feeds the readout what it reads. The folder
// batch is the clip sources' (FolderBatch). All access is on the main thread.
#pragma once

#include "ClipTelemetry.h"
#include "LoadStatus.h"
#include "PlaybackClock.h"
#include "TelemetryReadout.h"
#include "VideoPlayer.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

class DriveData;

class ContentView : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application gives each window its ContentView")
    Q_PROPERTY(VideoPlayer* player READ player CONSTANT)
    Q_PROPERTY(LoadStatus* load READ load CONSTANT)
    Q_PROPERTY(ClipTelemetry* telemetry READ telemetry CONSTANT)
    Q_PROPERTY(PlaybackClock* clock READ clock CONSTANT)
    // The readout and the car's position at the current playback time, for the views.
    Q_PROPERTY(TelemetryReadout* readout READ readout CONSTANT)
    // The loaded drive's series and events, for the timeline, the events list and the map.
    Q_PROPERTY(DriveData* drive READ drive CONSTANT)
    // The stored setting "display.useMilesPerHour", shared through Settings::instance().
    Q_PROPERTY(bool useMilesPerHour READ useMilesPerHour WRITE setUseMilesPerHour NOTIFY
                   useMilesPerHourChanged)

public:
    explicit ContentView(QObject* parent = nullptr);
    ~ContentView() override;

    VideoPlayer* player() const { return player_; }
    LoadStatus* load() const { return load_; }
    ClipTelemetry* telemetry() const { return telemetry_; }
    PlaybackClock* clock() const { return clock_; }
    TelemetryReadout* readout() const { return readout_; }
    DriveData* drive() const { return telemetry_->drive(); }

    bool useMilesPerHour() const;
    void setUseMilesPerHour(bool value);

signals:
    void useMilesPerHourChanged();

private:
    void refreshReadout();
    void refreshDriveDuration();

    VideoPlayer* player_;
    LoadStatus* load_;
    ClipTelemetry* telemetry_;
    PlaybackClock* clock_;
    TelemetryReadout* readout_;
};
