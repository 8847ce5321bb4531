#include "TripDrive.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

namespace playback {

TripDrive
readTripDrive(const trips::Trip& trip,
              const std::vector<std::shared_ptr<const analysis::TelemetryTable>>& tables) {
    TripDrive drive;
    // Each moment's table, read once as it arrived, gives the route, the series and the events.
    std::vector<const analysis::TelemetryTable*> byMoment(tables.size());
    for (std::size_t i = 0; i < tables.size(); ++i) {
        if (!tables[i] || tables[i]->empty())
            continue;
        byMoment[i] = tables[i].get();
        for (const analysis::DriveRow& row : tables[i]->rows()) {
            const GeoCoordinate point{row.latitude, row.longitude};
            if (analysis::isFix(row.latitude, row.longitude) &&
                (drive.route.isEmpty() || !(drive.route.constLast() == point)))
                drive.route.append(point);
        }
        const trips::MomentClip* clip = trip.moments[i].telemetryClip();
        if (clip && clip->duration)
            analysis::appendSeries(drive.series,
                                   analysis::driveSeries(tables[i]->rows(), *clip->duration),
                                   trip.momentOffset(i));
    }
    drive.events = analysis::findTripEvents(trip, byMoment);
    return drive;
}

void readTripDriveInBackground(QObject* context, trips::Trip trip,
                               std::vector<std::shared_ptr<const analysis::TelemetryTable>> tables,
                               std::function<void(TripDrive)> done) {
    auto* watcher = new QFutureWatcher<TripDrive>(context);
    QObject::connect(watcher, &QFutureWatcherBase::finished, context,
                     [watcher, done = std::move(done)] {
                         watcher->deleteLater();
                         done(watcher->future().takeResult());
                     });
    watcher->setFuture(QtConcurrent::run([trip = std::move(trip), tables = std::move(tables)] {
        return readTripDrive(trip, tables);
    }));
}

} // namespace playback
