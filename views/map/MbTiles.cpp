// The MBTiles source's thread (see MbTiles.h).
#include "MbTiles.h"

#include "LocalizedString.h"

MbTilesSource::MbTilesSource(const QString& path, QObject* parent)
    : TileSource(parent), worker_(new QObject) {
    worker_->moveToThread(&thread_);
    // Run on the reader's thread as it ends: the connection is closed where it was opened.
    connect(
        &thread_, &QThread::finished, worker_, [this] { reader_.close(); }, Qt::DirectConnection);
    thread_.start();
    QMetaObject::invokeMethod(worker_, [this, path] {
        const char* failure = reader_.open(path);
        const MbTilesInfo info = reader_.info();
        QMetaObject::invokeMethod(this, [this, failure, path, info] {
            if (failure) {
                emit failed(localizedString(QString::fromLatin1(failure), path));
            } else {
                info_ = info;
                emit opened();
            }
        });
    });
}

MbTilesSource::~MbTilesSource() {
    thread_.quit();
    thread_.wait();
    delete worker_;
}

void MbTilesSource::fetch(const TileKey& key) {
    QMetaObject::invokeMethod(worker_, [this, key] {
        const QImage image = reader_.read(key);
        QMetaObject::invokeMethod(this, [this, key, image] { emit answered(key, image, true); });
    });
}
