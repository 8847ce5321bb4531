#include "RenderTestSupport.h"

#include "ClipWriter.h"
#include "MetadataExtractor.h"
#include "MovieDuration.h"
#include "TestClips.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <sstream>

namespace rendertest {
namespace {

constexpr const char* kSpeedColumn = "vehicle_speed_mps";
constexpr int kSpeedSteps = 60;
constexpr int kSpeedStride = 37;

using testclips::quote;
using testclips::runShell;
using testclips::split;

std::string join(const std::vector<std::string>& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i)
        line += (i ? "," : "") + cells[i];
    return line;
}

} // namespace

std::string jumpingSpeedClip(const std::string& dir) {
    const std::string plain = testclips::generate(
        dir + "/plain.mp4", {"--frames", std::to_string(kFrames), "--size",
                             std::to_string(kWidth) + "x" + std::to_string(kHeight)});
    std::stringstream csv(MetadataExtractor::extract(plain).text());
    std::string line, edited;
    std::getline(csv, line);
    const std::vector<std::string> header = split(line, ',');
    const auto column = static_cast<std::size_t>(
        std::find(header.begin(), header.end(), kSpeedColumn) - header.begin());
    edited = line + "\n";
    for (int row = 0; std::getline(csv, line); ++row) {
        std::vector<std::string> cells = split(line, ',');
        cells.at(column) = std::to_string(3 + row * kSpeedStride % kSpeedSteps);
        edited += join(cells) + "\n";
    }
    testclips::writeFile(dir + "/jumping.csv", edited);
    return testclips::generate(dir + "/2025-06-01_07-00-00-front.mp4",
                               {"--from-csv", dir + "/jumping.csv", "--frame-numbers", "--size",
                                std::to_string(kWidth) + "x" + std::to_string(kHeight), "--fps",
                                std::to_string(kFps)});
}

int runRender(const std::vector<std::string>& args, std::string* err,
              const std::string& environment) {
    return runShell(environment + " " + testclips::command(VELDRIN_RENDER_PATH, args), nullptr,
                    err);
}

std::vector<std::vector<std::uint8_t>> decodeFrames(const std::string& path, bool rgba) {
    const std::string raw = testclips::makeTempDir() + "/frames.raw";
    EXPECT_EQ(runShell("ffmpeg -v error -i " + quote(path) + " -f rawvideo -pix_fmt " +
                       (rgba ? "rgba " : "yuv420p ") + quote(raw)),
              0);
    const std::string bytes = testclips::readFile(raw);
    const std::size_t size = rgba ? kWidth * kHeight * 4 : kWidth * kHeight * 3 / 2;
    std::vector<std::vector<std::uint8_t>> frames;
    for (std::size_t at = 0; at + size <= bytes.size(); at += size)
        frames.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                            bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
    return frames;
}

StreamFacts probeVideo(const std::string& path) {
    std::string probed;
    EXPECT_EQ(
        runShell("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                 "stream=nb_read_frames,r_frame_rate,width,height,duration,codec_name,pix_fmt "
                 "-of default=noprint_wrappers=1 " +
                     quote(path),
                 &probed),
        0);
    std::map<std::string, std::string> values;
    std::stringstream lines(probed);
    for (std::string line; std::getline(lines, line);)
        values[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
    // A value ffprobe left out reads as 0.
    const auto number = [&](const char* key) {
        return std::stod(values.emplace(key, "0").first->second);
    };
    return {static_cast<long long>(number("nb_read_frames")),
            values["r_frame_rate"],
            static_cast<int>(number("width")),
            static_cast<int>(number("height")),
            number("duration"),
            values["codec_name"],
            values["pix_fmt"]};
}

int frameNumber(const std::vector<std::uint8_t>& picture) {
    constexpr int kBits = clipgen::kFrameNumberBits;
    const int block = clipgen::frameNumberBlockSize(kWidth);
    const int left = (kWidth - block * kBits) / 2, top = (kHeight - block) / 2;
    int number = 0;
    for (int bit = 0; bit < kBits; ++bit) {
        // The block's middle, away from edges the encoder blurs.
        long sum = 0, count = 0;
        for (int y = top + block / 4; y < top + block * 3 / 4; ++y)
            for (int x = left + bit * block + block / 4; x < left + bit * block + block * 3 / 4;
                 ++x, ++count)
                sum += picture[static_cast<std::size_t>(y * kWidth + x)];
        if (sum / count > (clipgen::kFrameNumberWhite + clipgen::kFrameNumberBlack) / 2)
            number |= 1 << bit;
    }
    return number;
}

render::OverlayData overlayOf(const std::string& clip) {
    return render::OverlayData(MetadataExtractor::extract(clip).text(),
                               MetadataExtractor::movieDuration(clip),
                               std::filesystem::path(clip).filename().string(), false, 1.0 / kFps);
}

std::vector<std::uint8_t> withRegion(std::vector<std::uint8_t> picture,
                                     const render::OverlayPainter& painter,
                                     const render::OverlayData& data, qsizetype row,
                                     render::Region region) {
    QImage image;
    painter.paint(region, data.readout(row), image);
    render::YuvPicture yuv;
    yuv.planes[0] = picture.data();
    yuv.planes[1] = picture.data() + kWidth * kHeight;
    yuv.planes[2] = yuv.planes[1] + kWidth * kHeight / 4;
    yuv.strides[0] = kWidth;
    yuv.strides[1] = yuv.strides[2] = kWidth / 2;
    yuv.width = kWidth;
    yuv.height = kHeight;
    render::blendInto(yuv, image, painter.region(region).topLeft());
    return picture;
}

double lumaDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b,
                      const QRect& area) {
    double sum = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const auto i = static_cast<std::size_t>(y * kWidth + x);
            sum += std::abs(a[i] - b[i]);
        }
    return sum / (area.width() * area.height());
}

} // namespace rendertest
