// The file-system operations the clip sources and the application need, over Qt's file
// classes and POSIX where modes and owners matter: size query, the user's cache folder,
// private folders, a private copy with progress, removal, deep enumeration without hidden
// entries, atomic UTF-8 text write, and the URL parts the callers use. Errors come back as
// a human-readable description; nothing here shows or logs anything.
#pragma once

#include <QList>
#include <QString>
#include <QUrl>

#include <atomic>
#include <functional>
#include <optional>

namespace fileservices {

// Size in bytes of the regular file at `file`; nothing when it is absent, not a regular file
// or cannot be queried.
std::optional<qint64> fileSize(const QUrl& file);

// The user's cache folder: $XDG_CACHE_HOME when it is an absolute path, else ~/.cache.
QString cacheDirectory();

enum class PrivateDirectory {
    ready,
    // A symbolic link, or a folder of another user: never used, never changed.
    refused,
    failed,
};

// Makes `path` a folder that only this user can enter: creates it (and missing parents)
// with mode 0700, and narrows an existing folder of this user to 0700.
PrivateDirectory makePrivateDirectory(const QString& path, QString* errorDescription = nullptr);

// Whether `path` is a real folder of this user that nobody else can enter. Changes nothing.
bool isPrivateDirectory(const QString& path);

// Removes the file or folder at `path`, if any; the outcome is not reported.
void removeItem(const QString& path);

// Copies `source` to a new file `destination`, created with mode 0600, completely; or
// reports an error and leaves no file at `destination`. `progress` hears the bytes copied
// so far after each chunk; once `cancelled` holds, the copy stops and fails. Any thread.
bool copyPrivately(const QString& source, const QString& destination,
                   const std::function<void(qint64 copied, qint64 total)>& progress,
                   const std::atomic<bool>& cancelled, QString* errorDescription = nullptr);

// Every entry below `folder` at any depth (files and folders), skipping hidden entries and
// everything under a hidden folder, in the walk's order. Unreadable entries are skipped.
// Nothing when `folder` is not a readable folder.
std::optional<QList<QUrl>> enumerateDeep(const QUrl& folder);

// Writes `text` as UTF-8 (no byte-order mark) to `destination` through a temporary file that
// then replaces it: the destination holds the whole text or keeps what it held.
bool writeTextAtomically(const QString& text, const QUrl& destination,
                         QString* errorDescription = nullptr);

// URL parts.
// The full path text of a file URL: a clip's identity.
QString fullPath(const QUrl& url);
// The last path component, ignoring trailing slashes ("Clips" for ".../Clips/").
QString lastPathComponent(const QUrl& url);
QString lastPathComponent(const QString& path);
// The text after the last dot of the last path component; empty without one. A leading dot
// alone does not start an extension (".mp4" has none).
QString pathExtension(const QString& name);

// Whether `url` names a clip by its extension: "mp4" in any letter case.
bool isClipFile(const QUrl& url);
// `name` without its last extension and its dot ("a.b.mp4" -> "a.b", "front" -> "front").
QString deletingPathExtension(const QString& name);

} // namespace fileservices
