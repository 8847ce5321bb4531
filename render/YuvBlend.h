// Blends an overlay region (premultiplied ARGB) into a 4:2:0 picture in place, converting only
// that region's pixels: luma per pixel, chroma per 2x2 block from the block's mean. The
// picture's matrix and range decide the conversion.
#pragma once

#include <QImage>
#include <QPoint>

#include <cstdint>

namespace render {

enum class YuvMatrix { Bt601, Bt709 };

struct YuvPicture {
    std::uint8_t* planes[3] = {};
    int strides[3] = {};
    int width = 0;
    int height = 0;
    YuvMatrix matrix = YuvMatrix::Bt601;
    bool fullRange = false;
};

// `overlay` goes to `at` (even coordinates); what falls outside the picture is left out.
void blendInto(YuvPicture& picture, const QImage& overlay, QPoint at);

} // namespace render
