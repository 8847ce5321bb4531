// File-system operations over QFileInfo, QFile, QDir, QDirIterator and QSaveFile, and POSIX
// calls where a mode or an owner has to be right from the start.
#include "FileServices.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fileservices {
namespace {

constexpr QChar kExtensionSeparator = u'.';
constexpr const char* kClipExtension = "mp4";
constexpr QChar kPathSeparator = u'/';
const QString kCacheHomeVariable = QStringLiteral("XDG_CACHE_HOME");
const QString kDefaultCacheFolder = QStringLiteral(".cache");
constexpr mode_t kPrivateFolderMode = 0700;
constexpr mode_t kPrivateFileMode = 0600;
constexpr mode_t kGroupAndOtherBits = 077;
constexpr qint64 kCopyChunkBytes = qint64(1) << 20;
const QString kSymbolicLinkError = QStringLiteral("%1 is a symbolic link");
const QString kOtherOwnerError = QStringLiteral("%1 belongs to another user");
const QString kCopyCancelledError = QStringLiteral("The copy was cancelled");

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

QString systemError(const QString& path) {
    return path + QStringLiteral(": ") + qt_error_string(errno);
}

// mkdir of every missing folder on the way to `path`, each private to this user.
bool makeMissingFolders(const QString& path) {
    const QString clean = QDir::cleanPath(path);
    for (qsizetype end = clean.indexOf(kPathSeparator, 1);;
         end = clean.indexOf(kPathSeparator, end + 1)) {
        const QByteArray prefix = QFile::encodeName(end < 0 ? clean : clean.left(end));
        if (::mkdir(prefix.constData(), kPrivateFolderMode) != 0 && errno != EEXIST)
            return false;
        if (end < 0)
            return true;
    }
}

bool writeAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
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

QString cacheDirectory() {
    const QString fromEnvironment = qEnvironmentVariable(qPrintable(kCacheHomeVariable));
    if (QDir::isAbsolutePath(fromEnvironment))
        return fromEnvironment;
    return QDir::home().filePath(kDefaultCacheFolder);
}

PrivateDirectory makePrivateDirectory(const QString& path, QString* errorDescription) {
    const auto fail = [errorDescription](PrivateDirectory outcome, const QString& description) {
        if (errorDescription)
            *errorDescription = description;
        return outcome;
    };
    if (!makeMissingFolders(path))
        return fail(PrivateDirectory::failed, systemError(path));
    const QByteArray native = QFile::encodeName(path);
    // Opened without following a link, so the folder checked is the folder narrowed.
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        struct stat link {};
        if (::lstat(native.constData(), &link) == 0 && S_ISLNK(link.st_mode))
            return fail(PrivateDirectory::refused, kSymbolicLinkError.arg(path));
        return fail(PrivateDirectory::failed, systemError(path));
    }
    struct stat folder {};
    PrivateDirectory outcome = PrivateDirectory::ready;
    QString description;
    if (::fstat(fd, &folder) != 0) {
        outcome = PrivateDirectory::failed;
        description = systemError(path);
    } else if (folder.st_uid != ::geteuid()) {
        outcome = PrivateDirectory::refused;
        description = kOtherOwnerError.arg(path);
    } else if ((folder.st_mode & kGroupAndOtherBits) != 0 &&
               ::fchmod(fd, kPrivateFolderMode) != 0) {
        outcome = PrivateDirectory::failed;
        description = systemError(path);
    }
    ::close(fd);
    return outcome == PrivateDirectory::ready ? outcome : fail(outcome, description);
}

bool isPrivateDirectory(const QString& path) {
    struct stat folder {};
    return ::lstat(QFile::encodeName(path).constData(), &folder) == 0 && S_ISDIR(folder.st_mode) &&
           folder.st_uid == ::geteuid() && (folder.st_mode & kGroupAndOtherBits) == 0;
}

void removeItem(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}

bool copyPrivately(const QString& source, const QString& destination,
                   const std::function<void(qint64, qint64)>& progress,
                   const std::atomic<bool>& cancelled, QString* errorDescription) {
    const auto fail = [errorDescription](const QString& description) {
        if (errorDescription)
            *errorDescription = description;
        return false;
    };
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly))
        return fail(input.errorString());
    const QByteArray target = QFile::encodeName(destination);
    // Private from its first byte: a mode set after the copy leaves a window open.
    const int output = ::open(
        target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kPrivateFileMode);
    if (output < 0)
        return fail(systemError(destination));
    const auto discard = [&](const QString& description) {
        ::close(output);
        ::unlink(target.constData());
        return fail(description);
    };
    const qint64 total = input.size();
    QByteArray buffer(kCopyChunkBytes, Qt::Uninitialized);
    qint64 copied = 0;
    for (;;) {
        if (cancelled.load())
            return discard(kCopyCancelledError);
        const qint64 read = input.read(buffer.data(), buffer.size());
        if (read < 0)
            return discard(input.errorString());
        if (read == 0)
            break;
        if (!writeAll(output, buffer.constData(), read))
            return discard(systemError(destination));
        copied += read;
        if (progress)
            progress(copied, total);
    }
    if (::close(output) != 0) {
        ::unlink(target.constData());
        return fail(systemError(destination));
    }
    return true;
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

} // namespace fileservices
