// One background metadata scan over a fixed list of clips: one extraction at a time on the
// thread pool, cancellation tested before each clip. A cancelled scan reports nothing more
// (not even the result of the extraction that was running) except that it has finished.
#pragma once

#include "ClipMetadataStatus.h"

#include <QList>
#include <QObject>
#include <QUrl>

class FolderScan : public QObject {
    Q_OBJECT

public:
    FolderScan(QList<QUrl> clips, QObject* parent = nullptr);

    void start();
    void cancel();
    bool isCancelled() const { return cancelled_; }
    bool isFinished() const { return finished_; }
    int clipCount() const { return int(clips_.size()); }

signals:
    // `scanned` clips of clipCount() are done, the last one being `path`.
    void clipScanned(const QString& path, ClipMetadataStatus status, int scanned);
    // After the last clip, or after a cancellation once no extraction of this scan runs.
    void finished();

private:
    void scanNext();

    const QList<QUrl> clips_;
    qsizetype next_ = 0;
    bool cancelled_ = false;
    bool finished_ = false;
};
