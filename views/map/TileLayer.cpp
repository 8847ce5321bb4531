// Tile fetching, disk cache and in-memory tiles (see TileLayer.h).
#include "TileLayer.h"

#include <QDir>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStandardPaths>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {
// Tile servers ask clients to stay at a few parallel connections.
constexpr int kMaxConcurrentRequests = 4;
constexpr int kMemoryCacheTiles = 192;
constexpr qint64 kDiskCacheBytes = 256LL * 1024 * 1024;
constexpr int kTransferTimeoutMs = 10000;
constexpr const char* kCacheSubdirectory = "tiles";
constexpr const char* kUserAgent =
    "VeldrinStudio/" VELDRIN_VERSION " (+" VELDRIN_PROJECT_CONTACT ")";
constexpr QFile::Permissions kOwnerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

void makePrivateDirectory(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    // A folder left by an older version may be open to everyone: close it.
    if (!QDir().mkdir(path, kOwnerOnly))
        QFile::setPermissions(path, kOwnerOnly);
}
} // namespace

TileLayer::TileLayer(const QString& cacheDirectory, QObject* parent)
    : QObject(parent), m_network(new QNetworkAccessManager(this)),
      m_urlTemplate(configuredUrlTemplate()), m_images(kMemoryCacheTiles) {
    auto* cache = new QNetworkDiskCache(m_network);
    const QString directory =
        cacheDirectory.isEmpty()
            ? QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation))
                  .filePath(QLatin1String(kCacheSubdirectory))
            : cacheDirectory;
    makePrivateDirectory(directory);
    cache->setCacheDirectory(directory);
    cache->setMaximumCacheSize(kDiskCacheBytes);
    m_network->setCache(cache);
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, [this] { request(m_wished); });
}

TileLayer::~TileLayer() {
    for (QNetworkReply* reply : std::as_const(m_inFlight)) {
        reply->disconnect(this);
        reply->abort();
    }
}

QString TileLayer::configuredUrlTemplate() {
    const QString fromEnvironment = qEnvironmentVariable(kUrlTemplateEnvironmentVariable);
    return fromEnvironment.isEmpty() ? QString::fromLatin1(kDefaultUrlTemplate) : fromEnvironment;
}

QString TileLayer::attribution() const {
    if (!m_attribution.isNull())
        return m_attribution;
    if (m_urlTemplate != configuredUrlTemplate())
        return {};
    const QString fromEnvironment = qEnvironmentVariable(kAttributionEnvironmentVariable);
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return m_urlTemplate == QLatin1String(kDefaultUrlTemplate)
               ? QString::fromUtf8(kDefaultAttribution)
               : QString();
}

void TileLayer::setAttribution(const QString& attribution) {
    m_attribution = attribution;
}

int TileLayer::retryDelayMs(int baseDelayMs, int failures) {
    const double doubled = std::ldexp(static_cast<double>(baseDelayMs), std::max(0, failures - 1));
    return static_cast<int>(std::min(doubled, static_cast<double>(kRetryMaxDelayMs)));
}

void TileLayer::setUrlTemplate(const QString& urlTemplate) {
    const QString effective = urlTemplate.isEmpty() ? configuredUrlTemplate() : urlTemplate;
    if (effective == m_urlTemplate)
        return;
    m_urlTemplate = effective;
    // Tiles of another source must not mix with these.
    m_images.clear();
    m_wished.clear();
    m_queue.clear();
    m_failures.clear();
    m_retryTimer.stop();
    for (QNetworkReply* reply : std::as_const(m_inFlight)) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    m_inFlight.clear();
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
        // Queued or in flight: its answer reschedules.
        if (found == m_failures.constEnd() || m_inFlight.contains(key) || m_queue.contains(key))
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
    while (m_inFlight.size() < kMaxConcurrentRequests && !m_queue.isEmpty()) {
        const TileKey key = m_queue.takeFirst();
        QNetworkRequest request(tiles::tileUrl(m_urlTemplate, key));
        request.setHeader(QNetworkRequest::UserAgentHeader, QByteArray(kUserAgent));
        // Tiles rarely change: a stored tile is used without asking the server, which is what
        // keeps a route's map available offline.
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                             QNetworkRequest::PreferCache);
        request.setTransferTimeout(kTransferTimeoutMs);
        QNetworkReply* reply = m_network->get(request);
        ++m_requestsStarted;
        m_inFlight.insert(key, reply);
        connect(reply, &QNetworkReply::finished, this, [this, reply, key] { finish(reply, key); });
    }
}

void TileLayer::finish(QNetworkReply* reply, const TileKey& key) {
    reply->deleteLater();
    m_inFlight.remove(key);
    QImage image;
    if (reply->error() == QNetworkReply::NoError)
        image.loadFromData(reply->readAll());
    if (image.isNull()) {
        Failure& failure = m_failures[key];
        ++failure.count;
        failure.retryAt.setRemainingTime(retryDelayMs(m_retryBaseDelayMs, failure.count));
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
