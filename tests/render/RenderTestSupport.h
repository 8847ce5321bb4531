// Clips for the render tests and their pictures read back: frames decoded by ffmpeg, stream
// facts from ffprobe, the generator's frame numbers, and the overlay as the painter draws it.
#pragma once

#include "OverlayPainter.h"
#include "YuvBlend.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rendertest {

inline constexpr int kWidth = 640;
inline constexpr int kHeight = 480;
inline constexpr int kFps = 30;
inline constexpr int kFrames = 90;

// A clip of kFrames frames whose pictures show their numbers and whose speed jumps from
// every row to the next, so each row's speed text differs from its neighbours'.
std::string jumpingSpeedClip(const std::string& dir);

// Runs veldrin-render; returns its exit status and fills its standard error.
int runRender(const std::vector<std::string>& args, std::string* err = nullptr,
              const std::string& environment = {});

// The frames of a video as planes: 4:2:0 (luma first) or RGBA.
std::vector<std::vector<std::uint8_t>> decodeFrames(const std::string& path, bool rgba = false);

struct StreamFacts {
    long long frames = 0;
    std::string rate;
    int width = 0;
    int height = 0;
    double duration = 0;
    std::string codec;
    std::string pixelFormat;
};
StreamFacts probeVideo(const std::string& path);

// The frame number the generator drew into a 4:2:0 picture.
int frameNumber(const std::vector<std::uint8_t>& picture);

// The clip's overlay data as the renderer reads it.
render::OverlayData overlayOf(const std::string& clip);

// `picture` (4:2:0) with the overlay region of `row` blended in as the renderer blends it.
std::vector<std::uint8_t> withRegion(std::vector<std::uint8_t> picture,
                                     const render::OverlayPainter& painter,
                                     const render::OverlayData& data, qsizetype row,
                                     render::Region region);

// Mean absolute luma difference inside `area`.
double lumaDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b,
                      const QRect& area);

} // namespace rendertest
