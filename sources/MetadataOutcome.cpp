// Outcome of an extraction as the clip sources classify it, and the background run.
#include "MetadataOutcome.h"

#include "TelemetryTable.h"

#include <QFile>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <optional>

namespace {

std::function<void(const QString&)>& beforeExtractionHook() {
    static std::function<void(const QString&)> hook;
    return hook;
}
} // namespace

void setBeforeExtractionHookForTesting(std::function<void(const QString& path)> hook) {
    beforeExtractionHook() = std::move(hook);
}

bool csvHasMetadata(const QString& text) {
    // Only the first line that is not empty counts: it is found without splitting the whole
    // text. Line feed, vertical tab, form feed, carriage return, next line, line separator,
    // paragraph separator.
    const auto isLineBreak = [](QChar c) {
        return c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r' || c == u'\u0085' ||
               c == u'\u2028' || c == u'\u2029';
    };
    const auto end = text.cend();
    const auto first = std::find_if_not(text.cbegin(), end, isLineBreak);
    const QStringView line(first, std::find_if(first, end, isLineBreak));
    return !line.trimmed().startsWith(
        QLatin1String(analysis::kNoMetadataLineStart.data(),
                      static_cast<qsizetype>(analysis::kNoMetadataLineStart.size())));
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
            return Result(MetadataExtractor::extract(nativePath, {salvage, {}, {}}));
        }));
}
