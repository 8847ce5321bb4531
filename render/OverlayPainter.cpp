#include "OverlayPainter.h"

#include "RouteAndCarRenderer.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace render {
namespace {

// The studio's overlay is drawn for a picture of this many lines.
constexpr double kReferenceLines = 540.0;
constexpr double kSmallestScale = 0.5;

constexpr double kMargin = 14;
constexpr double kShadowMargin = 3;
constexpr QSizeF kGaugesSize{352, 48};
constexpr QSizeF kClockSize{118, 34};
constexpr QSizeF kEventSize{240, 30};
constexpr double kEventGap = 10;
constexpr QSizeF kGMeterSize{120, 120};
constexpr QSizeF kMapSize{220, 165};

// The gauges strip, as TelemetryOverlay.qml lays it out.
constexpr double kStripRadius = 13;
constexpr double kStripPadding = 13;
constexpr double kStripSpacing = 12;
constexpr double kBadgeSize = 24;
constexpr double kSpeedWidth = 58;
constexpr double kWheelSize = 22;
constexpr QSizeF kPedalSize{9, 27};
constexpr double kArrowWidth = 16;
constexpr double kArrowGap = 4;
constexpr int kGearPixels = 15;
constexpr int kSpeedPixels = 22;
constexpr int kUnitPixels = 9;
constexpr int kBrakePixels = 9;
constexpr int kAssistPixels = 10;
constexpr int kClockPixels = 17;
constexpr int kEventPixels = 14;
constexpr int kGValuePixels = 10;
constexpr const char* kBrakeLetter = "B";

// Theme.qml's colours.
const QColor kAccent = QColor::fromRgbF(1.0f, 0.22f, 0.33f);
const QColor kWarning = QColor::fromRgbF(1.0f, 0.78f, 0.25f);
const QColor kBrakeRed = QColor::fromRgbF(1.0f, 0.23f, 0.19f);
const QColor kPedalGreen = QColor::fromRgbF(0.2f, 0.78f, 0.35f, 0.9f);
const QColor kAssistBlue = QColor::fromRgbF(0.04f, 0.52f, 1.0f);
const QColor kPlainMap = QColor::fromRgbF(0.13f, 0.14f, 0.16f, 0.85f);
QColor white(double opacity) {
    return QColor::fromRgbF(1, 1, 1, static_cast<float>(opacity));
}
QColor black(double opacity) {
    return QColor::fromRgbF(0, 0, 0, static_cast<float>(opacity));
}
constexpr double kPanelOpacity = 0.48;
constexpr double kBorderOpacity = 0.18;
constexpr double kShadowOpacity = 0.12;
constexpr double kTrackOpacity = 0.18;
constexpr double kUnitOpacity = 0.7;
constexpr double kBadgeOpacity = 0.14;

// G-meter: rings at half and whole g, the dot held inside the panel beyond that.
constexpr double kStandardGravity = 9.80665;
constexpr double kRingRadius = 40;
constexpr double kMostG = 1.3;
constexpr double kDotRadius = 5;
constexpr double kGMeterCentreY = 54;
constexpr double kRingOpacity = 0.25;
constexpr const char* kGValueFormat = "%1 g";

constexpr double kMapRadius = 10;
constexpr double kMapPadding = 14;
constexpr double kCarScale = 1.4;
constexpr int kAttributionPixels = 7;
constexpr double kAttributionPadding = 4;

const char* const kFontFiles[] = {":/render/fonts/DejaVuSans.ttf",
                                  ":/render/fonts/DejaVuSans-Bold.ttf"};

QFont font(int pixels, bool bold) {
    QFont f(overlayFontFamily());
    f.setPixelSize(pixels);
    f.setBold(bold);
    // The same glyphs whatever the machine's font configuration says of hinting.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QRectF panelAt(QPointF origin, QSizeF size) {
    return {origin, size};
}

void drawPanel(QPainter& painter, const QRectF& rect, double radius) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(black(kShadowOpacity));
    painter.drawRoundedRect(rect.adjusted(-2, -1, 2, 3), radius + 2, radius + 2);
    painter.setBrush(black(kPanelOpacity));
    painter.setPen(QPen(white(kBorderOpacity), 1));
    painter.drawRoundedRect(rect, radius, radius);
}

QPolygonF arrow(const QRectF& box, bool left) {
    const double tip = left ? box.left() : box.right();
    const double back = left ? box.right() : box.left();
    return QPolygonF(
        {QPointF(tip, box.center().y()), QPointF(back, box.top()), QPointF(back, box.bottom())});
}

// Whole chroma samples: even corners, inside the frame.
QRect evenPixels(const QRectF& points, double scale, QSize frame) {
    const QRectF pixels(points.topLeft() * scale, points.size() * scale);
    const int left = static_cast<int>(std::floor(pixels.left() / 2)) * 2;
    const int top = static_cast<int>(std::floor(pixels.top() / 2)) * 2;
    const int right = static_cast<int>(std::ceil(pixels.right() / 2)) * 2;
    const int bottom = static_cast<int>(std::ceil(pixels.bottom() / 2)) * 2;
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)).intersected(QRect({}, frame));
}

struct Panels {
    QRectF gauges, clock, event, gMeter, map;
};

Panels panels(QSizeF frame) {
    Panels p;
    p.gauges = panelAt({kMargin, kMargin}, kGaugesSize);
    p.clock = panelAt({frame.width() - kMargin - kClockSize.width(), kMargin}, kClockSize);
    p.event = panelAt({kMargin, p.gauges.bottom() + kEventGap}, kEventSize);
    p.gMeter = panelAt({kMargin, frame.height() - kMargin - kGMeterSize.height()}, kGMeterSize);
    p.map = panelAt(
        {frame.width() - kMargin - kMapSize.width(), frame.height() - kMargin - kMapSize.height()},
        kMapSize);
    return p;
}

} // namespace

QString overlayFontFamily() {
    static const QString family = [] {
        QString name;
        for (const char* file : kFontFiles) {
            const int id = QFontDatabase::addApplicationFont(QLatin1String(file));
            const QStringList families = QFontDatabase::applicationFontFamilies(id);
            if (name.isEmpty() && !families.isEmpty())
                name = families.front();
        }
        return name;
    }();
    return family;
}

OverlayPainter::OverlayPainter(QSize frameSize, const RouteShape& route, const MapTiles& tiles)
    : frameSize_(frameSize), scale_(std::max(kSmallestScale, frameSize.height() / kReferenceLines)),
      route_(route) {
    const Panels p = panels(QSizeF(frameSize) / scale_);
    const double shadow = kShadowMargin;
    const QMarginsF around(shadow, shadow, shadow, shadow);
    regions_[static_cast<std::size_t>(Region::Gauges)] =
        evenPixels(p.gauges.marginsAdded(around), scale_, frameSize);
    regions_[static_cast<std::size_t>(Region::Clock)] =
        evenPixels(p.clock.marginsAdded(around), scale_, frameSize);
    regions_[static_cast<std::size_t>(Region::Event)] =
        evenPixels(p.event.marginsAdded(around), scale_, frameSize);
    regions_[static_cast<std::size_t>(Region::GMeter)] =
        evenPixels(p.gMeter.marginsAdded(around), scale_, frameSize);
    regions_[static_cast<std::size_t>(Region::Map)] =
        evenPixels(p.map.marginsAdded(around), scale_, frameSize);
    const double speedLeft = p.gauges.left() + kStripPadding + kBadgeSize + kStripSpacing;
    speedArea_ = evenPixels(QRectF(speedLeft, p.gauges.top(), kSpeedWidth, p.gauges.height()),
                            scale_, frameSize);
    if (!route_.coordinates().isEmpty())
        mapViewport_ =
            mapgeo::MapViewport::fitting(route_.boundingMapRect(), p.map.size(), kMapPadding);
    for (std::size_t i = 0; i < kRegionCount; ++i)
        backgrounds_[i] = background(static_cast<Region>(i), tiles);
}

// What a region shows on every frame, drawn once: its panel, and the mini map's tiles and route.
QImage OverlayPainter::background(Region which, const MapTiles& tiles) const {
    if (which == Region::Map)
        return mapBackground(tiles);
    const QRect pixels = region(which);
    QImage image(pixels.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const Panels p = panels(QSizeF(frameSize_) / scale_);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(-pixels.topLeft());
    painter.scale(scale_, scale_);
    if (which == Region::Gauges || which == Region::GMeter)
        drawPanel(painter, which == Region::Gauges ? p.gauges : p.gMeter, kStripRadius);
    else if (which == Region::Clock)
        drawPanel(painter, p.clock, kClockSize.height() / 2);
    return image;
}

bool OverlayPainter::paint(Region which, const FrameReadout& readout, QImage& image) const {
    const QRect pixels = region(which);
    if (image.size() != pixels.size() || image.format() != QImage::Format_ARGB32_Premultiplied)
        image = QImage(pixels.size(), QImage::Format_ARGB32_Premultiplied);
    if (pixels.isEmpty() || (which == Region::Event && readout.event.isEmpty())) {
        image.fill(Qt::transparent);
        return false;
    }
    const QImage& background = backgrounds_[static_cast<std::size_t>(which)];
    std::memcpy(image.bits(), background.constBits(),
                static_cast<std::size_t>(image.sizeInBytes()));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(-pixels.topLeft());
    painter.scale(scale_, scale_);
    switch (which) {
    case Region::Gauges:
        paintGauges(painter, readout);
        break;
    case Region::Clock:
        paintClock(painter, readout);
        break;
    case Region::Event:
        paintEvent(painter, readout);
        break;
    case Region::GMeter:
        paintGMeter(painter, readout);
        break;
    case Region::Map:
        paintMap(painter, readout);
        break;
    }
    return true;
}

void OverlayPainter::paintGauges(QPainter& painter, const FrameReadout& r) const {
    const QRectF strip = panels(QSizeF(frameSize_) / scale_).gauges;
    const double middle = strip.center().y();
    double x = strip.left() + kStripPadding;
    const auto centred = [middle](double left, QSizeF size) {
        return QRectF(left, middle - size.height() / 2, size.width(), size.height());
    };

    const QRectF badge = centred(x, {kBadgeSize, kBadgeSize});
    painter.setPen(Qt::NoPen);
    painter.setBrush(white(kBadgeOpacity));
    painter.drawEllipse(badge);
    painter.setPen(Qt::white);
    painter.setFont(font(kGearPixels, true));
    painter.drawText(badge, Qt::AlignCenter, r.gauges.gearLetter);
    x += kBadgeSize + kStripSpacing;

    const QRectF speed(x, strip.top() + 4, kSpeedWidth, strip.height() - 8);
    painter.setFont(font(kSpeedPixels, true));
    painter.drawText(speed, Qt::AlignHCenter | Qt::AlignTop, r.gauges.speedText);
    painter.setPen(white(kUnitOpacity));
    painter.setFont(font(kUnitPixels, true));
    painter.drawText(speed, Qt::AlignHCenter | Qt::AlignBottom, r.gauges.speedUnit);
    x += kSpeedWidth + kStripSpacing;

    // SteeringWheel.qml: a rim, three spokes and a hub, turned clockwise.
    const QRectF wheel = centred(x, {kWheelSize, kWheelSize});
    painter.save();
    painter.translate(wheel.center());
    painter.rotate(r.gauges.steeringRadians * 180.0 / M_PI);
    painter.setPen(QPen(Qt::white, 2.2));
    painter.setBrush(Qt::NoBrush);
    const double rim = kWheelSize / 2 - 1.5;
    painter.drawEllipse(QPointF(), rim, rim);
    painter.setPen(QPen(Qt::white, 2));
    painter.drawLine(QPointF(-kWheelSize / 2 + 2, 0), QPointF(kWheelSize / 2 - 2, 0));
    painter.drawLine(QPointF(0, 0), QPointF(0, kWheelSize / 2 - 2));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(), 3.5, 3.5);
    painter.restore();
    x += kWheelSize + kStripSpacing;

    // PedalBar.qml: a track and a green fill grown from the bottom.
    const QRectF pedal = centred(x, kPedalSize);
    const double pedalRadius = kPedalSize.width() / 2;
    painter.setBrush(white(kTrackOpacity));
    painter.drawRoundedRect(pedal, pedalRadius, pedalRadius);
    const double fill = std::clamp(r.gauges.pedal, 0.0, 1.0) * pedal.height();
    if (fill > 0) {
        painter.save();
        painter.setClipRect(pedal.adjusted(0, pedal.height() - fill, 0, 0));
        painter.setBrush(kPedalGreen);
        painter.drawRoundedRect(pedal, pedalRadius, pedalRadius);
        painter.restore();
    }
    x += kPedalSize.width() + kStripSpacing;

    // BrakeLamp.qml.
    const QRectF lamp = centred(x, {kBadgeSize, kBadgeSize});
    painter.setBrush(r.gauges.brakeOn ? kBrakeRed : white(kTrackOpacity));
    painter.drawEllipse(lamp);
    painter.setPen(Qt::white);
    painter.setFont(font(kBrakePixels, true));
    painter.drawText(lamp, Qt::AlignCenter, QLatin1String(kBrakeLetter));
    x += kBadgeSize + kStripSpacing;

    painter.setPen(Qt::NoPen);
    const QSizeF arrowSize(kArrowWidth, kArrowWidth);
    painter.setBrush(r.blinkerLeft ? kWarning : white(kTrackOpacity));
    painter.drawPolygon(arrow(centred(x, arrowSize), true));
    x += kArrowWidth + kArrowGap;
    painter.setBrush(r.blinkerRight ? kWarning : white(kTrackOpacity));
    painter.drawPolygon(arrow(centred(x, arrowSize), false));
    x += kArrowWidth + kStripSpacing;

    if (r.gauges.showsAssistBadge) {
        painter.setPen(kAssistBlue);
        painter.setFont(font(kAssistPixels, true));
        painter.drawText(QRectF(x, strip.top(), strip.right() - kStripPadding - x, strip.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, r.gauges.assistBadgeText);
    }
}

void OverlayPainter::paintClock(QPainter& painter, const FrameReadout& r) const {
    const QRectF panel = panels(QSizeF(frameSize_) / scale_).clock;
    painter.setPen(Qt::white);
    painter.setFont(font(kClockPixels, true));
    painter.drawText(panel, Qt::AlignCenter, r.clock);
}

void OverlayPainter::paintEvent(QPainter& painter, const FrameReadout& r) const {
    const QRectF panel = panels(QSizeF(frameSize_) / scale_).event;
    painter.setPen(Qt::NoPen);
    painter.setBrush(kAccent);
    painter.drawRoundedRect(panel, panel.height() / 2, panel.height() / 2);
    painter.setPen(Qt::white);
    painter.setFont(font(kEventPixels, true));
    painter.drawText(panel, Qt::AlignCenter, r.event);
}

void OverlayPainter::paintGMeter(QPainter& painter, const FrameReadout& r) const {
    const QRectF panel = panels(QSizeF(frameSize_) / scale_).gMeter;
    const QPointF centre(panel.center().x(), panel.top() + kGMeterCentreY);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(white(kRingOpacity), 1));
    painter.drawEllipse(centre, kRingRadius, kRingRadius);
    painter.drawEllipse(centre, kRingRadius / 2, kRingRadius / 2);
    painter.drawLine(centre - QPointF(kRingRadius, 0), centre + QPointF(kRingRadius, 0));
    painter.drawLine(centre - QPointF(0, kRingRadius), centre + QPointF(0, kRingRadius));
    // Lateral to the right, braking upwards: where the body is thrown.
    QPointF g(r.lateral / kStandardGravity, -r.longitudinal / kStandardGravity);
    const double length = std::hypot(g.x(), g.y());
    if (length > kMostG)
        g *= kMostG / length;
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(kAccent);
    painter.drawEllipse(centre + g * kRingRadius, kDotRadius, kDotRadius);
    painter.setPen(white(kUnitOpacity));
    painter.setFont(font(kGValuePixels, true));
    const QRectF text(panel.left(), centre.y() + kRingRadius, panel.width(),
                      panel.bottom() - centre.y() - kRingRadius);
    painter.drawText(text, Qt::AlignCenter,
                     QString::fromLatin1(kGValueFormat).arg(std::min(length, 9.99), 0, 'f', 2));
}

QImage OverlayPainter::mapBackground(const MapTiles& tiles) const {
    const QRect pixels = region(Region::Map);
    QImage image(pixels.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (pixels.isEmpty())
        return image;
    const QRectF panel = panels(QSizeF(frameSize_) / scale_).map;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(-pixels.topLeft());
    painter.scale(scale_, scale_);
    drawPanel(painter, panel, kMapRadius);
    QPainterPath clip;
    clip.addRoundedRect(panel, kMapRadius, kMapRadius);
    painter.setClipPath(clip);
    painter.fillRect(panel, kPlainMap);
    painter.translate(panel.topLeft());
    if (mapViewport_.isValid()) {
        if (tiles.read) {
            const int zoom = tiles::zoomLevelForScale(mapViewport_.pixelsPerMapPoint() * scale_);
            for (const TileKey& key : tiles::tilesCovering(mapViewport_.visibleMapRect(), zoom)) {
                const QImage tile = tiles.read(key);
                const mapgeo::MapRect area = tiles::tileMapRect(key);
                // A pixel of overlap, so that no seam shows between neighbours.
                const double overlap = 1.0 / scale_;
                if (!tile.isNull())
                    painter.drawImage(
                        QRectF(mapViewport_.viewPointForMapPoint(area.origin),
                               mapViewport_.viewPointForMapPoint({area.maxX(), area.maxY()}))
                            .adjusted(0, 0, overlap, overlap),
                        tile);
            }
        }
        RouteAndCarRenderer(route_).drawTrack(painter, mapViewport_);
    }
    if (tiles.read && !tiles.attribution.isEmpty()) {
        painter.setFont(font(kAttributionPixels, false));
        const QRectF line(kAttributionPadding, panel.height() - kAttributionPixels * 1.6,
                          panel.width() - 2 * kAttributionPadding, kAttributionPixels * 1.6);
        painter.fillRect(line.adjusted(-kAttributionPadding, 0, kAttributionPadding, 0),
                         black(kPanelOpacity));
        painter.setPen(white(kUnitOpacity));
        painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter, tiles.attribution);
    }
    painter.resetTransform();
    painter.setClipping(false);
    painter.translate(-pixels.topLeft());
    painter.scale(scale_, scale_);
    painter.setPen(QPen(white(kBorderOpacity), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(panel, kMapRadius, kMapRadius);
    return image;
}

void OverlayPainter::paintMap(QPainter& painter, const FrameReadout& r) const {
    if (!r.car || !mapViewport_.isValid())
        return;
    const QRectF panel = panels(QSizeF(frameSize_) / scale_).map;
    painter.setClipRect(panel);
    painter.translate(panel.topLeft() +
                      mapViewport_.viewPointForMapPoint(
                          mapgeo::mapPointForCoordinate({r.car->latitude, r.car->longitude})));
    painter.rotate(r.car->heading.value_or(0.0));
    painter.scale(kCarScale, kCarScale);
    RouteAndCarRenderer::drawCar(painter);
}

} // namespace render
