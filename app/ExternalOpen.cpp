#include "ExternalOpen.h"

#include "FileServices.h"

#include <QFileInfo>

namespace {
const QString kOptionPrefix = QStringLiteral("--");
} // namespace

std::optional<QUrl> firstClipUrl(const QList<QUrl>& urls) {
    for (const QUrl& url : urls) {
        if (url.isLocalFile() && fileservices::isClipFile(url))
            return url;
    }
    return std::nullopt;
}

std::optional<QUrl> firstFolderUrl(const QList<QUrl>& urls) {
    for (const QUrl& url : urls) {
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isDir())
            return url;
    }
    return std::nullopt;
}

QList<QUrl> urlsFromArguments(const QStringList& arguments, const QString& workingDirectory) {
    QList<QUrl> urls;
    for (const QString& argument : arguments) {
        if (argument.startsWith(kOptionPrefix))
            continue;
        urls.append(QUrl::fromUserInput(argument, workingDirectory, QUrl::AssumeLocalFile));
    }
    return urls;
}
