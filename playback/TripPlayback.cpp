// The trip's face: what QML reads of it, and the players driven by the clock's steps.
#include "TripPlayback.h"

#include "LocalizedString.h"
#include "SetAndNotify.h"
#include "TripDrive.h"
#include "TripList.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>

using playback::PhaseStep;
using playback::TripPhase;

namespace {

// The clock's refresh while a trip is on; also how late a moment's end may be noticed.
constexpr int kTickIntervalMs = 40;
constexpr const char* kClockFormat = "HH:mm:ss";
constexpr const char* kLeaderUnreadableNote =
    QT_TRANSLATE_NOOP("Veldrin", "Camera %1 stopped: its file could not be read");
constexpr const char* kLeaderCutShortNote =
    QT_TRANSLATE_NOOP("Veldrin", "Camera %1 stopped: its file ends early");
constexpr const char* kTripTitle = QT_TRANSLATE_N_NOOP("Veldrin", "Trip %1 (%n moments)");

} // namespace

TripPlayback::TripPlayback(ContentView& view, const FolderBatch& batch, QObject* parent)
    : PlayingTrip(parent), view_(view), player_(view.player()),
      phases_([this] { emit inGapChanged(); }), standby_(*player_), telemetry_(batch) {
    clock_.start();
    ticker_.setInterval(kTickIntervalMs);
    ticker_.setTimerType(Qt::PreciseTimer);
    connect(&ticker_, &QTimer::timeout, this, &TripPlayback::tick);
    // The two players trade places at each switch; only the shown one speaks for the trip.
    for (QMediaPlayer* media : {player_->mediaPlayer(), player_->standbyPlayer()}) {
        const auto shown = [this, media] { return media == player_->mediaPlayer(); };
        connect(media, &QMediaPlayer::mediaStatusChanged, this,
                [this, shown](QMediaPlayer::MediaStatus s) {
                    shown() ? onMediaStatus(s) : standby_.status(s);
                });
        connect(media, &QMediaPlayer::errorOccurred, this,
                [this, shown] { shown() ? onPlayerError() : standby_.failed(); });
        connect(media, &QMediaPlayer::playbackRateChanged, this, [this, shown] {
            if (shown())
                emit rateChanged();
        });
        connect(media, &QMediaPlayer::playbackStateChanged, this,
                [this, shown](QMediaPlayer::PlaybackState s) {
                    // Play and pause pressed on the player itself act on the trip.
                    if (!active_ || driving_ || phases_.phase() != TripPhase::playing || !shown())
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
    connect(&telemetry_, &playback::TripTelemetry::momentRead, this, [this](std::size_t moment) {
        if (moment == phases_.moment())
            showMomentTelemetry();
    });
    connect(&telemetry_, &playback::TripTelemetry::allRead, this, [this] {
        playback::readTripDriveInBackground(
            this, trip_, telemetry_.queue().tables(),
            [this, load = loadId_](playback::TripDrive drive) {
                // A trip no longer playing keeps none of it.
                if (load != loadId_ || !active_)
                    return;
                view_.telemetry()->showTrip(loadId_.toString(), std::move(drive.route),
                                            std::move(drive.series), std::move(drive.events));
            });
        emit telemetryChanged();
    });
}

TripPlayback::~TripPlayback() = default;

TripPlayback* TripPlayback::attach(ContentView& view, ClipSources& sources) {
    auto* playback = new TripPlayback(view, *sources.batch(), &sources);
    sources.setTripPlayer(playback);
    return playback;
}

template <typename F> void TripPlayback::drive(F&& f) {
    driving_ = true;
    f();
    driving_ = false;
}

void TripPlayback::start(trips::Trip trip, double startSeconds, bool autoPlay) {
    trip_ = std::move(trip);
    phases_.reset(trips::TripTimeline(trip_));
    loadId_ = view_.load()->renewFileLoadID();
    standby_.forget();
    telemetry_.reset(trip_);
    active_ = true;
    const QStringList names = cameras();
    const QString preferred = QString::fromUtf8(trips::kPreferredTelemetryCamera.data(),
                                                trips::kPreferredTelemetryCamera.size());
    if (!names.contains(selectedCamera_))
        selectedCamera_ = names.contains(preferred) ? preferred : names.value(0);
    setNote(QString());
    view_.load()->setSelectedFolderClipPath(QString());
    view_.load()->setIsExtracting(false);
    view_.telemetry()->clear();
    view_.load()->setSelectedFileName(title());
    view_.load()->setStatus(title());
    wantPlay_ = autoPlay;
    item_ = VideoPlayer::kNoItem;
    emit activeChanged();
    emit tripChanged();
    emit selectedCameraChanged();
    emit playingChanged();
    seek(startSeconds);
    ticker_.start();
    telemetry_.start();
}

void TripPlayback::stop() {
    if (!active_)
        return;
    active_ = false;
    ticker_.stop();
    standby_.forget();
    telemetry_.stop();
    phases_.end();
    view_.clock()->setTripClock(0, 0);
    emit activeChanged();
}

double TripPlayback::duration() const {
    return phases_.timeline().duration();
}

QVariantList TripPlayback::boundaries() const {
    QVariantList list;
    for (const double start : phases_.timeline().boundaries())
        list.append(start);
    return list;
}

QVariantList TripPlayback::gaps() const {
    QVariantList list;
    for (const trips::TripGap& gap : phases_.timeline().gaps())
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
    return QDateTime::fromSecsSinceEpoch(start + qint64(std::floor(std::max(0.0, time()))))
        .toString(QString::fromLatin1(kClockFormat));
}

double TripPlayback::leaderPosition() const {
    return active_ ? phases_.leaderPosition() : 0.0;
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

QUrl TripPlayback::leaderUrl(std::size_t index) const {
    return QUrl::fromLocalFile(TripList::clipPath(trip_.moments[index], *leaderClip(index)));
}

QVariantMap TripPlayback::currentClips() const {
    QVariantMap clips;
    if (trip_.moments.empty())
        return clips;
    const trips::Moment& moment = trip_.moments[phases_.moment()];
    for (const trips::MomentClip& clip : moment.clips)
        clips.insert(QString::fromStdString(clip.camera),
                     QUrl::fromLocalFile(TripList::clipPath(moment, clip)));
    return clips;
}

QString TripPlayback::telemetryClipPath() const {
    return momentHasTelemetry() ? telemetry_.sourcePath(phases_.moment()) : QString();
}

bool TripPlayback::momentHasTelemetry() const {
    if (trip_.moments.empty())
        return false;
    const playback::MomentTable& table = telemetry_.queue().tables()[phases_.moment()];
    return table && !table->empty();
}

void TripPlayback::setSelectedCamera(const QString& camera) {
    if (camera == selectedCamera_)
        return;
    selectedCamera_ = camera;
    emit selectedCameraChanged();
    if (active_ && phases_.phase() != TripPhase::ended)
        loadMoment(phases_.moment(), std::max(0.0, time() - trip_.momentOffset(phases_.moment())));
}

double TripPlayback::rate() const {
    return player_->mediaPlayer()->playbackRate();
}

bool TripPlayback::canExport() const {
    return active_ && telemetry_.queue().done();
}

std::string TripPlayback::joinedCsv() const {
    std::string text = trips::joinedCsvHeader();
    const auto& tables = telemetry_.queue().tables();
    for (std::size_t i = 0; i < trip_.moments.size(); ++i) {
        if (tables[i] && !tables[i]->empty())
            trips::appendJoinedRows(text, trip_, i, tables[i]->text());
    }
    return text;
}

void TripPlayback::setWantPlay(bool play) {
    setAndNotify(wantPlay_, play, this, &TripPlayback::playingChanged);
}

void TripPlayback::setNote(const QString& note) {
    setAndNotify(note_, note, this, &TripPlayback::noteChanged);
}

void TripPlayback::seekLeader() {
    player_->mediaPlayer()->setPosition(
        qint64(phases_.seekTarget() * playback::kMillisecondsPerSecond));
}

void TripPlayback::seek(double tripSeconds) {
    if (!active_ || trip_.moments.empty())
        return;
    const trips::TripPlace place = phases_.place(tripSeconds);
    setNote(QString());
    loadMoment(place.moment, place.within);
    emit timeChanged();
}

void TripPlayback::loadMoment(std::size_t index, double within) {
    const bool momentChange = index != phases_.moment() || item_ == VideoPlayer::kNoItem;
    phases_.aim(index, within);
    const QUrl url = leaderUrl(index);
    leaderUrl_ = url;
    if (momentChange)
        emit momentChanged();
    const std::optional<bool> prepared =
        momentChange ? standby_.take(index, url) : std::optional<bool>();
    if (prepared) {
        // Already loaded behind the picture: shown at once, in place of a load.
        drive([&] {
            item_ = player_->swapInStandby();
            if (*prepared && phases_.seekTarget() > 0)
                seekLeader();
        });
        phases_.swappedIn(*prepared, clock_.elapsed());
    } else if (momentChange || player_->currentSource() != url || note_.size()) {
        phases_.loadStarted(clock_.elapsed());
        drive([&] { item_ = player_->replaceCurrentItem(url); });
    } else {
        drive([&] { seekLeader(); });
        phases_.movedInPlace(clock_.elapsed());
    }
    if (phases_.pastPlayedPart(within))
        follow(phases_.enterGap(trip_.momentOffset(index) + within, clock_.elapsed()));
    else if (phases_.phase() == TripPhase::playing)
        drive([&] { wantPlay_ ? player_->play() : player_->pause(); });
    if (momentChange)
        showMomentTelemetry();
}

void TripPlayback::follow(PhaseStep step) {
    switch (step) {
    case PhaseStep::none:
    case PhaseStep::failed:
        break;
    case PhaseStep::start:
        drive([&] {
            seekLeader();
            if (wantPlay_)
                player_->play();
        });
        break;
    case PhaseStep::seekAgain:
        drive([&] { seekLeader(); });
        break;
    case PhaseStep::cutShort:
        setNote(localizedString(kLeaderCutShortNote, selectedCamera_));
        [[fallthrough]];
    case PhaseStep::gap:
        drive([&] { player_->pause(); });
        break;
    case PhaseStep::nextMoment:
        setNote(QString());
        loadMoment(phases_.moment() + 1, phases_.nextWithin());
        break;
    case PhaseStep::finished:
        drive([&] { player_->pause(); });
        emit timeChanged();
        view_.clock()->setTripClock(time(), duration());
        setWantPlay(false);
        emit finished();
        break;
    }
}

void TripPlayback::onMediaStatus(QMediaPlayer::MediaStatus status) {
    // The player may report on a new source before replaceCurrentItem has returned.
    if (!active_ || player_->currentSource() != leaderUrl_)
        return;
    if (status == QMediaPlayer::LoadedMedia)
        follow(phases_.leaderLoaded(clock_.elapsed()));
    else if (status == QMediaPlayer::EndOfMedia)
        follow(phases_.leaderEnded(player_->currentTime(), clock_.elapsed()));
    else if (status == QMediaPlayer::InvalidMedia)
        onPlayerError();
}

void TripPlayback::onPlayerError() {
    if (!active_ || player_->currentSource() != leaderUrl_ || phases_.phase() == TripPhase::ended)
        return;
    // The rest of the moment runs as a gap, so the trip goes on with the next one.
    setNote(localizedString(kLeaderUnreadableNote, selectedCamera_));
    follow(phases_.leaderFailed(clock_.elapsed()));
}

void TripPlayback::tick() {
    if (!active_ || trip_.moments.empty())
        return;
    const double before = time();
    const PhaseStep step =
        phases_.tick(player_->currentTime(), wantPlay_, rate(), clock_.elapsed());
    if (step == PhaseStep::failed) {
        onPlayerError();
        return;
    }
    follow(step);
    if (step == PhaseStep::finished || step == PhaseStep::gap)
        return;
    if (time() != before)
        emit timeChanged();
    view_.clock()->setTripClock(time(), duration());
    if (const std::optional<std::size_t> next = phases_.momentToPrepare(clock_.elapsed()))
        drive([&] { standby_.prepare(*next, leaderUrl(*next)); });
}

void TripPlayback::play() {
    if (!active_)
        return;
    if (phases_.phase() == TripPhase::ended)
        seek(0);
    setWantPlay(true);
    if (phases_.phase() == TripPhase::playing)
        drive([&] { player_->play(); });
    phases_.resume(clock_.elapsed());
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
    view_.telemetry()->showMoment(telemetry_.queue().tables()[phases_.moment()]);
    emit telemetryChanged();
}
