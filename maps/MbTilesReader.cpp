// MBTiles reading (see MbTilesReader.h).
#include "MbTilesReader.h"

#include <QFileInfo>
#include <QPainter>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>

namespace {
constexpr const char* kDriver = "QSQLITE";
constexpr const char* kConnectOptions = "QSQLITE_OPEN_READONLY";
constexpr const char* kConnectionPrefix = "veldrin-mbtiles-";
constexpr const char* kTileQuery =
    "SELECT tile_data FROM tiles WHERE zoom_level = ? AND tile_column = ? AND tile_row = ?";
constexpr const char* kZoomRangeQuery = "SELECT MIN(zoom_level), MAX(zoom_level) FROM tiles";
const QStringList kRasterFormats = {QStringLiteral("png"), QStringLiteral("jpg"),
                                    QStringLiteral("jpeg"), QStringLiteral("webp")};

std::atomic<int> connectionCount{0};

// "left,bottom,right,top" in degrees; the world when absent or malformed.
mapgeo::MapRect boundsFromText(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    double edges[4] = {};
    for (qsizetype i = 0; i < parts.size() && parts.size() == 4; ++i) {
        bool ok = false;
        edges[i] = parts[i].trimmed().toDouble(&ok);
        if (!ok)
            return mapgeo::mapRectWorld();
    }
    if (parts.size() != 4 || edges[0] >= edges[2] || edges[1] >= edges[3])
        return mapgeo::mapRectWorld();
    const mapgeo::MapPoint topLeft = mapgeo::mapPointForCoordinate({edges[3], edges[0]});
    const mapgeo::MapPoint bottomRight = mapgeo::mapPointForCoordinate({edges[1], edges[2]});
    return {topLeft, {bottomRight.x - topLeft.x, bottomRight.y - topLeft.y}};
}

bool overlaps(const mapgeo::MapRect& a, const mapgeo::MapRect& b) {
    return a.minX() < b.maxX() && b.minX() < a.maxX() && a.minY() < b.maxY() && b.minY() < a.maxY();
}
} // namespace

MbTilesReader::MbTilesReader()
    : m_connection(QLatin1String(kConnectionPrefix) + QString::number(++connectionCount)) {}

MbTilesReader::~MbTilesReader() {
    close();
}

const char* MbTilesReader::open(const QString& path) {
    const QFileInfo file(path);
    if (!file.exists())
        return kMissingFileMessage;
    if (!file.isFile() || !file.isReadable())
        return kUnreadableFileMessage;
    QSqlDatabase database = QSqlDatabase::addDatabase(QLatin1String(kDriver), m_connection);
    m_registered = true;
    database.setConnectOptions(QLatin1String(kConnectOptions));
    database.setDatabaseName(path);
    if (!database.open())
        return kUnreadableFileMessage;

    QHash<QString, QString> metadata;
    QSqlQuery query(database);
    if (!query.exec(QStringLiteral("SELECT name, value FROM metadata")))
        return kNotMbTilesMessage;
    while (query.next())
        metadata.insert(query.value(0).toString(), query.value(1).toString());
    const QString format = metadata.value(QStringLiteral("format")).toLower();
    if (!format.isEmpty() && !kRasterFormats.contains(format))
        return kNotMbTilesMessage;

    bool minOk = false;
    bool maxOk = false;
    m_info.minZoom = metadata.value(QStringLiteral("minzoom")).toInt(&minOk);
    m_info.maxZoom = metadata.value(QStringLiteral("maxzoom")).toInt(&maxOk);
    if (!query.exec(QLatin1String(kZoomRangeQuery)) || !query.next())
        return kNotMbTilesMessage;
    if (!minOk || !maxOk) {
        if (query.value(1).isNull())
            return kNotMbTilesMessage;
        m_info.minZoom = query.value(0).toInt();
        m_info.maxZoom = query.value(1).toInt();
    }
    m_info.maxZoom = std::min(m_info.maxZoom, tiles::kMaxZoom);
    m_info.attribution = metadata.value(QStringLiteral("attribution"));
    m_info.bounds = boundsFromText(metadata.value(QStringLiteral("bounds")));
    m_ready = true;
    return nullptr;
}

void MbTilesReader::close() {
    m_ready = false;
    if (!m_registered)
        return;
    m_registered = false;
    m_decoded.clear();
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

QImage MbTilesReader::decoded(const TileKey& key) {
    if (const QImage* image = m_decoded.object(key))
        return *image;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QLatin1String(kTileQuery));
    query.addBindValue(key.zoom);
    query.addBindValue(key.x);
    // TMS rows count from the south.
    query.addBindValue((1 << key.zoom) - 1 - key.y);
    QImage image;
    if (query.exec() && query.next())
        image.loadFromData(query.value(0).toByteArray());
    if (image.isNull())
        return image;
    image.convertTo(QImage::Format_ARGB32_Premultiplied);
    m_decoded.insert(key, new QImage(image));
    return image;
}

QImage MbTilesReader::read(const TileKey& key) {
    if (!m_ready || key.zoom < m_info.minZoom || key.zoom > tiles::kMaxZoom ||
        !overlaps(tiles::tileMapRect(key), m_info.bounds))
        return {};
    const int depth = std::max(0, key.zoom - m_info.maxZoom);
    const TileKey deepest{key.zoom - depth, key.x >> depth, key.y >> depth};
    const QImage image = decoded(deepest);
    if (image.isNull() || depth == 0)
        return image;
    const double span = 1.0 / (1 << depth);
    const QRectF part((key.x - (deepest.x << depth)) * span * image.width(),
                      (key.y - (deepest.y << depth)) * span * image.height(), span * image.width(),
                      span * image.height());
    QImage enlarged(image.size(), QImage::Format_ARGB32_Premultiplied);
    enlarged.fill(Qt::transparent);
    QPainter painter(&enlarged);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(enlarged.rect()), image, part);
    return enlarged;
}
