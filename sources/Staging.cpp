// Staging copies and their clean-up.
#include "Staging.h"

#include "FileServices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <cstdio>

namespace Staging {
namespace {

constexpr const char* kStagingFolderName = "VeldrinDrops";
constexpr const char* kStagedCopySuffix = ".mp4";
constexpr const char* kStagingFailedLine = "Drop staging failed: ";

void reportStagingFailure(const QString& description) {
    std::fputs(kStagingFailedLine, stdout);
    std::fputs(description.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

QString newStagedCopyName() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + kStagedCopySuffix;
}

} // namespace

QString stagingFolder() {
    return QDir(FileServices::temporaryDirectory()).filePath(kStagingFolderName);
}

std::optional<QUrl> stageClip(const QUrl& file) {
    const QString folder = stagingFolder();
    QString error;
    if (!FileServices::createDirectory(folder, &error)) {
        reportStagingFailure(error);
        return std::nullopt;
    }
    const QString destination = QDir(folder).filePath(newStagedCopyName());
    FileServices::removeItem(destination);
    if (!FileServices::copyItem(FileServices::fullPath(file), destination, &error)) {
        reportStagingFailure(error);
        return std::nullopt;
    }
    // The copy's age drives the start-up clean-up, whatever times the source carried.
    QFile(destination).setFileTime(QDateTime::currentDateTime(), QFileDevice::FileModificationTime);
    return QUrl::fromLocalFile(destination);
}

void removeStagedCopy(const QUrl& stagedCopy) {
    const QFileInfo info(FileServices::fullPath(stagedCopy));
    if (info.absolutePath() == QFileInfo(stagingFolder()).absoluteFilePath())
        FileServices::removeItem(info.absoluteFilePath());
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

} // namespace Staging
