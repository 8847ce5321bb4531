// Files handed over by the operating system: which one of them is a clip to load.
#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>

#include <optional>

// The first file URL whose extension, in any letter case, is "mp4"; later ones are ignored.
std::optional<QUrl> firstClipUrl(const QList<QUrl>& urls);

// The first URL that names a local folder, a batch to open; or none.
std::optional<QUrl> firstFolderUrl(const QList<QUrl>& urls);

// Command-line arguments (paths or URLs) as URLs, relative paths resolved against
// `workingDirectory`. Options (arguments starting with "--") are left out.
QList<QUrl> urlsFromArguments(const QStringList& arguments, const QString& workingDirectory);
