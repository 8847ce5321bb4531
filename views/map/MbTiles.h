// Map tiles from a local MBTiles file for the studio's map: the source runs a reader
// (MbTilesReader.h) on its own thread so that the GUI thread never waits for the disk.
#pragma once

#include "MbTilesReader.h"
#include "TileSource.h"

#include <QThread>

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
    const MbTilesInfo& info() const { return info_; }

signals:
    void opened();
    void failed(const QString& message);

private:
    QThread thread_;
    // Lives on thread_, its connection with it.
    QObject* worker_ = nullptr;
    MbTilesReader reader_;
    MbTilesInfo info_;
};
