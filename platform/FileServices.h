// The file-system operations the clip sources need, over Qt's file classes: size query,
// temporary directory, folder creation, copy, removal, deep enumeration without hidden
// entries, atomic UTF-8 text write, and the URL parts the callers use. Errors come back as
// a human-readable description; nothing here shows or logs anything.
#pragma once

#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

namespace FileServices {

// Size in bytes of the regular file at `file`; nothing when it is absent, not a regular file
// or cannot be queried.
std::optional<qint64> fileSize(const QUrl& file);

// The per-user temporary directory (honours TMPDIR).
QString temporaryDirectory();

// Creates `path` with any missing parent folders. An existing folder is success.
bool createDirectory(const QString& path, QString* errorDescription = nullptr);

// Removes the file or folder at `path`, if any; the outcome is not reported.
void removeItem(const QString& path);

// Copies `source` to `destination` (which must not exist) completely, or reports an error
// and leaves no file at `destination`.
bool copyItem(const QString& source, const QString& destination,
              QString* errorDescription = nullptr);

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

} // namespace FileServices
