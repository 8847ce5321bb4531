// The whole trip as the map, timeline, events list and car show it, from each moment's table.
#pragma once

#include "DriveSeries.h"
#include "DrivingEvents.h"
#include "GeoCoordinate.h"
#include "TelemetryTable.h"
#include "Trips.h"

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

namespace playback {

struct TripDrive {
    GeoCoordinateList route;
    analysis::DriveSeries series;
    std::vector<analysis::DrivingEvent> events;
};

// Each moment's rows on its own duration, shifted to trip time, so no event run crosses into
// the next moment.
TripDrive readTripDrive(const trips::Trip& trip,
                        const std::vector<std::shared_ptr<const analysis::TelemetryTable>>& tables);

// readTripDrive on the thread pool, as hundreds of moments take a while to go through; `done`
// runs on `context`'s thread, never once `context` is gone.
void readTripDriveInBackground(QObject* context, trips::Trip trip,
                               std::vector<std::shared_ptr<const analysis::TelemetryTable>> tables,
                               std::function<void(TripDrive)> done);

} // namespace playback
