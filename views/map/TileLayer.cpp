// Tile requests, retries and in-memory tiles over the chosen source (see TileLayer.h).
#include "TileLayer.h"

#include "MbTiles.h"
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
    : QObject(parent), m_choice(tilesource::configured()), m_images(kMemoryCacheTiles) {
    const QString directory =
        cacheDirectory.isEmpty()
            ? QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation))
                  .filePath(QLatin1String(kCacheSubdirectory))
            : cacheDirectory;
    makePrivateDirectory(directory);
    m_network = new NetworkTileSource(directory, configuredCacheBytes(), this);
    connect(m_network, &TileSource::answered, this, &TileLayer::answered);
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, [this] { request(m_wished); });

    const Settings* settings = Settings::instance();
    connect(settings, &Settings::mapTilesChanged, this, &TileLayer::configurationChanged);
    connect(settings, &Settings::mapAttributionChanged, this, &TileLayer::configurationChanged);
    connect(settings, &Settings::mapCacheMegabytesChanged, this,
            [this] { m_network->setCacheBytes(configuredCacheBytes()); });
    connect(settings, &Settings::mapCacheClearRequested, m_network, &NetworkTileSource::clearCache);

    m_location = m_choice.location;
    applyLocation();
}

TileLayer::~TileLayer() = default;

void TileLayer::configurationChanged() {
    m_choice = tilesource::configured();
    if (!m_explicitLocation.isEmpty())
        return;
    if (m_choice.location != m_location) {
        m_location = m_choice.location;
        applyLocation();
    }
}

void TileLayer::setUrlTemplate(const QString& location) {
    m_explicitLocation = location;
    const QString effective = location.isEmpty() ? m_choice.location : location;
    if (effective == m_location)
        return;
    m_location = effective;
    applyLocation();
}

void TileLayer::applyLocation() {
    setMessage({});
    if (tilesource::isUrlTemplate(m_location)) {
        useOnline(m_location);
        return;
    }
    auto* file = new MbTilesSource(tilesource::filePath(m_location), this);
    connect(file, &TileSource::answered, this, &TileLayer::answered);
    connect(file, &MbTilesSource::failed, this, [this](const QString& message) {
        setMessage(message);
        useOnline(m_choice.onlineTemplate);
    });
    m_activeLocation = m_location;
    switchSource(file);
    m_file = file;
}

void TileLayer::useOnline(const QString& urlTemplate) {
    m_network->setUrlTemplate(urlTemplate);
    m_activeLocation = urlTemplate;
    switchSource(m_network);
}

void TileLayer::switchSource(TileSource* source) {
    m_network->abortAll();
    if (m_file) {
        // It may be the sender of the signal being handled.
        m_file->disconnect(this);
        m_file->deleteLater();
        m_file = nullptr;
    }
    // Tiles of another source must not mix with these.
    m_active = source;
    m_images.clear();
    m_queue.clear();
    m_inFlight.clear();
    m_failures.clear();
    m_retryTimer.stop();
    request(m_wished);
}

void TileLayer::setMessage(const QString& message) {
    if (message == m_message)
        return;
    m_message = message;
    emit sourceMessageChanged();
}

QString TileLayer::attribution() const {
    if (!m_attribution.isNull())
        return m_attribution;
    if (m_file && m_active == m_file)
        return m_file->info().attribution;
    if (m_activeLocation == m_choice.location)
        return m_choice.attribution;
    if (m_activeLocation == m_choice.onlineTemplate)
        return m_choice.onlineAttribution;
    return m_activeLocation == QLatin1String(tilesource::kDefaultUrlTemplate)
               ? QString::fromUtf8(tilesource::kDefaultAttribution)
               : QString();
}

void TileLayer::setAttribution(const QString& attribution) {
    m_attribution = attribution;
}

int TileLayer::retryDelayMs(int baseDelayMs, int failures) {
    const double doubled = std::ldexp(static_cast<double>(baseDelayMs), std::max(0, failures - 1));
    return static_cast<int>(std::min(doubled, static_cast<double>(kRetryMaxDelayMs)));
}

QImage TileLayer::tile(const TileKey& key) {
    const QImage* image = m_images.object(key);
    return image ? *image : QImage();
}

void TileLayer::request(const QList<TileKey>& keys) {
    m_wished = keys;
    m_queue.clear();
    for (const TileKey& key : keys) {
        if (m_images.contains(key) || m_inFlight.contains(key) || waitingToRetry(key) ||
            m_queue.contains(key))
            continue;
        m_queue.append(key);
    }
    startNext();
    scheduleRetry();
}

bool TileLayer::waitingToRetry(const TileKey& key) const {
    const auto found = m_failures.constFind(key);
    return found != m_failures.constEnd() && !found->retryAt.hasExpired();
}

void TileLayer::scheduleRetry() {
    std::optional<qint64> soonest;
    for (const TileKey& key : std::as_const(m_wished)) {
        const auto found = m_failures.constFind(key);
        // Queued or in flight: its answer reschedules. Forever: the source has no such tile.
        if (found == m_failures.constEnd() || found->retryAt.isForever() ||
            m_inFlight.contains(key) || m_queue.contains(key))
            continue;
        const qint64 remaining = found->retryAt.remainingTime();
        soonest = std::min(soonest.value_or(remaining), remaining);
    }
    if (soonest)
        m_retryTimer.start(static_cast<int>(*soonest));
    else
        m_retryTimer.stop();
}

void TileLayer::startNext() {
    while (m_inFlight.size() < m_active->maxInFlight() && !m_queue.isEmpty()) {
        const TileKey key = m_queue.takeFirst();
        m_inFlight.insert(key);
        ++m_requestsStarted;
        m_active->fetch(key);
    }
}

void TileLayer::answered(const TileKey& key, const QImage& image, bool final) {
    // An answer of a source since left.
    if (sender() != m_active || !m_inFlight.remove(key))
        return;
    if (image.isNull()) {
        Failure& failure = m_failures[key];
        ++failure.count;
        failure.retryAt = final ? QDeadlineTimer(QDeadlineTimer::Forever)
                                : QDeadlineTimer(retryDelayMs(m_retryBaseDelayMs, failure.count));
        emit tileFailed(key);
    } else {
        m_failures.remove(key);
        m_images.insert(key,
                        new QImage(image.convertToFormat(QImage::Format_ARGB32_Premultiplied)));
        emit tileLoaded(key);
    }
    startNext();
    scheduleRetry();
}
