// The overlay drawn over a clip's picture: the gauges strip, the clock, the driving event, a
// G-meter and a mini map, each in a region of its own so that only those regions are drawn
// and blended into a frame. Sizes follow the studio's overlay at 540 picture lines and scale
// with the picture's height. QPainter on QImage (raster); a QGuiApplication must exist.
#pragma once

#include "OverlayData.h"
#include "TileMath.h"

#include <QImage>
#include <QRect>
#include <QSize>

#include <array>
#include <functional>

namespace render {

enum class Region { Gauges, Clock, Event, GMeter, Map };
inline constexpr std::size_t kRegionCount = 5;

// The mini map's background: a tile, or a null image where there is none, and whom the
// tiles' source asks to be credited.
struct MapTiles {
    std::function<QImage(const TileKey&)> read;
    QString attribution;
};

class OverlayPainter {
public:
    // Without `tiles` the route lies on a plain background.
    OverlayPainter(QSize frameSize, const RouteShape& route, const MapTiles& tiles = {});

    QSize frameSize() const { return frameSize_; }
    // In frame pixels, at even positions and sizes (whole chroma samples), inside the frame.
    QRect region(Region region) const { return regions_[static_cast<std::size_t>(region)]; }
    // Where the speed and its unit are, inside the gauges region, in frame pixels.
    QRect speedArea() const { return speedArea_; }

    // Draws `region` of `readout` into `image`, which gets the region's size and is cleared
    // first (ARGB32, premultiplied). False when the region shows nothing on this frame.
    bool paint(Region region, const FrameReadout& readout, QImage& image) const;

private:
    void paintGauges(QPainter& painter, const FrameReadout& readout) const;
    void paintClock(QPainter& painter, const FrameReadout& readout) const;
    void paintEvent(QPainter& painter, const FrameReadout& readout) const;
    void paintGMeter(QPainter& painter, const FrameReadout& readout) const;
    void paintMap(QPainter& painter, const FrameReadout& readout) const;
    QImage background(Region region, const MapTiles& tiles) const;
    QImage mapBackground(const MapTiles& tiles) const;

    QSize frameSize_;
    double scale_ = 1.0;
    std::array<QRect, kRegionCount> regions_;
    QRect speedArea_;
    RouteShape route_;
    mapgeo::MapViewport mapViewport_;
    std::array<QImage, kRegionCount> backgrounds_;
};

// The family of the overlay's embedded typeface, loaded from the resources on first use.
QString overlayFontFamily();

} // namespace render
