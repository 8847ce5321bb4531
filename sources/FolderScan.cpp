// The metadata scan loop.
#include "FolderScan.h"

#include "FileServices.h"
#include "MetadataOutcome.h"

FolderScan::FolderScan(QList<QUrl> clips, QObject* parent)
    : QObject(parent), clips_(std::move(clips)) {}

void FolderScan::start() {
    scanNext();
}

void FolderScan::cancel() {
    cancelled_ = true;
}

void FolderScan::scanNext() {
    if (cancelled_ || next_ >= clips_.size()) {
        finished_ = true;
        emit finished();
        return;
    }
    const QString path = fileservices::fullPath(clips_[next_]);
    extractInBackground(this, path, [this, path](const MetadataExtractor::Output& output) {
        ++next_;
        if (!cancelled_)
            emit clipScanned(path, metadataStatusFor(output), int(next_));
        scanNext();
    });
}
