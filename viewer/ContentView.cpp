// The window's model; see ContentView.h.
#include "ContentView.h"

#include "DriveData.h"
#include "Settings.h"

ContentView::ContentView(QObject* parent)
    : QObject(parent), player_(new VideoPlayer(this)), load_(new LoadStatus(this)),
      telemetry_(new ClipTelemetry(this)), clock_(new PlaybackClock(*player_, this)),
      readout_(new TelemetryReadout(this)) {
    connect(Settings::instance(), &Settings::useMilesPerHourChanged, this,
            &ContentView::useMilesPerHourChanged);
    // An emptied table ends the browsing of recovered rows.
    connect(telemetry_, &ClipTelemetry::cleared, clock_, &PlaybackClock::stopBrowsingRows);
    // Untimed recovered rows count rows, not seconds: no events are found on them.
    connect(clock_, &PlaybackClock::playbackDurationChanged, this,
            &ContentView::refreshDriveDuration);
    connect(clock_, &PlaybackClock::recoveredRowsChanged, this, &ContentView::refreshDriveDuration);
    for (auto signal : {&PlaybackClock::playbackTimeChanged,
                        &PlaybackClock::playbackDurationChanged, &PlaybackClock::tripClockChanged})
        connect(clock_, signal, this, &ContentView::refreshReadout);
    for (auto signal : {&ClipTelemetry::csvHeadersChanged, &ClipTelemetry::csvRowsChanged})
        connect(telemetry_, signal, this, &ContentView::refreshReadout);
    connect(this, &ContentView::useMilesPerHourChanged, this, &ContentView::refreshReadout);
}

ContentView::~ContentView() = default;

bool ContentView::useMilesPerHour() const {
    return Settings::instance()->useMilesPerHour();
}
void ContentView::setUseMilesPerHour(bool value) {
    Settings::instance()->setUseMilesPerHour(value);
}

void ContentView::refreshReadout() {
    readout_->update({&telemetry_->table().table(), clock_->playbackTime(),
                      clock_->playbackDuration(), clock_->tripTime(), clock_->tripDuration(),
                      useMilesPerHour()});
}

void ContentView::refreshDriveDuration() {
    drive()->setClipDuration(clock_->playbackDuration(),
                             clock_->recoveredRows() == 0 || clock_->recoveredTimed());
}
