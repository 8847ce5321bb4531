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
