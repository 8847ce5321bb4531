// CSV export: the proposed name and the atomic write.
#include "CsvExport.h"

#include "FileServices.h"

#include <QDir>
#include <QFileInfo>

namespace csvexport {
namespace {
constexpr const char* kExportSuffix = "_sei.csv";
}

QString proposedFileName(const QString& clipName) {
    return fileservices::deletingPathExtension(clipName) + kExportSuffix;
}

QUrl proposedUrl(const QString& clipPath) {
    if (clipPath.isEmpty())
        return QUrl();
    const QFileInfo clip(clipPath);
    // A URL built from the path itself: '#', '%' and '?' in a name stay part of it.
    return QUrl::fromLocalFile(clip.dir().filePath(proposedFileName(clip.fileName())));
}

bool write(const QString& csv, const QUrl& destination) {
    return fileservices::writeTextAtomically(csv, destination);
}

} // namespace csvexport
