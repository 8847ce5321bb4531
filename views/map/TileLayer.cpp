// Tile fetching, disk cache and in-memory tiles (see TileLayer.h).
#include "TileLayer.h"

#include <QDir>
#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStandardPaths>

namespace {
// Tile servers ask clients to stay at a few parallel connections.
constexpr int kMaxConcurrentRequests = 4;
constexpr int kMemoryCacheTiles = 192;
constexpr qint64 kDiskCacheBytes = 256LL * 1024 * 1024;
constexpr int kTransferTimeoutMs = 10000;
// A failed tile is not asked for again before this, so an offline map does not keep trying.
constexpr int kFailureRetryDelayMs = 60000;
constexpr const char* kCacheSubdirectory = "tiles";
constexpr const char* kUserAgent =
    "VeldrinStudio/" VELDRIN_VERSION " (+" VELDRIN_PROJECT_CONTACT ")";
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
    cache->setCacheDirectory(directory);
    cache->setMaximumCacheSize(kDiskCacheBytes);
    m_network->setCache(cache);
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

void TileLayer::setUrlTemplate(const QString& urlTemplate) {
    const QString effective = urlTemplate.isEmpty() ? configuredUrlTemplate() : urlTemplate;
    if (effective == m_urlTemplate)
        return;
    m_urlTemplate = effective;
    // Tiles of another source must not mix with these.
    m_images.clear();
    m_queue.clear();
    m_failedUntil.clear();
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
    m_queue.clear();
    for (const TileKey& key : keys) {
        if (m_images.contains(key) || m_inFlight.contains(key) || recentlyFailed(key) ||
            m_queue.contains(key))
            continue;
        m_queue.append(key);
    }
    startNext();
}

bool TileLayer::recentlyFailed(const TileKey& key) {
    const auto found = m_failedUntil.constFind(key);
    if (found == m_failedUntil.constEnd())
        return false;
    if (!found->hasExpired())
        return true;
    m_failedUntil.erase(found);
    return false;
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
        m_failedUntil.insert(key, QDeadlineTimer(kFailureRetryDelayMs));
    } else {
        m_images.insert(key,
                        new QImage(image.convertToFormat(QImage::Format_ARGB32_Premultiplied)));
        emit tileLoaded(key);
    }
    startNext();
}
