// Grouping off the GUI thread, and what the trip list reads of the folder scan.
#include "TripList.h"

#include "FileServices.h"
#include "LocalizedString.h"
#include "MovieDuration.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include <cmath>

namespace {

constexpr const char* kDateFormat = "yyyy-MM-dd";
constexpr const char* kClockFormat = "HH:mm:ss";
constexpr const char* kTripTitle = "%@ %@ – %@";
constexpr const char* kTripDetail = "%@ • %@ • %@";
constexpr const char* kTelemetryFound = QT_TRANSLATE_NOOP("Veldrin", "telemetry");
constexpr const char* kNoTelemetryFound = QT_TRANSLATE_NOOP("Veldrin", "no telemetry");
constexpr const char* kTripScanProgress = QT_TRANSLATE_NOOP("Veldrin", " • scan %1/%2");
constexpr const char* kUnknownLength = "?";
constexpr int kSecondsPerMinute = 60;
constexpr int kSecondsPerHour = 3600;

QString clockText(std::int64_t seconds, const char* format) {
    return QDateTime::fromSecsSinceEpoch(seconds).toString(QString::fromLatin1(format));
}

QString lengthText(std::optional<double> seconds) {
    if (!seconds)
        return QString::fromLatin1(kUnknownLength);
    const int total = int(std::lround(*seconds));
    const QString minutes = QStringLiteral("%1:%2")
                                .arg(total % kSecondsPerHour / kSecondsPerMinute)
                                .arg(total % kSecondsPerMinute, 2, 10, QLatin1Char('0'));
    if (total < kSecondsPerHour)
        return minutes;
    return QStringLiteral("%1:%2")
        .arg(total / kSecondsPerHour)
        .arg(minutes.rightJustified(5, u'0'));
}

TripList::Grouping groupClips(const QStringList& paths) {
    std::vector<trips::ClipFacts> facts;
    facts.reserve(paths.size());
    for (const QString& path : paths) {
        const QFileInfo info(path);
        trips::ClipFacts clip;
        clip.folder = info.absolutePath().toStdString();
        clip.fileName = info.fileName().toStdString();
        clip.duration = MetadataExtractor::movieDuration(path.toStdString());
        facts.push_back(std::move(clip));
    }
    TripList::Grouping grouping{trips::groupTrips(std::move(facts)), {}};
    for (const trips::Trip& trip : grouping.trips) {
        std::vector<TripList::MomentText>& moments = grouping.moments.emplace_back();
        for (const trips::Moment& moment : trip.moments) {
            TripList::MomentText& text = moments.emplace_back();
            text.title = trip.oddName ? QString::fromStdString(moment.startText)
                                      : clockText(moment.startSeconds, kClockFormat);
            for (const trips::MomentClip& clip : moment.clips) {
                text.paths.append(TripList::clipPath(moment, clip));
                text.cameras.append(QString::fromStdString(clip.camera));
            }
        }
    }
    return grouping;
}

} // namespace

TripList::TripList(const FolderBatch& batch, QObject* parent) : QObject(parent), batch_(batch) {}

void TripList::setClips(const QList<QUrl>& clips) {
    const int generation = ++*generation_;
    const bool hadTrips = !trips_.empty();
    trips_.clear();
    texts_.clear();
    grouping_ = !clips.isEmpty();
    if (hadTrips || !grouping_)
        emit tripsChanged();
    if (!grouping_)
        return;
    QStringList paths;
    for (const QUrl& clip : clips)
        paths.append(fileservices::fullPath(clip));
    auto* watcher = new QFutureWatcher<Grouping>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, generation] {
        watcher->deleteLater();
        if (generation != *generation_)
            return;
        Grouping grouping = watcher->future().takeResult();
        trips_ = std::move(grouping.trips);
        texts_ = std::move(grouping.moments);
        grouping_ = false;
        emit tripsChanged();
    });
    watcher->setFuture(QtConcurrent::run(groupClips, paths));
}

bool TripList::hasTrips() const {
    for (const trips::Trip& trip : trips_) {
        if (trip.moments.size() > 1 || trip.moments.front().clips.size() > 1)
            return true;
    }
    return false;
}

QString TripList::clipPath(const trips::Moment& moment, const trips::MomentClip& clip) {
    return QDir(QString::fromStdString(moment.folder))
        .filePath(QString::fromStdString(clip.fileName));
}

QList<TripListModel::Row> TripList::rows(bool onlyWithTelemetry, int currentTrip,
                                         int current) const {
    // Run after every scanned clip: each clip's status is looked up once, and the texts come
    // from the grouping.
    QList<TripListModel::Row> rows;
    for (int t = 0; t < int(trips_.size()); ++t) {
        const trips::Trip& trip = trips_[t];
        QList<TripListModel::Row> moments;
        int scanned = 0;
        int withTelemetry = 0;
        int clips = 0;
        for (int m = 0; m < int(trip.moments.size()); ++m) {
            const trips::Moment& moment = trip.moments[m];
            const MomentText& text = texts_[t][m];
            QVariantList chips;
            bool momentTelemetry = false;
            for (std::size_t c = 0; c < moment.clips.size(); ++c) {
                const ClipMetadataStatus status = batch_.statusFor(text.paths[qsizetype(c)]);
                scanned += status != ClipMetadataStatus::unknown;
                momentTelemetry |= status == ClipMetadataStatus::withMetadata;
                withTelemetry += status == ClipMetadataStatus::withMetadata;
                chips.append(
                    QVariantMap{{QStringLiteral("camera"), text.cameras[qsizetype(c)]},
                                {QStringLiteral("status"), FolderBatch::statusName(status)}});
            }
            clips += int(moment.clips.size());
            if (onlyWithTelemetry && !momentTelemetry)
                continue;
            TripListModel::Row row;
            row.key = QStringLiteral("moment/%1/%2").arg(t).arg(m);
            row.tripIndex = t;
            row.momentIndex = m;
            row.title = text.title;
            row.chips = std::move(chips);
            row.isCurrent = t == currentTrip && m == current;
            moments.append(std::move(row));
        }
        if (moments.isEmpty())
            continue;
        TripListModel::Row header;
        header.key = QStringLiteral("trip/%1").arg(t);
        header.isTrip = true;
        header.tripIndex = t;
        const std::optional<double> seconds = trip.seconds();
        const std::int64_t start = trip.moments.front().startSeconds;
        header.title =
            trip.oddName
                ? QString::fromStdString(trip.startText)
                : localizedString(
                      kTripTitle, clockText(start, kDateFormat), clockText(start, kClockFormat),
                      seconds ? clockText(start + std::int64_t(std::lround(*seconds)), kClockFormat)
                              : QString::fromLatin1(kUnknownLength));
        QStringList cameras;
        for (const std::string& camera : trip.cameras())
            cameras.append(QString::fromStdString(camera));
        header.detail =
            localizedString(
                kTripDetail, lengthText(seconds), cameras.join(QStringLiteral(", ")),
                localizedString(withTelemetry > 0 ? kTelemetryFound : kNoTelemetryFound)) +
            (scanned < clips ? localizedString(kTripScanProgress, scanned, clips) : QString());
        header.isCurrent = t == currentTrip;
        rows.append(std::move(header));
        rows.append(std::move(moments));
    }
    return rows;
}
