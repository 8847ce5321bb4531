// Raster tiles from a local MBTiles file (an SQLite database: a `tiles` table in TMS row order
// and a `metadata` table), for the studio's map and for the renderer's mini map. The reader is
// used on one thread only, since a database connection belongs to the thread that opened it.
#pragma once

#include "MapGeometry.h"
#include "TileMath.h"

#include <QCache>
#include <QImage>

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
        QT_TRANSLATE_NOOP("Veldrin", "Map file not found: %@. The online map is shown instead.");
    static constexpr const char* kUnreadableFileMessage = QT_TRANSLATE_NOOP(
        "Veldrin", "Map file cannot be read: %@. The online map is shown instead.");
    static constexpr const char* kNotMbTilesMessage = QT_TRANSLATE_NOOP(
        "Veldrin", "Not a raster MBTiles map: %@. The online map is shown instead.");

    // Null on success, else one of the messages above (untranslated); the reader then answers
    // nothing.
    const char* open(const QString& path);
    const MbTilesInfo& info() const { return info_; }
    // The tile, enlarged from the deepest level when `key` lies beyond it; a null image when
    // the file has none there.
    QImage read(const TileKey& key);
    void close();

private:
    QImage decoded(const TileKey& key);

    QString connection_;
    bool registered_ = false;
    bool ready_ = false;
    MbTilesInfo info_;
    QCache<TileKey, QImage> decoded_{kDecodedTiles};
};
