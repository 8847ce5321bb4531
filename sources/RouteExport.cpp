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
#include <utility>

namespace routeexport {
namespace {

struct Offered {
    exports::Format format;
    const char* description;
    const char* suffix;
};
constexpr std::array<Offered, 3> kOffered = {{
    {exports::Format::Gpx, QT_TRANSLATE_NOOP("Veldrin", "GPS Exchange Format"), "gpx"},
    {exports::Format::GeoJson, QT_TRANSLATE_NOOP("Veldrin", "GeoJSON"), "geojson"},
    {exports::Format::Kml, QT_TRANSLATE_NOOP("Veldrin", "Keyhole Markup Language"), "kml"},
}};

// The format and file: an extension naming a format wins, else the filter's is added.
std::pair<exports::Format, QString> chosen(const QUrl& destination, int filterIndex) {
    const QString path = fileservices::fullPath(destination);
    const QString suffix = QFileInfo(path).suffix().toLower();
    const auto named = std::find_if(kOffered.begin(), kOffered.end(), [&](const Offered& o) {
        return suffix == QLatin1String(o.suffix);
    });
    if (named != kOffered.end())
        return {named->format, path};
    const Offered& filter =
        kOffered[std::size_t(std::clamp<int>(filterIndex, 0, int(kOffered.size()) - 1))];
    return {filter.format, path + QLatin1Char('.') + QLatin1String(filter.suffix)};
}

QUrl writeText(const std::string& text, const QString& path) {
    const QUrl target = QUrl::fromLocalFile(path);
    return fileservices::writeTextAtomically(QString::fromStdString(text), target) ? target
                                                                                   : QUrl();
}

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
        clip.dir().filePath(fileservices::deletingPathExtension(clip.fileName()) +
                            QLatin1Char('.') + kOffered.front().suffix));
}

QUrl proposedTripUrl(const trips::Trip& trip) {
    if (trip.moments.empty())
        return QUrl();
    const QString joined = QString::fromStdString(trips::joinedTripFileName(trip.startText, 1));
    return QUrl::fromLocalFile(QDir(QString::fromStdString(trip.moments.front().folder))
                                   .filePath(fileservices::deletingPathExtension(joined) +
                                             QLatin1Char('.') + kOffered.front().suffix));
}

QUrl finalUrl(const QUrl& destination, int filterIndex) {
    return destination.isEmpty() ? QUrl()
                                 : QUrl::fromLocalFile(chosen(destination, filterIndex).second);
}

QUrl write(const analysis::TelemetryTable& table, const QString& clipPath, const QUrl& destination,
           int filterIndex) {
    if (table.empty() || destination.isEmpty())
        return QUrl();
    const auto [format, target] = chosen(destination, filterIndex);
    const exports::Telemetry telemetry = exports::clipTelemetry(
        table, QFileInfo(clipPath).fileName().toStdString(),
        MetadataExtractor::movieDuration(QFile::encodeName(clipPath).toStdString()));
    return writeText(exports::render(format, telemetry), target);
}

QUrl writeTrip(const trips::Trip& trip, const QUrl& destination, int filterIndex) {
    if (trip.moments.empty() || destination.isEmpty())
        return QUrl();
    const auto [format, target] = chosen(destination, filterIndex);
    const std::string joined = trips::joinedTripFileName(trip.startText, 1);
    const exports::Telemetry telemetry =
        exports::tripTelemetry(trip, joined.substr(0, joined.rfind('.')));
    return writeText(exports::render(format, telemetry), target);
}

} // namespace routeexport
