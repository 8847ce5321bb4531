// Tile source choice and the online source (see TileSource.h).
#include "TileSource.h"

#include "LocalizedString.h"
#include "Settings.h"

#include <QAbstractNetworkCache>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace {
constexpr const char* kUserAgent =
    "VeldrinStudio/" VELDRIN_VERSION " (+" VELDRIN_PROJECT_CONTACT ")";

constexpr const char* kOverriddenNote =
    QT_TRANSLATE_NOOP("Veldrin", "In use: %1, from %2, which overrides this setting");
constexpr const char* kSettingNote = QT_TRANSLATE_NOOP("Veldrin", "In use: %1, from this setting");
constexpr const char* kBuiltInNote = QT_TRANSLATE_NOOP("Veldrin", "In use: the default online map");
constexpr const char* kTilesOptionName = "--tiles";

QString& commandLineLocation() {
    static QString location;
    return location;
}

TileSourceInputs configuredInputs() {
    const Settings* settings = Settings::instance();
    return {commandLineLocation(),
            qEnvironmentVariable(tilesource::kTilesEnvironmentVariable),
            qEnvironmentVariable(tilesource::kUrlTemplateEnvironmentVariable),
            qEnvironmentVariable(tilesource::kAttributionEnvironmentVariable),
            settings->mapTiles(),
            settings->mapAttribution()};
}
} // namespace

namespace tilesource {

bool isUrlTemplate(const QString& location) {
    const QUrl url(location);
    return url.isValid() && url.scheme().size() > 1 && !url.isLocalFile();
}

QString filePath(const QString& location) {
    const QUrl url(location);
    return url.isLocalFile() ? url.toLocalFile() : location;
}

TileSourceChoice choose(const TileSourceInputs& inputs) {
    const QString defaultTemplate = QString::fromLatin1(kDefaultUrlTemplate);
    const struct {
        const QString& location;
        const QString& attribution;
    } candidates[] = {
        {inputs.commandLine, QString()},
        {inputs.environmentTiles, inputs.environmentAttribution},
        {inputs.environmentUrl, inputs.environmentAttribution},
        {inputs.settingsLocation, inputs.settingsAttribution},
        {defaultTemplate, QString()},
    };
    const auto attributionOf = [&](const auto& candidate) {
        if (!candidate.attribution.isEmpty() || candidate.location != defaultTemplate)
            return candidate.attribution;
        return QString::fromUtf8(kDefaultAttribution);
    };
    TileSourceChoice choice;
    for (const auto& candidate : candidates) {
        if (candidate.location.isEmpty())
            continue;
        if (choice.location.isEmpty()) {
            choice.location = candidate.location;
            choice.attribution = attributionOf(candidate);
        }
        if (isUrlTemplate(candidate.location)) {
            choice.onlineTemplate = candidate.location;
            choice.onlineAttribution = attributionOf(candidate);
            break;
        }
    }
    return choice;
}

void setCommandLineLocation(const QString& location) {
    commandLineLocation() = location;
}

TileSourceChoice configured() {
    return choose(configuredInputs());
}

Origin originOf(const TileSourceInputs& inputs) {
    if (!inputs.commandLine.isEmpty())
        return Origin::commandLine;
    if (!inputs.environmentTiles.isEmpty())
        return Origin::tilesVariable;
    if (!inputs.environmentUrl.isEmpty())
        return Origin::urlVariable;
    return inputs.settingsLocation.isEmpty() ? Origin::builtIn : Origin::settings;
}

QString inUseNote() {
    const TileSourceInputs inputs = configuredInputs();
    const QString location = choose(inputs).location;
    const QString shown =
        isUrlTemplate(location) ? location : QFileInfo(filePath(location)).fileName();
    switch (originOf(inputs)) {
    case Origin::commandLine:
        return localizedString(kOverriddenNote, shown, QString::fromLatin1(kTilesOptionName));
    case Origin::tilesVariable:
        return localizedString(kOverriddenNote, shown,
                               QString::fromLatin1(kTilesEnvironmentVariable));
    case Origin::urlVariable:
        return localizedString(kOverriddenNote, shown,
                               QString::fromLatin1(kUrlTemplateEnvironmentVariable));
    case Origin::settings:
        return localizedString(kSettingNote, shown);
    case Origin::builtIn:
        break;
    }
    return localizedString(kBuiltInNote);
}

} // namespace tilesource

NetworkTileSource::NetworkTileSource(const QString& cacheDirectory, qint64 cacheBytes,
                                     QObject* parent)
    : TileSource(parent), m_network(new QNetworkAccessManager(this)) {
    auto* cache = new QNetworkDiskCache(m_network);
    cache->setCacheDirectory(cacheDirectory);
    cache->setMaximumCacheSize(cacheBytes);
    m_network->setCache(cache);
}

NetworkTileSource::~NetworkTileSource() {
    abortAll();
}

void NetworkTileSource::setUrlTemplate(const QString& urlTemplate) {
    m_urlTemplate = urlTemplate;
}

void NetworkTileSource::setCacheBytes(qint64 bytes) {
    static_cast<QNetworkDiskCache*>(m_network->cache())->setMaximumCacheSize(bytes);
}

void NetworkTileSource::clearCache() {
    m_network->cache()->clear();
}

void NetworkTileSource::abortAll() {
    for (QNetworkReply* reply : m_network->findChildren<QNetworkReply*>()) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void NetworkTileSource::fetch(const TileKey& key) {
    QNetworkRequest request(tiles::tileUrl(m_urlTemplate, key));
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArray(kUserAgent));
    // Tiles rarely change: a stored tile is used without asking the server, which is what
    // keeps a route's map available offline.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::PreferCache);
    request.setTransferTimeout(kTransferTimeoutMs);
    QNetworkReply* reply = m_network->get(request);
    connect(reply, &QNetworkReply::finished, this, [this, reply, key] {
        reply->deleteLater();
        QImage image;
        if (reply->error() == QNetworkReply::NoError)
            image.loadFromData(reply->readAll());
        emit answered(key, image, false);
    });
}
