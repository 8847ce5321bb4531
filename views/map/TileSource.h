// Where map tiles come from: an online XYZ URL template or a local MBTiles file, and which of
// them the user chose (command line, then environment, then settings). A source answers each
// tile it is asked for exactly once, on the GUI thread.
#pragma once

#include "TileMath.h"

#include <QImage>
#include <QObject>
#include <QString>

class QNetworkAccessManager;

struct TileSourceChoice {
    // A URL template or a file path.
    QString location;
    QString attribution;
    // What is shown when `location` is a file that cannot be read.
    QString onlineTemplate;
    QString onlineAttribution;
    friend bool operator==(const TileSourceChoice&, const TileSourceChoice&) = default;
};

struct TileSourceInputs {
    QString commandLine;
    QString environmentTiles;
    QString environmentUrl;
    QString environmentAttribution;
    QString settingsLocation;
    QString settingsAttribution;
};

namespace tilesource {

inline constexpr const char* kDefaultUrlTemplate = "https://tile.openstreetmap.org/{z}/{x}/{y}.png";
// The default server's own attribution, never shown for another server.
inline constexpr const char* kDefaultAttribution = "© OpenStreetMap contributors";
inline constexpr const char* kTilesEnvironmentVariable = "VELDRIN_TILES";
// The older name, for a URL template only in its day; read as VELDRIN_TILES.
inline constexpr const char* kUrlTemplateEnvironmentVariable = "VELDRIN_TILE_URL";
inline constexpr const char* kAttributionEnvironmentVariable = "VELDRIN_TILE_ATTRIBUTION";

// A URL with a scheme other than file:; anything else names a file.
bool isUrlTemplate(const QString& location);
// The local path of a file location (a path or a file: URL).
QString filePath(const QString& location);

// The first given of command line, VELDRIN_TILES, VELDRIN_TILE_URL, settings and the default
// server; the environment's attribution goes with either of its variables.
TileSourceChoice choose(const TileSourceInputs& inputs);
// What `--tiles` named; it outranks everything else for the rest of the process.
void setCommandLineLocation(const QString& location);
// The choice from this process's command line, environment and stored settings.
TileSourceChoice configured();

// Which of the inputs `choose` takes.
enum class Origin { commandLine, tilesVariable, urlVariable, settings, builtIn };
Origin originOf(const TileSourceInputs& inputs);
// For the settings window: the source in use and why, a map file by its name.
QString inUseNote();

} // namespace tilesource

class TileSource : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    // Answered later by `answered`; never twice for one request.
    virtual void fetch(const TileKey& key) = 0;
    // How many requests may wait for an answer at once.
    virtual int maxInFlight() const = 0;

signals:
    // A null image when the tile could not be had; `final` when asking again cannot help.
    void answered(const TileKey& key, const QImage& image, bool final);
};

// Tiles over HTTP from a URL template, through a private disk cache so that a route seen once
// still has its map offline.
class NetworkTileSource : public TileSource {
    Q_OBJECT

public:
    // Tile servers ask clients to stay at a few parallel connections.
    static constexpr int kMaxConcurrentRequests = 4;
    static constexpr int kTransferTimeoutMs = 10000;

    NetworkTileSource(const QString& cacheDirectory, qint64 cacheBytes, QObject* parent);
    ~NetworkTileSource() override;

    void setUrlTemplate(const QString& urlTemplate);
    void setCacheBytes(qint64 bytes);
    void clearCache();
    void fetch(const TileKey& key) override;
    int maxInFlight() const override { return kMaxConcurrentRequests; }
    // Drops every request not yet answered; they are never answered.
    void abortAll();

private:
    QNetworkAccessManager* network_ = nullptr;
    QString urlTemplate_;
};
