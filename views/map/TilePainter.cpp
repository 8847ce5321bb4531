// Tile drawing, stand-ins for missing tiles and their reporting (see TilePainter.h).
#include "TilePainter.h"

#include "TileLayer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// Missing tiles are stood in for by an enlarged part of a loaded tile this many levels up.
constexpr int kMaxFallbackLevels = 4;
constexpr int kAttributionPixelSize = 9;
constexpr double kAttributionMargin = 3.0;
constexpr double kAttributionBackgroundAlpha = 0.75;
const QColor kAttributionTextColor{40, 40, 40};

QRectF snappedViewRect(const mapgeo::MapViewport& viewport, const mapgeo::MapRect& rect) {
    const QPointF topLeft = viewport.viewPointForMapPoint(rect.origin);
    const QPointF bottomRight = viewport.viewPointForMapPoint({rect.maxX(), rect.maxY()});
    // Whole pixels, so that neighbouring tiles meet without a seam.
    return QRectF(QPointF(std::round(topLeft.x()), std::round(topLeft.y())),
                  QPointF(std::round(bottomRight.x()), std::round(bottomRight.y())));
}

} // namespace

const QColor TilePainter::kBackgroundColor{242, 239, 233};

TilePainter::TilePainter(TileLayer& tiles, QObject* parent) : QObject(parent), tiles_(tiles) {}

const QImage& TilePainter::image(const mapgeo::MapViewport& viewport, const QSize& pixelSize,
                                 qreal devicePixelRatio,
                                 const std::function<void(QPainter&)>& paintOver) {
    const bool render =
        dirty_ || image_.size() != pixelSize || image_.devicePixelRatio() != devicePixelRatio;
    if (render)
        this->render(viewport, pixelSize, devicePixelRatio, paintOver);
    // Asked again on every repaint (the car moving), so tiles whose retry delay has passed
    // come back without the user touching the map. The network lives on the GUI thread, and
    // one report waiting there is enough: it reads the newest paint's tiles.
    if ((render || !paintMissing_.isEmpty()) && !tileReportPending_) {
        tileReportPending_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                tileReportPending_ = false;
                tilesMissing(paintMissing_, paintShowedTile_);
            },
            Qt::QueuedConnection);
    }
    return image_;
}

void TilePainter::render(const mapgeo::MapViewport& viewport, const QSize& pixelSize,
                         qreal devicePixelRatio, const std::function<void(QPainter&)>& paintOver) {
    if (image_.size() != pixelSize)
        image_ = QImage(pixelSize, QImage::Format_ARGB32_Premultiplied);
    image_.setDevicePixelRatio(devicePixelRatio);
    image_.fill(kBackgroundColor);
    QPainter painter(&image_);
    paintTiles(painter, viewport);
    paintOver(painter);
    dirty_ = false;
}

void TilePainter::paintTiles(QPainter& painter, const mapgeo::MapViewport& viewport) {
    // One tile pixel per device pixel keeps tiles crisp on dense screens.
    const int zoom = tiles::zoomLevelForScale(viewport.pixelsPerMapPoint() *
                                              painter.device()->devicePixelRatio());
    const QList<TileKey> keys = tiles::tilesCovering(viewport.visibleMapRect(), zoom);
    paintMissing_.clear();
    paintShowedTile_ = false;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const TileKey& key : keys) {
        const QRectF target = snappedViewRect(viewport, tiles::tileMapRect(key));
        const QImage image = tiles_.tile(key);
        if (!image.isNull()) {
            painter.drawImage(target, image);
            paintShowedTile_ = true;
            continue;
        }
        paintMissing_.append(key);
        TileKey ancestor = key;
        for (int levels = 1; levels <= kMaxFallbackLevels && ancestor.zoom > 0; ++levels) {
            ancestor = tiles::parentTile(ancestor);
            const QImage stand = tiles_.tile(ancestor);
            if (stand.isNull())
                continue;
            const double part = static_cast<double>(stand.width()) / (1 << levels);
            const QRectF source((key.x - (ancestor.x << levels)) * part,
                                (key.y - (ancestor.y << levels)) * part, part, part);
            painter.drawImage(target, stand, source);
            paintShowedTile_ = true;
            break;
        }
    }
}

void TilePainter::tilesMissing(const QList<TileKey>& missing, bool anyTileShown) {
    missingTiles_ = missing;
    anyTileShown_ = anyTileShown;
    tiles_.request(missing);
    updateTilesUnavailable();
}

void TilePainter::updateTilesUnavailable() {
    const bool unavailable =
        !anyTileShown_ && std::any_of(missingTiles_.cbegin(), missingTiles_.cend(),
                                      [this](const TileKey& key) { return tiles_.hasFailed(key); });
    if (unavailable == tilesUnavailable_)
        return;
    tilesUnavailable_ = unavailable;
    emit tilesUnavailableChanged();
}

double TilePainter::attributionHeight() {
    QFont font = QGuiApplication::font();
    font.setPixelSize(kAttributionPixelSize);
    return QFontMetricsF(font).height() + 2.0 * kAttributionMargin;
}

void TilePainter::paintAttribution(QPainter& painter, const QSizeF& viewSize) const {
    const QString text = tiles_.attribution();
    if (text.isEmpty())
        return;
    painter.save();
    QFont font = painter.font();
    font.setPixelSize(kAttributionPixelSize);
    painter.setFont(font);
    const QSizeF textSize = painter.fontMetrics().size(Qt::TextSingleLine, text);
    const QRectF box(viewSize.width() - textSize.width() - 2.0 * kAttributionMargin,
                     viewSize.height() - textSize.height() - 2.0 * kAttributionMargin,
                     textSize.width() + 2.0 * kAttributionMargin,
                     textSize.height() + 2.0 * kAttributionMargin);
    QColor background(Qt::white);
    background.setAlphaF(kAttributionBackgroundAlpha);
    painter.fillRect(box, background);
    painter.setPen(kAttributionTextColor);
    painter.drawText(box, Qt::AlignCenter, text);
    painter.restore();
}
