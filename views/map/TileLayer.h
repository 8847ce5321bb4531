// Raster map tiles for the map views, from the chosen source (an online URL template or a local
// MBTiles file), with decoded tiles kept in memory. A failing source never blocks: missing
// tiles are simply not drawn, and failed ones are asked for again with a growing delay, so the
// map fills in once the network returns. A file that cannot be read gives way to the online
// source, with a message saying why.
#pragma once

#include "TileMath.h"
#include "TileSource.h"

#include <QCache>
#include <QDeadlineTimer>
#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QSet>
#include <QTimer>

class MbTilesSource;

class TileLayer : public QObject {
    Q_OBJECT

public:
    static constexpr int kRetryBaseDelayMs = 2000;
    static constexpr int kRetryMaxDelayMs = 60000;

    // `cacheDirectory` empty: the application's cache location. Created private to the user:
    // the cached tiles tell where the user drove.
    explicit TileLayer(const QString& cacheDirectory = {}, QObject* parent = nullptr);
    ~TileLayer() override;

    // The source asked for: a URL template or an MBTiles file (a path or a file: URL).
    QString urlTemplate() const { return location_; }
    // Empty: the configured source (command line, environment, settings), followed as the
    // settings change.
    void setUrlTemplate(const QString& location);
    // The attribution set here; else the file's own; else the configured one for the
    // configured source; else the default server's for that server only; else none.
    QString attribution() const;
    // A null text goes back to the source's attribution.
    void setAttribution(const QString& attribution);
    // Why the chosen file is not shown; empty while it is.
    QString sourceMessage() const { return message_; }

    // A decoded tile, or a null image when it is not in memory.
    QImage tile(const TileKey& key);
    // Asks for these tiles, first ones first; replaces earlier wishes not yet started. Wished
    // tiles that fail are asked for again once their delay has passed.
    void request(const QList<TileKey>& keys);
    // Whether the last attempt at this tile failed.
    bool hasFailed(const TileKey& key) const { return failures_.contains(key); }

    // The wait before asking again for a tile that failed `failures` times in a row.
    static int retryDelayMs(int baseDelayMs, int failures);
    // The first retry delay; later ones double up to kRetryMaxDelayMs. For tests.
    void setRetryBaseDelayMs(int ms) { retryBaseDelayMs_ = ms; }
    int requestsStarted() const { return requestsStarted_; }
    int inFlightCount() const { return static_cast<int>(inFlight_.size()); }

signals:
    void tileLoaded(const TileKey& key);
    void tileFailed(const TileKey& key);
    void sourceMessageChanged();

private:
    struct Failure {
        int count = 0;
        QDeadlineTimer retryAt;
    };

    void configurationChanged();
    void applyLocation();
    void useOnline(const QString& urlTemplate);
    // Forgets the tiles and requests of the source being left, then asks the new one.
    void switchSource(TileSource* source);
    void setMessage(const QString& message);
    void answered(const TileKey& key, const QImage& image, bool final);
    void startNext();
    bool waitingToRetry(const TileKey& key) const;
    void scheduleRetry();

    TileSourceChoice choice_;
    // Set through setUrlTemplate, outranking the configured choice.
    QString explicitLocation_;
    QString location_;
    // What the active source shows: location_, or the online template standing in for it.
    QString activeLocation_;
    QString attribution_;
    QString message_;
    NetworkTileSource* network_ = nullptr;
    MbTilesSource* file_ = nullptr;
    TileSource* active_ = nullptr;
    QCache<TileKey, QImage> images_;
    QList<TileKey> wished_;
    QList<TileKey> queue_;
    QSet<TileKey> inFlight_;
    QHash<TileKey, Failure> failures_;
    QTimer retryTimer_;
    int retryBaseDelayMs_ = kRetryBaseDelayMs;
    int requestsStarted_ = 0;
};
