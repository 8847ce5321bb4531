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

TilePainter::TilePainter(TileLayer& tiles, QObject* parent) : QObject(parent), m_tiles(tiles) {}

const QImage& TilePainter::image(const mapgeo::MapViewport& viewport, const QSize& pixelSize,
                                 qreal devicePixelRatio,
                                 const std::function<void(QPainter&)>& paintOver) {
    const bool render =
        m_dirty || m_image.size() != pixelSize || m_image.devicePixelRatio() != devicePixelRatio;
    if (render)
        this->render(viewport, pixelSize, devicePixelRatio, paintOver);
    // Asked again on every repaint (the car moving), so tiles whose retry delay has passed
    // come back without the user touching the map. The network lives on the GUI thread, and
    // one report waiting there is enough: it reads the newest paint's tiles.
    if ((render || !m_paintMissing.isEmpty()) && !m_tileReportPending) {
        m_tileReportPending = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_tileReportPending = false;
                tilesMissing(m_paintMissing, m_paintShowedTile);
            },
            Qt::QueuedConnection);
    }
    return m_image;
}

void TilePainter::render(const mapgeo::MapViewport& viewport, const QSize& pixelSize,
                         qreal devicePixelRatio, const std::function<void(QPainter&)>& paintOver) {
    if (m_image.size() != pixelSize)
        m_image = QImage(pixelSize, QImage::Format_ARGB32_Premultiplied);
    m_image.setDevicePixelRatio(devicePixelRatio);
    m_image.fill(kBackgroundColor);
    QPainter painter(&m_image);
    paintTiles(painter, viewport);
    paintOver(painter);
    m_dirty = false;
}

void TilePainter::paintTiles(QPainter& painter, const mapgeo::MapViewport& viewport) {
    // One tile pixel per device pixel keeps tiles crisp on dense screens.
    const int zoom = tiles::zoomLevelForScale(viewport.pixelsPerMapPoint() *
                                              painter.device()->devicePixelRatio());
    const QList<TileKey> keys = tiles::tilesCovering(viewport.visibleMapRect(), zoom);
    m_paintMissing.clear();
    m_paintShowedTile = false;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const TileKey& key : keys) {
        const QRectF target = snappedViewRect(viewport, tiles::tileMapRect(key));
        const QImage image = m_tiles.tile(key);
        if (!image.isNull()) {
            painter.drawImage(target, image);
            m_paintShowedTile = true;
            continue;
        }
        m_paintMissing.append(key);
        TileKey ancestor = key;
        for (int levels = 1; levels <= kMaxFallbackLevels && ancestor.zoom > 0; ++levels) {
            ancestor = tiles::parentTile(ancestor);
            const QImage stand = m_tiles.tile(ancestor);
            if (stand.isNull())
                continue;
            const double part = static_cast<double>(stand.width()) / (1 << levels);
            const QRectF source((key.x - (ancestor.x << levels)) * part,
                                (key.y - (ancestor.y << levels)) * part, part, part);
            painter.drawImage(target, stand, source);
            m_paintShowedTile = true;
            break;
        }
    }
}

void TilePainter::tilesMissing(const QList<TileKey>& missing, bool anyTileShown) {
    m_missingTiles = missing;
    m_anyTileShown = anyTileShown;
    m_tiles.request(missing);
    updateTilesUnavailable();
}

void TilePainter::updateTilesUnavailable() {
    const bool unavailable =
        !m_anyTileShown &&
        std::any_of(m_missingTiles.cbegin(), m_missingTiles.cend(),
                    [this](const TileKey& key) { return m_tiles.hasFailed(key); });
    if (unavailable == m_tilesUnavailable)
        return;
    m_tilesUnavailable = unavailable;
    emit tilesUnavailableChanged();
}

double TilePainter::attributionHeight() {
    QFont font = QGuiApplication::font();
    font.setPixelSize(kAttributionPixelSize);
    return QFontMetricsF(font).height() + 2.0 * kAttributionMargin;
}

void TilePainter::paintAttribution(QPainter& painter, const QSizeF& viewSize) const {
    const QString text = m_tiles.attribution();
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
