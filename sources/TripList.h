// A batch folder's clips grouped into trips. Movie headers are read and the clips grouped on
// the thread pool, so the headers of hundreds of clips never stall the window; the trip list
// then follows the folder scan's statuses as they come in. Only the newest grouping is kept.
#pragma once

#include "FolderBatch.h"
#include "TripListModel.h"
#include "Trips.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <memory>
#include <vector>

class TripList : public QObject {
    Q_OBJECT

public:
    explicit TripList(const FolderBatch& batch, QObject* parent = nullptr);

    // Starts grouping `clips` (the batch, in folder order); an empty list clears the trips.
    void setClips(const QList<QUrl>& clips);

    // Grouped trips, empty until the grouping of the newest batch has returned.
    const std::vector<trips::Trip>& trips() const { return trips_; }
    bool isGrouping() const { return grouping_; }
    // The folder holds a moment of several clips or moments that follow one another, so its
    // clips are worth showing as trips.
    bool hasTrips() const;

    static QString clipPath(const trips::Moment& moment, const trips::MomentClip& clip);

    // What the rows show of a moment that never changes, made once on the thread pool: its
    // clock time, and each clip's path and camera.
    struct MomentText {
        QString title;
        QStringList paths;
        QStringList cameras;
    };
    struct Grouping {
        std::vector<trips::Trip> trips;
        std::vector<std::vector<MomentText>> moments; // by trip, then moment
    };

    // The list's rows: each trip's header, then its moments (only those with telemetry when
    // `onlyWithTelemetry`); the moment `current` of trip `currentTrip` is marked.
    QList<TripListModel::Row> rows(bool onlyWithTelemetry, int currentTrip, int current) const;

signals:
    void tripsChanged();

private:
    const FolderBatch& batch_;
    std::vector<trips::Trip> trips_;
    std::vector<std::vector<MomentText>> texts_;
    std::shared_ptr<int> generation_ = std::make_shared<int>(0);
    bool grouping_ = false;
};
