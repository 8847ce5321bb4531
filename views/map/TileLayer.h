// Raster map tiles for the map views: fetched over HTTP from a URL template, kept on disk so
// that a route seen once still has its map offline, and decoded tiles kept in memory.
// A failing or absent network never blocks: missing tiles are simply not drawn.
#pragma once

#include "TileMath.h"

#include <QCache>
#include <QDeadlineTimer>
#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QSet>

class QNetworkAccessManager;
class QNetworkReply;

class TileLayer : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kDefaultUrlTemplate =
        "https://tile.openstreetmap.org/{z}/{x}/{y}.png";
    static constexpr const char* kUrlTemplateEnvironmentVariable = "VELDRIN_TILE_URL";
    static constexpr const char* kAttribution = "© OpenStreetMap contributors";

    // `cacheDirectory` empty: the application's cache location.
    explicit TileLayer(const QString& cacheDirectory = {}, QObject* parent = nullptr);
    ~TileLayer() override;

    // The environment's template when set, otherwise the default one.
    static QString configuredUrlTemplate();
    QString urlTemplate() const { return m_urlTemplate; }
    void setUrlTemplate(const QString& urlTemplate);

    // A decoded tile, or a null image when it is not in memory.
    QImage tile(const TileKey& key);
    // Asks for these tiles, first ones first; replaces earlier wishes not yet started.
    void request(const QList<TileKey>& keys);

    int requestsStarted() const { return m_requestsStarted; }
    int inFlightCount() const { return static_cast<int>(m_inFlight.size()); }

signals:
    void tileLoaded(const TileKey& key);

private:
    void startNext();
    void finish(QNetworkReply* reply, const TileKey& key);
    bool recentlyFailed(const TileKey& key);

    QNetworkAccessManager* m_network = nullptr;
    QString m_urlTemplate;
    QCache<TileKey, QImage> m_images;
    QList<TileKey> m_queue;
    QHash<TileKey, QNetworkReply*> m_inFlight;
    QHash<TileKey, QDeadlineTimer> m_failedUntil;
    int m_requestsStarted = 0;
};
