#include "RecoveredTiming.h"

#include "MetadataExtractor.h"
#include "MovieDuration.h"
#include "NaturalCompare.h"
#include "Trips.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace recoveredtiming {

std::optional<double> secondsPerRowNear(const QString& clipPath) {
    const QFileInfo clip(clipPath);
    const std::optional<trips::ClipName> name = trips::parseClipName(clip.fileName().toStdString());
    if (!name)
        return std::nullopt;
    QStringList siblings = clip.dir().entryList(QDir::Files);
    std::sort(siblings.begin(), siblings.end(), [](const QString& a, const QString& b) {
        return MetadataExtractor::naturalLess(a.toStdString(), b.toStdString());
    });
    for (const QString& sibling : siblings) {
        const std::optional<trips::ClipName> other = trips::parseClipName(sibling.toStdString());
        if (sibling == clip.fileName() || !other || other->camera != name->camera)
            continue;
        const std::string path = QFile::encodeName(clip.dir().filePath(sibling)).toStdString();
        const std::optional<double> duration = MetadataExtractor::movieDuration(path);
        if (!duration || !(*duration > 0))
            continue;
        const MetadataExtractor::Output output = MetadataExtractor::extract(path);
        const std::string& text = output.text();
        // The no-telemetry notice has line feeds too, but no rows.
        if (!output.isSuccess() || text.starts_with(MetadataExtractor::kNoMetadataNotice))
            continue;
        // Lines are joined by newlines with none after the last: one per row after the header.
        const auto rows = std::count(text.begin(), text.end(), '\n');
        if (rows > 0)
            return *duration / double(rows);
    }
    return std::nullopt;
}

} // namespace recoveredtiming
