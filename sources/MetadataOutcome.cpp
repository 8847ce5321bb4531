// Outcome of an extraction as the clip sources classify it, and the background run.
#include "MetadataOutcome.h"

#include <QFile>
#include <QFuture>
#include <QRegularExpression>
#include <QtConcurrent/QtConcurrentRun>

#include <optional>

namespace {
constexpr const char* kNoMetadataLineStart = "No SEI metadata found";
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
                         std::function<void(const MetadataExtractor::Output&)> done) {
    const std::string nativePath = QFile::encodeName(path).toStdString();
    // The engine's Output has no default state, which QFuture needs to hold a result.
    QFuture<std::optional<MetadataExtractor::Output>> future = QtConcurrent::run(
        [nativePath] { return std::optional(MetadataExtractor::extract(nativePath)); });
    future.then(context, [done = std::move(done)](std::optional<MetadataExtractor::Output> out) {
        done(*out);
    });
}
