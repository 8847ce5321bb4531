// What a render shows: the source's frames at the source's timing, each with the overlay of its
// own row, and the picture kept outside the overlay.
#include "ClipRender.h"
#include "MetadataExtractor.h"
#include "RenderTestSupport.h"
#include "TestClips.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

using namespace rendertest;

namespace {

struct Rendered {
    std::string name;
    std::vector<std::string> range;
    int firstFrame = 0;
    long long frames = 0;
    double duration = 0;
};

const Rendered kRenders[] = {
    {"whole clip", {}, 0, kFrames, 3.0},
    {"range", {"--from", "1", "--to", "0:02.5"}, 30, 45, 1.5},
};

// Whether one of the overlay's regions covers the pixel at `x`, `y`.
bool covered(const render::OverlayPainter& painter, int x, int y) {
    for (std::size_t i = 0; i < render::kRegionCount; ++i)
        if (painter.region(static_cast<render::Region>(i)).contains(x, y))
            return true;
    return false;
}

class RenderTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = testclips::makeTempDir();
        clip_ = jumpingSpeedClip(dir_);
        for (const Rendered& r : kRenders) {
            std::vector<std::string> args = {clip_, "-o", dir_ + "/" + r.name + ".mp4"};
            args.insert(args.end(), r.range.begin(), r.range.end());
            std::string err;
            ASSERT_EQ(runRender(args, &err), 0) << err;
        }
    }
    static std::string output(const Rendered& r) { return dir_ + "/" + r.name + ".mp4"; }

    static inline std::string dir_, clip_;
    const render::OverlayData data = overlayOf(clip_);
    const render::OverlayPainter painter{QSize(kWidth, kHeight), data.route()};
};

TEST_F(RenderTest, FramesRateSizeAndDurationAreTheSources) {
    for (const Rendered& r : kRenders) {
        SCOPED_TRACE(r.name);
        const StreamFacts facts = probeVideo(output(r));
        EXPECT_EQ(std::tuple(facts.codec, facts.frames, facts.rate, facts.width, facts.height),
                  std::tuple("h264", r.frames, std::to_string(kFps) + "/1", kWidth, kHeight));
        EXPECT_NEAR(facts.duration, r.duration, 1e-3);
    }
}

// Frame k shows the generator's frame k and the overlay of row k, not of k - 1 or k + 1.
TEST_F(RenderTest, EachFrameShowsItsOwnRow) {
    const auto source = decodeFrames(clip_);
    ASSERT_EQ(static_cast<int>(source.size()), kFrames);
    for (const Rendered& r : kRenders) {
        SCOPED_TRACE(r.name);
        const auto frames = decodeFrames(output(r));
        ASSERT_EQ(static_cast<long long>(frames.size()), r.frames);
        for (std::size_t j = 0; j < frames.size(); ++j) {
            const int k = r.firstFrame + static_cast<int>(j);
            SCOPED_TRACE(k);
            ASSERT_EQ(frameNumber(frames[j]), k);
            const auto drawn = [&](int row) {
                return lumaDifference(frames[j],
                                      withRegion(source[static_cast<std::size_t>(k)], painter, data,
                                                 row, render::Region::Gauges),
                                      painter.speedArea());
            };
            const double own = drawn(k);
            // Within what re-encoding a noisy picture costs.
            EXPECT_LT(own, 5.0);
            for (const int neighbour : {k - 1, k + 1}) {
                if (neighbour >= 0 && neighbour < kFrames) {
                    EXPECT_GT(drawn(neighbour), 2 * own);
                }
            }
        }
    }
}

TEST_F(RenderTest, ThePictureOutsideTheOverlayIsKept) {
    const auto source = decodeFrames(clip_);
    const auto frames = decodeFrames(output(kRenders[0]));
    ASSERT_EQ(frames.size(), source.size());
    double squares = 0;
    long long samples = 0;
    for (std::size_t k = 0; k < frames.size(); ++k)
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                if (covered(painter, x, y))
                    continue;
                const auto at = static_cast<std::size_t>(y * kWidth + x);
                const double d = frames[k][at] - source[k][at];
                squares += d * d;
                ++samples;
            }
    const double psnr = 10 * std::log10(255.0 * 255.0 / (squares / static_cast<double>(samples)));
    EXPECT_GT(psnr, 35.0);
}

TEST_F(RenderTest, TheOverlayAloneIsTransparentOutsideItsRegions) {
    const QRect gauges = painter.region(render::Region::Gauges);
    for (const auto& [codec, name, pixelFormat] :
         {std::tuple("png", "png", "rgba"), std::tuple("prores", "prores", "yuva444p12le")}) {
        SCOPED_TRACE(codec);
        const std::string mov = dir_ + "/overlay-" + codec + ".mov";
        std::string err;
        ASSERT_EQ(runRender({clip_, "--overlay-only", mov, "--overlay-codec", codec}, &err), 0)
            << err;
        const StreamFacts facts = probeVideo(mov);
        EXPECT_EQ(std::tuple(facts.codec, facts.pixelFormat, facts.frames),
                  std::tuple(name, pixelFormat, kFrames));
        const auto frames = decodeFrames(mov, true);
        ASSERT_EQ(static_cast<int>(frames.size()), kFrames);
        long long opaqueOutside = 0, opaqueInGauges = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const std::uint8_t alpha =
                    frames[0][static_cast<std::size_t>((y * kWidth + x) * 4 + 3)];
                opaqueOutside += !covered(painter, x, y) && alpha != 0;
                opaqueInGauges += gauges.contains(x, y) && alpha != 0;
            }
        EXPECT_EQ(opaqueOutside, 0);
        EXPECT_GT(opaqueInGauges, gauges.width() * gauges.height() / 2);
    }
}

// The renderer copies a clip's audio, cut as its range is. (The clip with audio is the
// generated one remuxed by ffmpeg, whose interleaved media data the extractor does not read:
// the telemetry comes from the clip before.)
TEST_F(RenderTest, TheAudioIsCopiedAndCutWithTheRange) {
    const std::string withAudio = dir_ + "/with-audio.mp4";
    ASSERT_EQ(testclips::runShell("ffmpeg -v error -y -i '" + clip_ +
                                  "' -f lavfi -i sine=sample_rate=48000 -map 0:v -map 1:a -c:v "
                                  "copy -c:a aac -shortest '" +
                                  withAudio + "'"),
              0);
    render::RenderRequest request;
    request.clipPath = withAudio;
    request.outputPath = dir_ + "/audio-range.mp4";
    request.from = 1.0;
    request.to = 2.0;
    render::OverlaySource overlay;
    overlay.csv = MetadataExtractor::extract(clip_).text();
    const std::atomic<bool> cancel{false};
    const render::RenderOutcome outcome = render::renderClip(request, overlay, cancel, {});
    ASSERT_EQ(outcome.error, "");
    EXPECT_EQ(outcome.frames, kFps);
    std::string line;
    ASSERT_EQ(
        testclips::runShell("ffprobe -v error -select_streams a -show_entries stream=codec_name,"
                            "duration -of csv=p=0 '" +
                                request.outputPath + "'",
                            &line),
        0);
    EXPECT_EQ(line.substr(0, line.find(',')), "aac");
    EXPECT_NEAR(std::stod(line.substr(line.find(',') + 1)), 1.0, 0.05);
}

} // namespace
