// Raster tiles from a local MBTiles file (an SQLite database: a `tiles` table in TMS row order
// and a `metadata` table). The reader is used on one thread only, since a database connection
// belongs to the thread that opened it; the source runs a reader on its own thread so that the
// GUI thread never waits for the disk.
#pragma once

#include "MapGeometry.h"
#include "TileSource.h"

#include <QCache>
#include <QThread>

struct MbTilesInfo {
    QString attribution;
    int minZoom = 0;
    int maxZoom = 0;
    // The world when the file names no bounds.
    mapgeo::MapRect bounds;
};

class MbTilesReader {
public:
    // Tiles decoded once and kept, so that enlarging one for many deeper tiles reads it once.
    static constexpr int kDecodedTiles = 16;

    MbTilesReader();
    ~MbTilesReader();
    MbTilesReader(const MbTilesReader&) = delete;
    MbTilesReader& operator=(const MbTilesReader&) = delete;

    static constexpr const char* kMissingFileMessage =
        "Map file not found: %@. The online map is shown instead.";
    static constexpr const char* kUnreadableFileMessage =
        "Map file cannot be read: %@. The online map is shown instead.";
    static constexpr const char* kNotMbTilesMessage =
        "Not a raster MBTiles map: %@. The online map is shown instead.";

    // Null on success, else one of the messages above (untranslated); the reader then answers
    // nothing.
    const char* open(const QString& path);
    const MbTilesInfo& info() const { return m_info; }
    // The tile, enlarged from the deepest level when `key` lies beyond it; a null image when
    // the file has none there.
    QImage read(const TileKey& key);
    void close();

private:
    QImage decoded(const TileKey& key);

    QString m_connection;
    bool m_registered = false;
    bool m_ready = false;
    MbTilesInfo m_info;
    QCache<TileKey, QImage> m_decoded{kDecodedTiles};
};

class MbTilesSource : public TileSource {
    Q_OBJECT

public:
    // Enough to keep the reader busy, few enough that a new view's tiles wait behind little.
    static constexpr int kMaxQueuedReads = 8;

    // Opens `path` on the reader's thread; `opened` or `failed` tells how it went.
    MbTilesSource(const QString& path, QObject* parent);
    ~MbTilesSource() override;

    void fetch(const TileKey& key) override;
    int maxInFlight() const override { return kMaxQueuedReads; }
    const MbTilesInfo& info() const { return m_info; }

signals:
    void opened();
    void failed(const QString& message);

private:
    QThread m_thread;
    // Lives on m_thread, its connection with it.
    QObject* m_worker = nullptr;
    MbTilesReader m_reader;
    MbTilesInfo m_info;
};
