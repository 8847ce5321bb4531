// The cameras of a trip's moment, found from one of its clips: what the trip grouping already
// knows, so nothing lists the folder again.
#pragma once

#include "Trips.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <cstddef>
#include <map>
#include <optional>

namespace playback {

struct MomentCameras {
    // The moment's place in its trip; none for a clip outside the trip.
    std::optional<std::size_t> index;
    // The camera of the clip it was found from.
    QString camera;
    // Every camera's clip of the moment.
    std::map<QString, QUrl> clips;
};

MomentCameras findMoment(const trips::Trip& trip, const QUrl& clip);

// The named cameras of the trip, in byte order.
QStringList tripCameras(const trips::Trip& trip);

} // namespace playback
