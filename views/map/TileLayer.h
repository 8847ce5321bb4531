// Raster map tiles for the map views: fetched over HTTP from a URL template, kept on disk so
// that a route seen once still has its map offline, and decoded tiles kept in memory.
// A failing or absent network never blocks: missing tiles are simply not drawn, and failed
// ones are asked for again with a growing delay, so the map fills in once the network returns.
#pragma once

#include "TileMath.h"

#include <QCache>
#include <QDeadlineTimer>
#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QTimer>

class QNetworkAccessManager;
class QNetworkReply;

class TileLayer : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kDefaultUrlTemplate =
        "https://tile.openstreetmap.org/{z}/{x}/{y}.png";
    static constexpr const char* kUrlTemplateEnvironmentVariable = "VELDRIN_TILE_URL";
    static constexpr const char* kAttributionEnvironmentVariable = "VELDRIN_TILE_ATTRIBUTION";
    // The default server's own attribution, never shown for another server.
    static constexpr const char* kDefaultAttribution = "© OpenStreetMap contributors";
    static constexpr int kRetryBaseDelayMs = 2000;
    static constexpr int kRetryMaxDelayMs = 60000;

    // `cacheDirectory` empty: the application's cache location. Created private to the user:
    // the cached tiles tell where the user drove.
    explicit TileLayer(const QString& cacheDirectory = {}, QObject* parent = nullptr);
    ~TileLayer() override;

    // The environment's template when set, otherwise the default one.
    static QString configuredUrlTemplate();
    QString urlTemplate() const { return m_urlTemplate; }
    void setUrlTemplate(const QString& urlTemplate);
    // The attribution set here; else the environment's for the configured template; else the
    // default server's for that server only; else none.
    QString attribution() const;
    // A null text goes back to the configured attribution.
    void setAttribution(const QString& attribution);

    // A decoded tile, or a null image when it is not in memory.
    QImage tile(const TileKey& key);
    // Asks for these tiles, first ones first; replaces earlier wishes not yet started. Wished
    // tiles that fail are asked for again once their delay has passed.
    void request(const QList<TileKey>& keys);
    // Whether the last attempt at this tile failed.
    bool hasFailed(const TileKey& key) const { return m_failures.contains(key); }

    // The wait before asking again for a tile that failed `failures` times in a row.
    static int retryDelayMs(int baseDelayMs, int failures);
    // The first retry delay; later ones double up to kRetryMaxDelayMs. For tests.
    void setRetryBaseDelayMs(int ms) { m_retryBaseDelayMs = ms; }
    int requestsStarted() const { return m_requestsStarted; }
    int inFlightCount() const { return static_cast<int>(m_inFlight.size()); }

signals:
    void tileLoaded(const TileKey& key);
    void tileFailed(const TileKey& key);

private:
    struct Failure {
        int count = 0;
        QDeadlineTimer retryAt;
    };

    void startNext();
    void finish(QNetworkReply* reply, const TileKey& key);
    bool waitingToRetry(const TileKey& key) const;
    void scheduleRetry();

    QNetworkAccessManager* m_network = nullptr;
    QString m_urlTemplate;
    QString m_attribution;
    QCache<TileKey, QImage> m_images;
    QList<TileKey> m_wished;
    QList<TileKey> m_queue;
    QHash<TileKey, QNetworkReply*> m_inFlight;
    QHash<TileKey, Failure> m_failures;
    QTimer m_retryTimer;
    int m_retryBaseDelayMs = kRetryBaseDelayMs;
    int m_requestsStarted = 0;
};
