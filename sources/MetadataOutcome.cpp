// Outcome of an extraction as the clip sources classify it, and the background run.
#include "MetadataOutcome.h"

#include <QFile>
#include <QFutureWatcher>
#include <QRegularExpression>
#include <QtConcurrent/QtConcurrentRun>

#include <optional>

namespace {
constexpr const char* kNoMetadataLineStart = "No SEI metadata found";

std::function<void(const QString&)>& beforeExtractionHook() {
    static std::function<void(const QString&)> hook;
    return hook;
}
} // namespace

void setBeforeExtractionHookForTesting(std::function<void(const QString& path)> hook) {
    beforeExtractionHook() = std::move(hook);
}

bool csvHasMetadata(const QString& text) {
    // Line feed, vertical tab, form feed, carriage return (alone or before a line feed),
    // next line, line separator, paragraph separator.
    static const QRegularExpression lineBreaks(QStringLiteral("\r\n|[\n\v\f\r\u0085\u2028\u2029]"));
    const QStringList lines = text.split(lineBreaks, Qt::SkipEmptyParts);
    const QString first = lines.isEmpty() ? QString() : lines.first().trimmed();
    return !first.startsWith(QLatin1String(kNoMetadataLineStart));
}

ClipMetadataStatus metadataStatusFor(const MetadataExtractor::Output& output) {
    if (!output.isSuccess())
        return ClipMetadataStatus::error;
    return csvHasMetadata(QString::fromStdString(output.text())) ? ClipMetadataStatus::withMetadata
                                                                 : ClipMetadataStatus::noMetadata;
}

void extractInBackground(QObject* context, const QString& path,
                         std::function<void(const MetadataExtractor::Output&)> done, bool salvage) {
    const std::string nativePath = QFile::encodeName(path).toStdString();
    // The engine's Output has no empty state, which QFuture needs to hold a result. The
    // watcher belongs to `context`, so a destroyed context never hears of the result.
    using Result = std::optional<MetadataExtractor::Output>;
    auto* watcher = new QFutureWatcher<Result>(context);
    QObject::connect(watcher, &QFutureWatcherBase::finished, watcher,
                     [watcher, done = std::move(done)] {
                         const Result output = watcher->result();
                         watcher->deleteLater();
                         done(*output);
                     });
    watcher->setFuture(
        QtConcurrent::run([nativePath, path, salvage, hook = beforeExtractionHook()] {
            if (hook)
                hook(path);
            return Result(MetadataExtractor::extract(nativePath, {salvage, {}}));
        }));
}
