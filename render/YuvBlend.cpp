#include "YuvBlend.h"

#include <algorithm>
#include <cmath>

namespace render {
namespace {

struct Coefficients {
    float y[3], u[3], v[3];
    float yOffset;
};

constexpr float kChromaOffset = 128.0f;
constexpr float kLimitedLumaOffset = 16.0f;
constexpr float kLimitedLumaSpan = 219.0f, kLimitedChromaSpan = 224.0f, kFullSpan = 255.0f;

// Kr and Kb of each matrix; coefficients per 0..255 component.
Coefficients coefficients(YuvMatrix matrix, bool fullRange) {
    const float kr = matrix == YuvMatrix::Bt709 ? 0.2126f : 0.299f;
    const float kb = matrix == YuvMatrix::Bt709 ? 0.0722f : 0.114f;
    const float kg = 1.0f - kr - kb;
    const float ySpan = (fullRange ? kFullSpan : kLimitedLumaSpan) / kFullSpan;
    const float cSpan = (fullRange ? kFullSpan : kLimitedChromaSpan) / kFullSpan;
    Coefficients c{};
    const float luma[3] = {kr, kg, kb};
    for (int i = 0; i < 3; ++i) {
        c.y[i] = luma[i] * ySpan;
        // Pb = (B - Y) / (2 (1 - Kb)), Pr = (R - Y) / (2 (1 - Kr))
        c.u[i] = ((i == 2 ? 1.0f : 0.0f) - luma[i]) / (2 * (1 - kb)) * cSpan;
        c.v[i] = ((i == 0 ? 1.0f : 0.0f) - luma[i]) / (2 * (1 - kr)) * cSpan;
    }
    c.yOffset = fullRange ? 0.0f : kLimitedLumaOffset;
    return c;
}

// Sums in 16.16 fixed point: a component of 0..255 times kUnit is that component / 255.
constexpr int kFull = 255;
constexpr int kUnit = 257;
constexpr int kFractionBits = 16;
constexpr int kBlock = 4;

struct Fixed {
    int y[3], u[3], v[3];
    int yOffset, chromaOffset;
};

int fixed(float value) {
    return static_cast<int>(std::lround(value * (1 << kFractionBits)));
}

Fixed fixedPoint(const Coefficients& c) {
    Fixed f{};
    for (int i = 0; i < 3; ++i) {
        f.y[i] = fixed(c.y[i]);
        f.u[i] = fixed(c.u[i]);
        f.v[i] = fixed(c.v[i]);
    }
    f.yOffset = fixed(c.yOffset / kFull);
    f.chromaOffset = fixed(kChromaOffset / kFull);
    return f;
}

// The sums stay well inside an int: at most 255 * 1020 * 257 and the colour terms.
std::uint8_t toByte(int sum) {
    const int value = (sum + (1 << (kFractionBits - 1))) >> kFractionBits;
    return static_cast<std::uint8_t>(std::clamp(value, 0, kFull));
}

} // namespace

void blendInto(YuvPicture& picture, const QImage& overlay, QPoint at) {
    const Fixed f = fixedPoint(coefficients(picture.matrix, picture.fullRange));
    const int left = std::max(0, at.x()), top = std::max(0, at.y());
    const int right = std::min(picture.width, at.x() + overlay.width());
    const int bottom = std::min(picture.height, at.y() + overlay.height());
    if (left >= right || top >= bottom)
        return;
    for (int y = top; y < bottom; ++y) {
        const auto* source = reinterpret_cast<const QRgb*>(overlay.constScanLine(y - at.y()));
        std::uint8_t* luma =
            picture.planes[0] + static_cast<std::ptrdiff_t>(y) * picture.strides[0];
        for (int x = left; x < right; ++x) {
            const QRgb pixel = source[x - at.x()];
            const int alpha = qAlpha(pixel);
            luma[x] = toByte(luma[x] * (kFull - alpha) * kUnit + f.yOffset * alpha +
                             f.y[0] * qRed(pixel) + f.y[1] * qGreen(pixel) + f.y[2] * qBlue(pixel));
        }
    }
    // No test for transparent pixels: they come out unchanged, and the loops stay free of
    // branches for the vectoriser.
    // Chroma from each 2x2 block's sums: four samples weigh four times one.
    for (int y = top / 2; y < bottom / 2; ++y) {
        std::uint8_t* u = picture.planes[1] + static_cast<std::ptrdiff_t>(y) * picture.strides[1];
        std::uint8_t* v = picture.planes[2] + static_cast<std::ptrdiff_t>(y) * picture.strides[2];
        const auto* upper = reinterpret_cast<const QRgb*>(overlay.constScanLine(2 * y - at.y()));
        const auto* lower =
            reinterpret_cast<const QRgb*>(overlay.constScanLine(2 * y + 1 - at.y()));
        for (int x = left / 2; x < right / 2; ++x) {
            const int column = 2 * x - at.x();
            const QRgb p[4] = {upper[column], upper[column + 1], lower[column], lower[column + 1]};
            const int alpha = qAlpha(p[0]) + qAlpha(p[1]) + qAlpha(p[2]) + qAlpha(p[3]);
            const int red = qRed(p[0]) + qRed(p[1]) + qRed(p[2]) + qRed(p[3]);
            const int green = qGreen(p[0]) + qGreen(p[1]) + qGreen(p[2]) + qGreen(p[3]);
            const int blue = qBlue(p[0]) + qBlue(p[1]) + qBlue(p[2]) + qBlue(p[3]);
            const int keep = (kBlock * kFull - alpha) * kUnit;
            u[x] = toByte((u[x] * keep + f.chromaOffset * alpha + f.u[0] * red + f.u[1] * green +
                           f.u[2] * blue) /
                          kBlock);
            v[x] = toByte((v[x] * keep + f.chromaOffset * alpha + f.v[0] * red + f.v[1] * green +
                           f.v[2] * blue) /
                          kBlock);
        }
    }
}

} // namespace render
