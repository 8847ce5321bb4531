// The trip clock, moment switching, the leader's failures and the trip's telemetry.
#include "TripPlayback.h"

#include "DriveData.h"
#include "DriveSeries.h"
#include "DrivingEvents.h"
#include "LocalizedString.h"
#include "MetadataOutcome.h"
#include "TripList.h"

#include <QDateTime>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>

namespace {

// The clock's refresh while a trip is on; also how late a moment's end may be noticed.
constexpr int kTickIntervalMs = 40;
// A moment is left this close to its cut, so the next one starts before the old clip ends.
constexpr double kSwitchAheadSeconds = 0.045;
// The next moment is loaded this long after the shown one is ready, so that the two loads
// never compete for the processor.
constexpr qint64 kPrepareAfterMs = 250;
// A clip ending further than this before its movie header's length was cut short.
constexpr double kEarlyEndSeconds = 0.5;
constexpr double kMillisecondsPerSecond = 1000.0;
// How far a seek may land from where it was asked to.
constexpr double kSeekToleranceSeconds = 0.1;
// A leader that neither loads nor moves for this long while it should play is stuck.
constexpr qint64 kStallMs = 3000;
constexpr const char* kClockFormat = "HH:mm:ss";
constexpr const char* kLeaderUnreadableNote =
    QT_TRANSLATE_NOOP("Veldrin", "Camera %1 stopped: its file could not be read");
constexpr const char* kLeaderCutShortNote =
    QT_TRANSLATE_NOOP("Veldrin", "Camera %1 stopped: its file ends early");
constexpr const char* kTripTitle = QT_TRANSLATE_N_NOOP("Veldrin", "Trip %1 (%n moments)");

} // namespace

TripPlayback::TripPlayback(ContentView& view, const FolderBatch& batch, QObject* parent)
    : QObject(parent), view_(view), batch_(batch), player_(view.player()) {
    settledClock_.start();
    ticker_.setInterval(kTickIntervalMs);
    ticker_.setTimerType(Qt::PreciseTimer);
    connect(&ticker_, &QTimer::timeout, this, &TripPlayback::tick);
    // The two players trade places at each switch; only the shown one speaks for the trip.
    for (QMediaPlayer* media : {player_->mediaPlayer(), player_->standbyPlayer()}) {
        const auto shown = [this, media] { return media == player_->mediaPlayer(); };
        connect(media, &QMediaPlayer::mediaStatusChanged, this,
                [this, shown](QMediaPlayer::MediaStatus s) {
                    shown() ? onMediaStatus(s) : onStandbyStatus(s);
                });
        connect(media, &QMediaPlayer::errorOccurred, this, [this, shown] {
            if (shown())
                onPlayerError();
            else if (standby_)
                standby_->failed = true;
        });
        connect(media, &QMediaPlayer::playbackRateChanged, this, [this, shown] {
            if (shown())
                emit rateChanged();
        });
        connect(media, &QMediaPlayer::playbackStateChanged, this,
                [this, shown](QMediaPlayer::PlaybackState s) {
                    // Play and pause pressed on the player itself act on the trip.
                    if (!active_ || driving_ || phase_ != Phase::playing || !shown())
                        return;
                    if (s == QMediaPlayer::PlayingState)
                        setWantPlay(true);
                    else if (s == QMediaPlayer::PausedState)
                        setWantPlay(false);
                });
    }
    connect(player_, &VideoPlayer::mediaPlayerChanged, this, &TripPlayback::standbyPlayerChanged);
    // Any other load takes the player over.
    connect(view_.load(), &LoadStatus::fileLoadIDChanged, this, [this] {
        if (active_ && view_.load()->fileLoadID() != loadId_)
            stop();
    });
}

TripPlayback::~TripPlayback() = default;

template <typename F> void TripPlayback::drive(F&& f) {
    driving_ = true;
    f();
    driving_ = false;
}

void TripPlayback::start(trips::Trip trip, double startSeconds, bool autoPlay) {
    trip_ = std::move(trip);
    timeline_ = trips::TripTimeline(trip_);
    loadId_ = view_.load()->renewFileLoadID();
    forgetStandby();
    active_ = true;
    telemetry_.assign(trip_.moments.size(), nullptr);
    csvPath_.assign(trip_.moments.size(), QString());
    extracting_ = 0;
    candidate_ = 0;
    const QStringList names = cameras();
    if (!names.contains(selectedCamera_))
        selectedCamera_ = names.contains(QString::fromUtf8(trips::kPreferredTelemetryCamera.data(),
                                                           trips::kPreferredTelemetryCamera.size()))
                              ? QString::fromUtf8(trips::kPreferredTelemetryCamera.data(),
                                                  trips::kPreferredTelemetryCamera.size())
                              : names.value(0);
    setNote(QString());
    view_.load()->setSelectedFolderClipPath(QString());
    view_.load()->setIsExtracting(false);
    view_.telemetry()->clear();
    view_.load()->setSelectedFileName(title());
    view_.load()->setStatus(title());
    wantPlay_ = autoPlay;
    item_ = VideoPlayer::kNoItem;
    time_ = -1;
    emit activeChanged();
    emit tripChanged();
    emit selectedCameraChanged();
    emit playingChanged();
    seek(startSeconds);
    ticker_.start();
    if (!extractionRunning_)
        extractNext();
}

void TripPlayback::stop() {
    if (!active_)
        return;
    active_ = false;
    ticker_.stop();
    forgetStandby();
    phase_ = Phase::ended;
    view_.clock()->setTripClock(0, 0);
    emit activeChanged();
    emit inGapChanged();
}

double TripPlayback::duration() const {
    return timeline_.duration();
}

QVariantList TripPlayback::boundaries() const {
    QVariantList list;
    for (const double start : timeline_.boundaries())
        list.append(start);
    return list;
}

QVariantList TripPlayback::gaps() const {
    QVariantList list;
    for (const trips::TripGap& gap : timeline_.gaps())
        list.append(
            QVariantMap{{QStringLiteral("from"), gap.from}, {QStringLiteral("to"), gap.to}});
    return list;
}

QStringList TripPlayback::cameras() const {
    QStringList names;
    for (const std::string& camera : trip_.cameras())
        names.append(QString::fromStdString(camera));
    return names;
}

QString TripPlayback::title() const {
    return trip_.moments.empty() ? QString()
                                 : localizedCount(kTripTitle, int(trip_.moments.size()),
                                                  QString::fromStdString(trip_.startText));
}

QString TripPlayback::clockText() const {
    if (trip_.moments.empty() || trip_.oddName)
        return QString();
    const qint64 start = trip_.moments.front().startSeconds;
    return QDateTime::fromSecsSinceEpoch(start + qint64(std::floor(std::max(0.0, time_))))
        .toString(QString::fromLatin1(kClockFormat));
}

double TripPlayback::leaderPosition() const {
    if (!active_)
        return 0.0;
    return std::clamp(time_ - trip_.momentOffset(moment_), 0.0, timeline_.playLength(moment_));
}

const trips::MomentClip* TripPlayback::leaderClip(std::size_t index) const {
    const trips::Moment& moment = trip_.moments[index];
    for (const trips::MomentClip& clip : moment.clips) {
        if (QString::fromStdString(clip.camera) == selectedCamera_)
            return &clip;
    }
    // A moment without the chosen camera still plays, through another one.
    if (const trips::MomentClip* clip = moment.telemetryClip())
        return clip;
    return &moment.clips.front();
}

QVariantMap TripPlayback::currentClips() const {
    QVariantMap clips;
    if (trip_.moments.empty())
        return clips;
    const trips::Moment& moment = trip_.moments[moment_];
    for (const trips::MomentClip& clip : moment.clips)
        clips.insert(QString::fromStdString(clip.camera),
                     QUrl::fromLocalFile(TripList::clipPath(moment, clip)));
    return clips;
}

QString TripPlayback::telemetryClipPath() const {
    return momentHasTelemetry() ? csvPath_[moment_] : QString();
}

bool TripPlayback::momentHasTelemetry() const {
    return !trip_.moments.empty() && telemetry_[moment_] && !telemetry_[moment_]->empty();
}

void TripPlayback::setSelectedCamera(const QString& camera) {
    if (camera == selectedCamera_)
        return;
    selectedCamera_ = camera;
    emit selectedCameraChanged();
    if (active_ && phase_ != Phase::ended)
        loadMoment(moment_, std::max(0.0, time_ - trip_.momentOffset(moment_)));
}

double TripPlayback::rate() const {
    return player_->mediaPlayer()->playbackRate();
}

bool TripPlayback::canExport() const {
    return active_ && std::all_of(telemetry_.begin(), telemetry_.end(),
                                  [](const auto& table) { return table != nullptr; });
}

std::string TripPlayback::joinedCsv() const {
    std::string text = trips::joinedCsvHeader();
    for (std::size_t i = 0; i < trip_.moments.size(); ++i) {
        if (telemetry_[i] && !telemetry_[i]->empty())
            trips::appendJoinedRows(text, trip_, i, telemetry_[i]->text());
    }
    return text;
}

void TripPlayback::setWantPlay(bool play) {
    if (wantPlay_ == play)
        return;
    wantPlay_ = play;
    emit playingChanged();
}

void TripPlayback::setPhase(Phase phase) {
    const bool wasGap = phase_ == Phase::gap;
    if (phase_ == Phase::loading && phase != Phase::loading)
        settledClock_.restart();
    phase_ = phase;
    if (wasGap != (phase == Phase::gap))
        emit inGapChanged();
}

void TripPlayback::setNote(const QString& note) {
    if (note_ == note)
        return;
    note_ = note;
    emit noteChanged();
}

void TripPlayback::seek(double tripSeconds) {
    if (!active_ || trip_.moments.empty())
        return;
    const trips::TripPlace place = timeline_.locate(tripSeconds);
    time_ = place.time;
    setNote(QString());
    loadMoment(place.moment, place.within);
    emit timeChanged();
}

void TripPlayback::loadMoment(std::size_t index, double within) {
    const bool momentChange = index != moment_ || item_ == VideoPlayer::kNoItem;
    moment_ = index;
    const trips::Moment& moment = trip_.moments[index];
    const QUrl url = QUrl::fromLocalFile(TripList::clipPath(moment, *leaderClip(index)));
    leaderUrl_ = url;
    const double length = timeline_.playLength(index);
    pendingSeek_ = std::min(within, std::max(0.0, length - kSwitchAheadSeconds));
    if (momentChange)
        emit momentChanged();
    const bool prepared = momentChange && standby_ && standby_->moment == index &&
                          standby_->url == url && !standby_->failed &&
                          player_->standbyPlayer()->source() == url;
    if (prepared) {
        // Already loaded behind the picture: shown at once, in place of a load.
        const bool ready = standby_->ready;
        standby_.reset();
        drive([&] {
            item_ = player_->swapInStandby();
            if (ready && pendingSeek_ > 0)
                player_->mediaPlayer()->setPosition(qint64(pendingSeek_ * kMillisecondsPerSecond));
        });
        seekPending_ = pendingSeek_ > 0;
        stallClock_.restart();
        settledClock_.restart();
        setPhase(ready ? Phase::playing : Phase::loading);
    } else if (momentChange || player_->currentSource() != url || note_.size()) {
        setPhase(Phase::loading);
        seekPending_ = pendingSeek_ > 0;
        stallClock_.restart();
        drive([&] { item_ = player_->replaceCurrentItem(url); });
    } else {
        drive([&] {
            player_->mediaPlayer()->setPosition(qint64(pendingSeek_ * kMillisecondsPerSecond));
        });
        setPhase(Phase::playing);
    }
    if (within >= length) {
        enterGap(trip_.momentOffset(index) + within);
    } else if (phase_ == Phase::playing) {
        drive([&] { wantPlay_ ? player_->play() : player_->pause(); });
    }
    if (momentChange)
        showMomentTelemetry();
}

void TripPlayback::enterGap(double from) {
    drive([&] { player_->pause(); });
    gapFrom_ = from;
    gapClock_.restart();
    setPhase(Phase::gap);
}

void TripPlayback::onMediaStatus(QMediaPlayer::MediaStatus status) {
    // The player may report on a new source before replaceCurrentItem has returned.
    if (!active_ || player_->currentSource() != leaderUrl_)
        return;
    if (status == QMediaPlayer::LoadedMedia && phase_ != Phase::playing) {
        drive([&] {
            player_->mediaPlayer()->setPosition(qint64(pendingSeek_ * kMillisecondsPerSecond));
            if (phase_ == Phase::loading && wantPlay_)
                player_->play();
        });
        if (phase_ == Phase::loading)
            setPhase(Phase::playing);
    } else if (status == QMediaPlayer::EndOfMedia && phase_ == Phase::playing) {
        const double position = player_->currentTime();
        if (std::isfinite(position) &&
            position < timeline_.playLength(moment_) - kEarlyEndSeconds) {
            setNote(localizedString(kLeaderCutShortNote, selectedCamera_));
            enterGap(trip_.momentOffset(moment_) + position);
        } else {
            endMoment();
        }
    } else if (status == QMediaPlayer::InvalidMedia) {
        onPlayerError();
    }
}

void TripPlayback::onStandbyStatus(QMediaPlayer::MediaStatus status) {
    if (!standby_ || player_->standbyPlayer()->source() != standby_->url)
        return;
    if (status == QMediaPlayer::LoadedMedia)
        standby_->ready = true;
    else if (status == QMediaPlayer::InvalidMedia)
        // Its moment then loads the usual way, which notes the failure.
        standby_->failed = true;
}

void TripPlayback::prepareNext() {
    const std::size_t next = moment_ + 1;
    if (phase_ == Phase::loading || seekPending_ || next >= trip_.moments.size() ||
        !settledClock_.hasExpired(kPrepareAfterMs))
        return;
    const QUrl url =
        QUrl::fromLocalFile(TripList::clipPath(trip_.moments[next], *leaderClip(next)));
    if (standby_ && standby_->moment == next && standby_->url == url)
        return;
    standby_ = Standby{next, url};
    drive([&] { player_->prepareStandby(url); });
}

void TripPlayback::forgetStandby() {
    standby_.reset();
    player_->clearStandby();
}

void TripPlayback::onPlayerError() {
    if (!active_ || player_->currentSource() != leaderUrl_ || phase_ == Phase::ended)
        return;
    // The rest of the moment runs as a gap, so the trip goes on with the next one.
    setNote(localizedString(kLeaderUnreadableNote, selectedCamera_));
    if (phase_ != Phase::gap)
        enterGap(std::max(time_, trip_.momentOffset(moment_)));
}

void TripPlayback::endMoment() {
    const double end = timeline_.momentEnd(moment_);
    if (moment_ + 1 >= trip_.moments.size()) {
        drive([&] { player_->pause(); });
        setPhase(Phase::ended);
        time_ = duration();
        emit timeChanged();
        view_.clock()->setTripClock(time_, duration());
        setWantPlay(false);
        emit finished();
        return;
    }
    if (end + kSwitchAheadSeconds < timeline_.nextStart(moment_)) {
        enterGap(end);
        return;
    }
    setNote(QString());
    loadMoment(moment_ + 1, 0.0);
}

void TripPlayback::tick() {
    if (!active_ || trip_.moments.empty())
        return;
    const double offset = trip_.momentOffset(moment_);
    double t = time_;
    switch (phase_) {
    case Phase::loading:
        t = offset + pendingSeek_;
        if (stallClock_.hasExpired(kStallMs)) {
            onPlayerError();
            return;
        }
        break;
    case Phase::playing: {
        const double position = player_->currentTime();
        if (seekPending_ && !(std::abs(position - pendingSeek_) < kSeekToleranceSeconds)) {
            // A seek made while the pipeline was still settling can be lost; it is made again.
            drive([&] {
                player_->mediaPlayer()->setPosition(qint64(pendingSeek_ * kMillisecondsPerSecond));
            });
            break;
        }
        seekPending_ = false;
        if (!wantPlay_ || position != stallPosition_) {
            stallPosition_ = position;
            stallClock_.restart();
        } else if (stallClock_.hasExpired(kStallMs)) {
            onPlayerError();
            return;
        }
        if (std::isfinite(position) && wantPlay_)
            t = std::max(time_, offset + position);
        else if (std::isfinite(position))
            t = offset + position;
        if (wantPlay_ && t >= offset + timeline_.playLength(moment_) - kSwitchAheadSeconds) {
            endMoment();
            return;
        }
        break;
    }
    case Phase::gap: {
        if (wantPlay_) {
            t = gapFrom_ + gapClock_.elapsed() / kMillisecondsPerSecond * rate();
        } else {
            gapFrom_ = t;
            gapClock_.restart();
        }
        const bool last = moment_ + 1 >= trip_.moments.size();
        const double next = timeline_.nextStart(moment_);
        if (wantPlay_ && t >= next) {
            if (last) {
                endMoment();
                return;
            }
            setNote(QString());
            loadMoment(moment_ + 1, t - next);
            t = next;
        }
        break;
    }
    case Phase::ended:
        break;
    }
    if (t != time_) {
        time_ = t;
        emit timeChanged();
    }
    view_.clock()->setTripClock(time_, duration());
    prepareNext();
}

void TripPlayback::play() {
    if (!active_)
        return;
    if (phase_ == Phase::ended)
        seek(0);
    setWantPlay(true);
    if (phase_ == Phase::playing)
        drive([&] { player_->play(); });
    gapFrom_ = time_;
    gapClock_.restart();
}

void TripPlayback::pause() {
    setWantPlay(false);
    if (active_)
        drive([&] { player_->pause(); });
}

void TripPlayback::togglePlayback() {
    wantPlay_ ? pause() : play();
}

void TripPlayback::showMomentTelemetry() {
    view_.telemetry()->showMoment(telemetry_[moment_]);
    emit telemetryChanged();
}

void TripPlayback::extractNext() {
    // Moments in order; in each, "front" first, then the other cameras in name order.
    while (extracting_ < trip_.moments.size()) {
        trips::Moment& moment = trip_.moments[extracting_];
        std::vector<std::size_t> order(moment.clips.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::stable_partition(order.begin(), order.end(), [&](std::size_t i) {
            return moment.clips[i].camera == trips::kPreferredTelemetryCamera;
        });
        if (candidate_ < order.size()) {
            const trips::MomentClip& clip = moment.clips[order[candidate_]];
            const QString path = TripList::clipPath(moment, clip);
            const ClipMetadataStatus known = batch_.statusFor(path);
            if (known == ClipMetadataStatus::noMetadata || known == ClipMetadataStatus::error) {
                ++candidate_;
                continue;
            }
            extractionRunning_ = true;
            const QUuid load = loadId_;
            const std::size_t momentIndex = extracting_;
            const std::size_t clipIndex = order[candidate_];
            extractInBackground(
                this, path,
                [this, load, momentIndex, clipIndex](const MetadataExtractor::Output& output) {
                    extractionRunning_ = false;
                    if (load != loadId_ || !active_) {
                        if (active_)
                            extractNext();
                        return;
                    }
                    auto table = std::make_shared<analysis::TelemetryTable>();
                    if (output.isSuccess() &&
                        table->parse(output.text()) == analysis::TelemetryTable::Outcome::table) {
                        trips::Moment& found = trip_.moments[momentIndex];
                        found.clips[clipIndex].rows = table->rowCount();
                        telemetry_[momentIndex] = std::move(table);
                        csvPath_[momentIndex] = TripList::clipPath(found, found.clips[clipIndex]);
                        ++extracting_;
                        candidate_ = 0;
                        if (momentIndex == moment_)
                            showMomentTelemetry();
                    } else {
                        ++candidate_;
                    }
                    extractNext();
                });
            return;
        }
        telemetry_[extracting_] = std::make_shared<const analysis::TelemetryTable>();
        ++extracting_;
        candidate_ = 0;
    }
    buildDrive();
    emit telemetryChanged();
}

namespace {

// The whole trip as the map, timeline, events list and car show it.
struct TripDrive {
    GeoCoordinateList route;
    analysis::DriveSeries series;
    std::vector<analysis::DrivingEvent> events;
};

// Each moment's rows on its own duration, shifted to trip time, so no event run crosses into
// the next moment. Runs on the thread pool: hundreds of moments' rows take a while to parse.
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

} // namespace

void TripPlayback::buildDrive() {
    auto* watcher = new QFutureWatcher<TripDrive>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, load = loadId_] {
        watcher->deleteLater();
        // A trip no longer playing keeps none of it.
        if (load != loadId_ || !active_)
            return;
        TripDrive drive = watcher->future().takeResult();
        view_.telemetry()->showTrip(loadId_.toString(), std::move(drive.route),
                                    std::move(drive.series), std::move(drive.events));
    });
    watcher->setFuture(QtConcurrent::run(readTripDrive, trip_, telemetry_));
}
