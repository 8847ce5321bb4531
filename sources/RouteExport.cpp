#include "RouteExport.h"

#include "Exports.h"
#include "FileServices.h"
#include "LocalizedString.h"
#include "MovieDuration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>

namespace RouteExport {
namespace {

struct Offered {
    exports::Format format;
    const char* description;
    const char* suffix;
};
constexpr std::array<Offered, 3> kOffered = {{
    {exports::Format::Gpx, "GPS Exchange Format", "gpx"},
    {exports::Format::GeoJson, "GeoJSON", "geojson"},
    {exports::Format::Kml, "Keyhole Markup Language", "kml"},
}};

} // namespace

QStringList nameFilters() {
    QStringList filters;
    for (const Offered& offered : kOffered)
        filters << localizedString(offered.description) + QStringLiteral(" (*.") +
                       QLatin1String(offered.suffix) + QLatin1Char(')');
    return filters;
}

QUrl proposedUrl(const QString& clipPath) {
    if (clipPath.isEmpty())
        return QUrl();
    const QFileInfo clip(clipPath);
    return QUrl::fromLocalFile(
        clip.dir().filePath(FileServices::deletingPathExtension(clip.fileName()) +
                            QLatin1Char('.') + kOffered.front().suffix));
}

QUrl write(const QString& csv, const QString& clipPath, const QUrl& destination, int filterIndex) {
    if (csv.isEmpty() || destination.isEmpty())
        return QUrl();
    QUrl target = destination;
    const QString suffix = QFileInfo(destination.path()).suffix().toLower();
    auto chosen = std::find_if(kOffered.begin(), kOffered.end(),
                               [&](const Offered& o) { return suffix == QLatin1String(o.suffix); });
    if (chosen == kOffered.end()) {
        chosen = kOffered.begin() + std::clamp<int>(filterIndex, 0, int(kOffered.size()) - 1);
        target.setPath(destination.path() + QLatin1Char('.') + chosen->suffix);
    }
    const std::string path = QFile::encodeName(clipPath).toStdString();
    const std::string rows = csv.toStdString();
    const exports::Telemetry telemetry = exports::clipTelemetry(
        rows, QFileInfo(clipPath).fileName().toStdString(), MetadataExtractor::movieDuration(path));
    const std::string text = exports::render(chosen->format, telemetry);
    return FileServices::writeTextAtomically(QString::fromStdString(text), target) ? target
                                                                                   : QUrl();
}

} // namespace RouteExport
