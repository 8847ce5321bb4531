// File-system operations over QFileInfo, QFile, QDir, QDirIterator and QSaveFile.
#include "FileServices.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace FileServices {
namespace {

constexpr QChar kExtensionSeparator = u'.';
constexpr const char* kClipExtension = "mp4";
constexpr QChar kPathSeparator = u'/';

QString withoutTrailingSeparators(QString path) {
    while (path.size() > 1 && path.endsWith(kPathSeparator))
        path.chop(1);
    return path;
}

int lastExtensionDot(const QString& name) {
    const qsizetype dot = name.lastIndexOf(kExtensionSeparator);
    // A dot that opens the name marks it hidden; it does not start an extension.
    return dot > 0 ? int(dot) : -1;
}

} // namespace

std::optional<qint64> fileSize(const QUrl& file) {
    if (!file.isLocalFile())
        return std::nullopt;
    const QFileInfo info(file.toLocalFile());
    if (!info.exists() || !info.isFile())
        return std::nullopt;
    return info.size();
}

QString temporaryDirectory() {
    return QDir::tempPath();
}

bool createDirectory(const QString& path, QString* errorDescription) {
    if (QFileInfo(path).isDir() || QDir().mkpath(path))
        return true;
    if (errorDescription)
        *errorDescription = QStringLiteral("Could not create the folder %1").arg(path);
    return false;
}

void removeItem(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}

bool copyItem(const QString& source, const QString& destination, QString* errorDescription) {
    QFile file(source);
    if (file.copy(destination))
        return true;
    if (errorDescription)
        *errorDescription = file.errorString();
    return false;
}

std::optional<QList<QUrl>> enumerateDeep(const QUrl& folder) {
    if (!folder.isLocalFile())
        return std::nullopt;
    const QString root = folder.toLocalFile();
    const QFileInfo info(root);
    if (!info.isDir() || !info.isReadable() || !info.isExecutable())
        return std::nullopt;
    // Without QDir::Hidden the iterator neither lists hidden entries nor descends into
    // hidden folders; symbolic links to folders are listed but not followed (no cycles).
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System,
                    QDirIterator::Subdirectories);
    QList<QUrl> entries;
    while (it.hasNext())
        entries.append(QUrl::fromLocalFile(it.next()));
    return entries;
}

bool writeTextAtomically(const QString& text, const QUrl& destination, QString* errorDescription) {
    const auto fail = [errorDescription](const QString& description) {
        if (errorDescription)
            *errorDescription = description;
        return false;
    };
    if (!destination.isLocalFile())
        return fail(QStringLiteral("Not a local file: %1").arg(destination.toString()));
    QSaveFile file(destination.toLocalFile());
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size()) {
        const QString description = file.errorString();
        file.cancelWriting();
        return fail(description);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

QString fullPath(const QUrl& url) {
    return url.isLocalFile() ? url.toLocalFile() : url.path();
}

QString lastPathComponent(const QString& path) {
    const QString trimmed = withoutTrailingSeparators(path);
    if (trimmed == QString(kPathSeparator))
        return trimmed;
    return trimmed.mid(trimmed.lastIndexOf(kPathSeparator) + 1);
}

QString lastPathComponent(const QUrl& url) {
    return lastPathComponent(fullPath(url));
}

QString pathExtension(const QString& name) {
    const QString component = lastPathComponent(name);
    const int dot = lastExtensionDot(component);
    return dot < 0 ? QString() : component.mid(dot + 1);
}

QString deletingPathExtension(const QString& name) {
    const QString component = lastPathComponent(name);
    const int dot = lastExtensionDot(component);
    if (dot < 0)
        return name;
    return name.left(name.size() - (component.size() - dot));
}

bool isClipFile(const QUrl& url) {
    return pathExtension(fullPath(url))
               .compare(QLatin1String(kClipExtension), Qt::CaseInsensitive) == 0;
}

} // namespace FileServices
