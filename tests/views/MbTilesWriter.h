// Writes small MBTiles files for tests and benchmarks: the `metadata` rows given, and tiles
// addressed as the map asks for them (XYZ), stored in the file's TMS rows.
#pragma once

#include "TileMath.h"

#include <QImage>
#include <QList>
#include <QString>
#include <utility>

using MbTilesMetadata = QList<std::pair<QString, QString>>;

bool writeMbTiles(const QString& path, const MbTilesMetadata& metadata,
                  const QList<std::pair<TileKey, QImage>>& tiles);
// A tile of one colour, or of two when `right` is given (left and right halves).
QImage tileImage(const QColor& left, const QColor& right = {});
