// Writes small MBTiles files for tests and benchmarks: the `metadata` rows given, and tiles
// addressed as the map asks for them (XYZ), stored in the file's TMS rows.
#pragma once

#include "TileMath.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <utility>

using MbTilesMetadata = QList<std::pair<QString, QString>>;

inline bool writeMbTiles(const QString& path, const MbTilesMetadata& metadata,
                         const QList<std::pair<TileKey, QImage>>& tiles) {
    const QString connection = QStringLiteral("mbtiles-writer");
    bool ok = false;
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        database.setDatabaseName(path);
        QSqlQuery query(database);
        const auto run = [&](const char* sql, const QVariantList& values = {}) {
            query.prepare(QLatin1String(sql));
            for (const QVariant& value : values)
                query.addBindValue(value);
            return query.exec();
        };
        ok = database.open() && database.transaction() &&
             run("CREATE TABLE metadata (name TEXT, value TEXT)") &&
             run("CREATE TABLE tiles (zoom_level INTEGER, tile_column INTEGER, tile_row INTEGER, "
                 "tile_data BLOB)") &&
             run("CREATE UNIQUE INDEX tile_index ON tiles (zoom_level, tile_column, tile_row)");
        for (const auto& [name, value] : metadata)
            ok = ok && run("INSERT INTO metadata VALUES (?, ?)", {name, value});
        for (const auto& [key, image] : tiles) {
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            ok = ok && run("INSERT INTO tiles VALUES (?, ?, ?, ?)",
                           {key.zoom, key.x, (1 << key.zoom) - 1 - key.y, png});
        }
        ok = ok && database.commit();
    }
    QSqlDatabase::removeDatabase(connection);
    return ok;
}

// A tile of one colour, or of two when `right` is given (left and right halves).
inline QImage tileImage(const QColor& left, const QColor& right = {}) {
    QImage image(tiles::kTilePixels, tiles::kTilePixels, QImage::Format_RGB32);
    image.fill(left);
    if (right.isValid())
        QPainter(&image).fillRect(tiles::kTilePixels / 2, 0, tiles::kTilePixels / 2,
                                  tiles::kTilePixels, right);
    return image;
}
