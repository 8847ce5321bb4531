// The whole trip as the map, timeline, events list and car show it, from each moment's CSV.
#pragma once

#include "DriveSeries.h"
#include "DrivingEvents.h"
#include "GeoCoordinate.h"
#include "Trips.h"

#include <QObject>

#include <functional>
#include <optional>
#include <string>
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
                        const std::vector<std::optional<std::string>>& csv);

// readTripDrive on the thread pool, as hundreds of moments' rows take a while to parse; `done`
// runs on `context`'s thread, never once `context` is gone.
void readTripDriveInBackground(QObject* context, trips::Trip trip,
                               std::vector<std::optional<std::string>> csv,
                               std::function<void(TripDrive)> done);

} // namespace playback
