// A clip rendered with its overlay: decoded with libavcodec, the overlay's regions blended into
// each decoded picture, encoded with libx264 into an MP4 with the index at the front, the
// source's timing and audio kept. Or the overlay alone, frame for frame with the clip, in a
// MOV with an alpha channel (PNG or ProRes 4444), which needs no decoding.
#pragma once

#include "OverlayPainter.h"

#include <atomic>
#include <functional>
#include <optional>
#include <string>

namespace render {

enum class OutputKind { Burned, OverlayPng, OverlayProRes };

inline constexpr int kDefaultCrf = 20;
inline constexpr int kMaxCrf = 51;

struct RenderRequest {
    std::string clipPath;
    // Written as given; the caller names it and moves it into place.
    std::string outputPath;
    std::optional<double> from; // seconds into the clip
    std::optional<double> to;
    int crf = kDefaultCrf;
    OutputKind kind = OutputKind::Burned;
};

// What the overlay draws from, made once the picture's size is known.
struct OverlaySource {
    std::string csv;
    std::optional<double> duration;
    std::string clipFileName;
    bool milesPerHour = false;
    MapTiles tiles;
};

struct RenderProgress {
    long long frames = 0;
    long long totalFrames = 0;
};

// Seconds spent in each stage; decoding and overlay share one thread, encoding has its own.
struct StageSeconds {
    double decode = 0;
    double overlay = 0;
    double encode = 0;
};

struct RenderOutcome {
    std::string error; // empty on success
    bool cancelled = false;
    long long frames = 0;
    StageSeconds stages;
};

RenderOutcome renderClip(const RenderRequest& request, const OverlaySource& overlay,
                         const std::atomic<bool>& cancel,
                         const std::function<void(const RenderProgress&)>& progress);

} // namespace render
