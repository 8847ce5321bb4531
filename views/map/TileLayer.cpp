// Tile requests, retries and in-memory tiles over the chosen source (see TileLayer.h).
#include "TileLayer.h"

#include "MbTiles.h"
#include "SetAndNotify.h"
#include "Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {
constexpr int kMemoryCacheTiles = 192;
constexpr qint64 kBytesPerMegabyte = 1024 * 1024;
constexpr const char* kCacheSubdirectory = "tiles";
constexpr QFile::Permissions kOwnerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

void makePrivateDirectory(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    // A folder left by an older version may be open to everyone: close it.
    if (!QDir().mkdir(path, kOwnerOnly))
        QFile::setPermissions(path, kOwnerOnly);
}

qint64 configuredCacheBytes() {
    return Settings::instance()->mapCacheMegabytes() * kBytesPerMegabyte;
}
} // namespace

TileLayer::TileLayer(const QString& cacheDirectory, QObject* parent)
    : QObject(parent), choice_(tilesource::configured()), images_(kMemoryCacheTiles) {
    const QString directory =
        cacheDirectory.isEmpty()
            ? QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation))
                  .filePath(QLatin1String(kCacheSubdirectory))
            : cacheDirectory;
    makePrivateDirectory(directory);
    network_ = new NetworkTileSource(directory, configuredCacheBytes(), this);
    connect(network_, &TileSource::answered, this, &TileLayer::answered);
    retryTimer_.setSingleShot(true);
    connect(&retryTimer_, &QTimer::timeout, this, [this] { request(wished_); });

    const Settings* settings = Settings::instance();
    connect(settings, &Settings::mapTilesChanged, this, &TileLayer::configurationChanged);
    connect(settings, &Settings::mapAttributionChanged, this, &TileLayer::configurationChanged);
    connect(settings, &Settings::mapCacheMegabytesChanged, this,
            [this] { network_->setCacheBytes(configuredCacheBytes()); });
    connect(settings, &Settings::mapCacheClearRequested, network_, &NetworkTileSource::clearCache);

    location_ = choice_.location;
    applyLocation();
}

TileLayer::~TileLayer() = default;

void TileLayer::configurationChanged() {
    choice_ = tilesource::configured();
    if (!explicitLocation_.isEmpty())
        return;
    if (choice_.location != location_) {
        location_ = choice_.location;
        applyLocation();
    }
}

void TileLayer::setUrlTemplate(const QString& location) {
    explicitLocation_ = location;
    const QString effective = location.isEmpty() ? choice_.location : location;
    if (effective == location_)
        return;
    location_ = effective;
    applyLocation();
}

void TileLayer::applyLocation() {
    setMessage({});
    if (tilesource::isUrlTemplate(location_)) {
        useOnline(location_);
        return;
    }
    auto* file = new MbTilesSource(tilesource::filePath(location_), this);
    connect(file, &TileSource::answered, this, &TileLayer::answered);
    connect(file, &MbTilesSource::failed, this, [this](const QString& message) {
        setMessage(message);
        useOnline(choice_.onlineTemplate);
    });
    activeLocation_ = location_;
    switchSource(file);
    file_ = file;
}

void TileLayer::useOnline(const QString& urlTemplate) {
    network_->setUrlTemplate(urlTemplate);
    activeLocation_ = urlTemplate;
    switchSource(network_);
}

void TileLayer::switchSource(TileSource* source) {
    network_->abortAll();
    if (file_) {
        // It may be the sender of the signal being handled.
        file_->disconnect(this);
        file_->deleteLater();
        file_ = nullptr;
    }
    // Tiles of another source must not mix with these.
    active_ = source;
    images_.clear();
    queue_.clear();
    inFlight_.clear();
    failures_.clear();
    retryTimer_.stop();
    request(wished_);
}

void TileLayer::setMessage(const QString& message) {
    setAndNotify(message_, message, this, &TileLayer::sourceMessageChanged);
}

QString TileLayer::attribution() const {
    if (!attribution_.isNull())
        return attribution_;
    if (file_ && active_ == file_)
        return file_->info().attribution;
    if (activeLocation_ == choice_.location)
        return choice_.attribution;
    if (activeLocation_ == choice_.onlineTemplate)
        return choice_.onlineAttribution;
    return activeLocation_ == QLatin1String(tilesource::kDefaultUrlTemplate)
               ? QString::fromUtf8(tilesource::kDefaultAttribution)
               : QString();
}

void TileLayer::setAttribution(const QString& attribution) {
    attribution_ = attribution;
}

int TileLayer::retryDelayMs(int baseDelayMs, int failures) {
    const double doubled = std::ldexp(static_cast<double>(baseDelayMs), std::max(0, failures - 1));
    return static_cast<int>(std::min(doubled, static_cast<double>(kRetryMaxDelayMs)));
}

QImage TileLayer::tile(const TileKey& key) {
    const QImage* image = images_.object(key);
    return image ? *image : QImage();
}

void TileLayer::request(const QList<TileKey>& keys) {
    wished_ = keys;
    queue_.clear();
    for (const TileKey& key : keys) {
        if (images_.contains(key) || inFlight_.contains(key) || waitingToRetry(key) ||
            queue_.contains(key))
            continue;
        queue_.append(key);
    }
    startNext();
    scheduleRetry();
}

bool TileLayer::waitingToRetry(const TileKey& key) const {
    const auto found = failures_.constFind(key);
    return found != failures_.constEnd() && !found->retryAt.hasExpired();
}

void TileLayer::scheduleRetry() {
    std::optional<qint64> soonest;
    for (const TileKey& key : std::as_const(wished_)) {
        const auto found = failures_.constFind(key);
        // Queued or in flight: its answer reschedules. Forever: the source has no such tile.
        if (found == failures_.constEnd() || found->retryAt.isForever() ||
            inFlight_.contains(key) || queue_.contains(key))
            continue;
        const qint64 remaining = found->retryAt.remainingTime();
        soonest = std::min(soonest.value_or(remaining), remaining);
    }
    if (soonest)
        retryTimer_.start(static_cast<int>(*soonest));
    else
        retryTimer_.stop();
}

void TileLayer::startNext() {
    while (inFlight_.size() < active_->maxInFlight() && !queue_.isEmpty()) {
        const TileKey key = queue_.takeFirst();
        inFlight_.insert(key);
        ++requestsStarted_;
        active_->fetch(key);
    }
}

void TileLayer::answered(const TileKey& key, const QImage& image, bool final) {
    // An answer of a source since left.
    if (sender() != active_ || !inFlight_.remove(key))
        return;
    if (image.isNull()) {
        Failure& failure = failures_[key];
        ++failure.count;
        failure.retryAt = final ? QDeadlineTimer(QDeadlineTimer::Forever)
                                : QDeadlineTimer(retryDelayMs(retryBaseDelayMs_, failure.count));
        emit tileFailed(key);
    } else {
        failures_.remove(key);
        images_.insert(key, new QImage(image.convertToFormat(QImage::Format_ARGB32_Premultiplied)));
        emit tileLoaded(key);
    }
    startNext();
    scheduleRetry();
}
