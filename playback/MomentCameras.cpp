#include "MomentCameras.h"

#include "TripList.h"

namespace playback {

MomentCameras findMoment(const trips::Trip& trip, const QUrl& clip) {
    if (!clip.isLocalFile())
        return {};
    for (std::size_t index = 0; index < trip.moments.size(); ++index) {
        const trips::Moment& moment = trip.moments[index];
        MomentCameras found{index, {}, {}};
        bool contains = false;
        for (const trips::MomentClip& momentClip : moment.clips) {
            const QUrl url = QUrl::fromLocalFile(TripList::clipPath(moment, momentClip));
            const QString camera = QString::fromStdString(momentClip.camera);
            if (url == clip) {
                contains = true;
                found.camera = camera;
            }
            if (!camera.isEmpty())
                found.clips[camera] = url;
        }
        if (contains)
            return found;
    }
    return {};
}

QStringList tripCameras(const trips::Trip& trip) {
    QStringList cameras;
    for (const std::string& camera : trip.cameras())
        if (!camera.empty())
            cameras.append(QString::fromStdString(camera));
    return cameras;
}

} // namespace playback
