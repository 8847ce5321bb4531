// Encodes pictures to H.264 with libx264 and writes them into an MP4 with libavformat,
// putting the given SEI units into each frame's access unit ahead of its slices.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;

namespace clipgen {

struct VideoSettings {
    int width = 320;
    int height = 240;
    double fps = 30.0;
    std::int64_t bitrateKbps = 0; // 0: constant quality
    bool faststart = false;
    // Encode only a short closed group of pictures and repeat its packets.
    bool fast = false;
    // Each picture shows its frame number in binary: see kFrameNumberBits.
    bool frameNumbers = false;
    std::uint64_t seed = 1;
};

using NalUnit = std::vector<std::uint8_t>;

// The frame number's picture: this many square blocks in a row across the middle half of the
// picture's width, centred on its middle line, the lowest bit leftmost; a set bit is white
// (luma 235), a clear one black (16).
inline constexpr int kFrameNumberBits = 16;
inline constexpr int kFrameNumberWhite = 235;
inline constexpr int kFrameNumberBlack = 16;
// Each block is as wide as the middle half of the width allows, an even number of pixels.
inline int frameNumberBlockSize(int width) {
    return std::max(2, width / 2 / kFrameNumberBits / 2 * 2);
}

class ClipWriter {
public:
    explicit ClipWriter(VideoSettings settings);
    ~ClipWriter();
    ClipWriter(const ClipWriter&) = delete;
    ClipWriter& operator=(const ClipWriter&) = delete;

    bool open(const std::string& path);
    // Frames must come in order 0, 1, 2, ...
    bool addFrame(std::int64_t frameIndex, std::vector<NalUnit> seiUnits);
    bool finish();
    const std::string& error() const { return error_; }

private:
    struct EncodedFrame {
        std::vector<NalUnit> nalUnits; // without the encoder's own SEI units
        bool key = false;
    };

    bool fail(const std::string& what, int code = 0);
    void drawPicture(std::int64_t frameIndex);
    void drawFrameNumber(std::int64_t frameIndex);
    bool encode(AVFrame* frame);
    bool writeFrame(std::int64_t frameIndex, const EncodedFrame& encoded);

    VideoSettings settings_;
    std::string error_;
    AVFormatContext* format_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    AVStream* stream_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
    bool encoderFlushed_ = false;
    std::map<std::int64_t, std::vector<NalUnit>> pendingSei_;
    std::vector<EncodedFrame> repeatedFrames_;
    std::uint64_t noiseState_ = 0;
};

} // namespace clipgen
