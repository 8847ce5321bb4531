// The MBTiles source's thread (see MbTiles.h).
#include "MbTiles.h"

#include "LocalizedString.h"

MbTilesSource::MbTilesSource(const QString& path, QObject* parent)
    : TileSource(parent), m_worker(new QObject) {
    m_worker->moveToThread(&m_thread);
    // Run on the reader's thread as it ends: the connection is closed where it was opened.
    connect(
        &m_thread, &QThread::finished, m_worker, [this] { m_reader.close(); },
        Qt::DirectConnection);
    m_thread.start();
    QMetaObject::invokeMethod(m_worker, [this, path] {
        const char* failure = m_reader.open(path);
        const MbTilesInfo info = m_reader.info();
        QMetaObject::invokeMethod(this, [this, failure, path, info] {
            if (failure) {
                emit failed(localizedString(QString::fromLatin1(failure), path));
            } else {
                m_info = info;
                emit opened();
            }
        });
    });
}

MbTilesSource::~MbTilesSource() {
    m_thread.quit();
    m_thread.wait();
    delete m_worker;
}

void MbTilesSource::fetch(const TileKey& key) {
    QMetaObject::invokeMethod(m_worker, [this, key] {
        const QImage image = m_reader.read(key);
        QMetaObject::invokeMethod(this, [this, key, image] { emit answered(key, image, true); });
    });
}
