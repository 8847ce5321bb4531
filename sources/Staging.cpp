// Staging copies and their clean-up.
#include "Staging.h"

#include "FileServices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <cstdio>

namespace staging {
namespace {

constexpr const char* kStagingFolderName = "VeldrinDrops";
constexpr const char* kStagedCopySuffix = ".mp4";
constexpr const char* kStagingFailedLine = "Drop staging failed: ";
constexpr qint64 kFullPercent = 100;

void reportStagingFailure(const QString& description) {
    // One write: copies fail on worker threads too.
    const QByteArray line = kStagingFailedLine + description.toLocal8Bit() + '\n';
    std::fputs(line.constData(), stdout);
    std::fflush(stdout);
}

QString newStagedCopyName() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + kStagedCopySuffix;
}

} // namespace

QString stagingFolder() {
    return QDir(fileservices::cacheDirectory()).filePath(kStagingFolderName);
}

std::optional<QUrl> reserveCopy(bool* refused) {
    const QString folder = stagingFolder();
    QString error;
    const fileservices::PrivateDirectory outcome =
        fileservices::makePrivateDirectory(folder, &error);
    if (refused)
        *refused = outcome == fileservices::PrivateDirectory::refused;
    if (outcome != fileservices::PrivateDirectory::ready) {
        reportStagingFailure(error);
        return std::nullopt;
    }
    return QUrl::fromLocalFile(QDir(folder).filePath(newStagedCopyName()));
}

bool copyClip(const QUrl& file, const QUrl& copy, const std::function<void(int)>& progress,
              const std::atomic<bool>& cancelled) {
    QString error;
    const auto reportPercent = [&progress](qint64 copied, qint64 total) {
        if (progress && total > 0)
            progress(int(copied * kFullPercent / total));
    };
    if (fileservices::copyPrivately(fileservices::fullPath(file), fileservices::fullPath(copy),
                                    reportPercent, cancelled, &error))
        return true;
    if (!cancelled.load())
        reportStagingFailure(error);
    return false;
}

void removeStagedCopy(const QUrl& stagedCopy) {
    const QFileInfo info(fileservices::fullPath(stagedCopy));
    if (info.absolutePath() == QFileInfo(stagingFolder()).absoluteFilePath())
        fileservices::removeItem(info.absoluteFilePath());
}

int removeCopiesModifiedBefore(const QDateTime& cutoff) {
    int removed = 0;
    const QDir folder(stagingFolder());
    const QFileInfoList copies =
        folder.entryInfoList({QStringLiteral("*") + kStagedCopySuffix}, QDir::Files | QDir::Hidden);
    for (const QFileInfo& copy : copies) {
        if (copy.lastModified() < cutoff && QFile::remove(copy.absoluteFilePath()))
            ++removed;
    }
    return removed;
}

} // namespace staging
