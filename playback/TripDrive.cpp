#include "TripDrive.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

namespace playback {

TripDrive readTripDrive(const trips::Trip& trip,
                        const std::vector<std::optional<std::string>>& csv) {
    TripDrive drive;
    // Each moment's text is read once; the route, the series and the events share its rows.
    std::vector<std::vector<analysis::DriveRow>> rows(csv.size());
    for (std::size_t i = 0; i < csv.size(); ++i) {
        if (!csv[i] || csv[i]->empty())
            continue;
        rows[i] = analysis::readDriveRows(*csv[i]);
        for (const analysis::DriveRow& row : rows[i]) {
            const GeoCoordinate point{row.latitude, row.longitude};
            if (analysis::isFix(row.latitude, row.longitude) &&
                (drive.route.isEmpty() || !(drive.route.constLast() == point)))
                drive.route.append(point);
        }
        const trips::MomentClip* clip = trip.moments[i].telemetryClip();
        if (clip && clip->duration)
            analysis::appendSeries(drive.series, analysis::driveSeries(rows[i], *clip->duration),
                                   trip.momentOffset(i));
    }
    drive.events = analysis::findTripEvents(trip, rows);
    return drive;
}

void readTripDriveInBackground(QObject* context, trips::Trip trip,
                               std::vector<std::optional<std::string>> csv,
                               std::function<void(TripDrive)> done) {
    auto* watcher = new QFutureWatcher<TripDrive>(context);
    QObject::connect(watcher, &QFutureWatcherBase::finished, context,
                     [watcher, done = std::move(done)] {
                         watcher->deleteLater();
                         done(watcher->future().takeResult());
                     });
    watcher->setFuture(QtConcurrent::run(
        [trip = std::move(trip), csv = std::move(csv)] { return readTripDrive(trip, csv); }));
}

} // namespace playback
