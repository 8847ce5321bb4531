#include "EvidenceExport.h"

#include "Evidence.h"

#include <QFile>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include <utility>

namespace evidenceexport {
namespace {

struct Outcome {
    QString bundle;
    QString error;
};

} // namespace

void writeInBackground(QObject* context, const QString& clipPath, const QUrl& folder, bool salvage,
                       std::function<void(const QString& bundle, const QString& error)> done) {
    const std::string clip = QFile::encodeName(clipPath).toStdString();
    const std::string outputFolder = QFile::encodeName(folder.toLocalFile()).toStdString();
    auto* watcher = new QFutureWatcher<Outcome>(context);
    QObject::connect(watcher, &QFutureWatcherBase::finished, watcher,
                     [watcher, done = std::move(done)] {
                         const Outcome outcome = watcher->result();
                         watcher->deleteLater();
                         done(outcome.bundle, outcome.error);
                     });
    watcher->setFuture(QtConcurrent::run([clip, outputFolder, salvage] {
        const exports::ClipRecord record = exports::readClip(clip, salvage);
        const MetadataExtractor::Output& output = record.output;
        std::string error = output.isSuccess() ? std::string() : output.message();
        if (error.empty() && output.text().starts_with(MetadataExtractor::kNoMetadataNotice))
            error = MetadataExtractor::kNoMetadataNotice;
        // The bundle's own failures (it exists already, a file cannot be written) name it.
        if (error.empty())
            if (const std::string failed =
                    exports::writeEvidence(record, outputFolder, exports::creationSeconds());
                !failed.empty())
                error = exports::evidenceFolder(record, outputFolder) + ": " + failed;
        if (!error.empty())
            return Outcome{{}, QString::fromStdString(error.substr(0, error.find('\n')))};
        return Outcome{QFile::decodeName(exports::evidenceFolder(record, outputFolder).c_str()),
                       {}};
    }));
}

} // namespace evidenceexport
