// The command line's contract: exit statuses and messages, nothing left under the output's
// name after an interrupt, and text drawn on a machine without fonts.
#include "MbTilesWriter.h"
#include "RenderTestSupport.h"
#include "TestClips.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace rendertest;

namespace {

TEST(RenderCliTest, ExitStatusesAndMessagesAreTheExtractors) {
    const std::string dir = testclips::makeTempDir();
    const std::string bare = testclips::generate(dir + "/bare.mp4", {"--no-telemetry"});
    const std::string clip = testclips::generate(dir + "/clip.mp4");
    const std::string out = testclips::makeTempDir();
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    };
    const std::string a = out + "/a.mp4", program = "veldrin-render: ";
    const Case cases[] = {
        {{bare, "-o", out + "/bare.mp4"}, 3, bare + ": No SEI metadata found"},
        {{dir + "/absent.mp4", "-o", out + "/absent.mp4"}, 1, dir + "/absent.mp4: No such file\n"},
        {{clip, "-o", a, "--tiles", dir + "/absent.mbtiles"},
         1,
         dir + "/absent.mbtiles: No such file\n"},
        {{clip, "-o", a, "--from", "2", "--to", "1"}, 2, "--to must come after --from\n"},
        {{clip, "-o", a, "--from", "1:75"}, 2, "--from: needs seconds or M:SS\n"},
        {{clip, "-o", a, "--crf", "52"}, 2, "--crf: needs a whole number from 0 to 51\n"},
        {{clip}, 2, "give one of -o and --overlay-only\n"},
        {{clip, "-o", clip}, 2, clip + ": is the clip itself\n"},
        {{clip, "-o", a, "--from", "60"}, 1, a + ": the range holds no frame\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.back());
        std::string err;
        EXPECT_EQ(runRender(c.args, &err), c.status);
        EXPECT_EQ(err.substr(0, program.size() + c.message.size()), program + c.message) << err;
        EXPECT_TRUE(std::filesystem::is_empty(out));
    }
}

TEST(RenderCliTest, AnInterruptedRenderLeavesNothing) {
    const std::string dir = testclips::makeTempDir();
    const std::string clip =
        testclips::generate(dir + "/long.mp4", {"--duration", "12", "--size", "640x480"});
    const std::string out = testclips::makeTempDir();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        execl(VELDRIN_RENDER_PATH, VELDRIN_RENDER_PATH, clip.c_str(), "-o",
              (out + "/long.mp4").c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    // Interrupted once it is writing.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    bool writing = false;
    while (!writing && std::chrono::steady_clock::now() < deadline) {
        for (const auto& entry : std::filesystem::directory_iterator(out)) {
            std::error_code gone;
            const auto size = entry.file_size(gone);
            writing = writing || (!gone && size > 0);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(writing);
    kill(child, SIGINT);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    EXPECT_TRUE(std::filesystem::is_empty(out));
}

// With a font configuration that knows no font, the embedded typeface draws the same text.
TEST(RenderCliTest, TextIsDrawnWithoutInstalledFonts) {
    const std::string dir = testclips::makeTempDir();
    const std::string clip = jumpingSpeedClip(dir);
    const std::string fonts = testclips::makeTempDir();
    testclips::writeFile(fonts + "/fonts.conf", "<?xml version=\"1.0\"?>\n<fontconfig><cachedir>" +
                                                    fonts + "</cachedir></fontconfig>\n");
    std::string err;
    ASSERT_EQ(runRender({clip, "-o", dir + "/fonts.mp4", "--to", "1"}, &err), 0) << err;
    ASSERT_EQ(runRender({clip, "-o", dir + "/none.mp4", "--to", "1"}, &err,
                        "FONTCONFIG_FILE=" + fonts + "/fonts.conf FONTCONFIG_PATH=" + fonts),
              0)
        << err;
    const render::OverlayData data = overlayOf(clip);
    const render::OverlayPainter painter(QSize(kWidth, kHeight), data.route());
    const auto withFonts = decodeFrames(dir + "/fonts.mp4");
    const auto without = decodeFrames(dir + "/none.mp4");
    const auto source = decodeFrames(clip);
    ASSERT_EQ(without.size(), withFonts.size());
    for (const std::size_t k : {std::size_t{0}, without.size() - 1}) {
        const auto drawn =
            withRegion(source[k], painter, data, static_cast<qsizetype>(k), render::Region::Gauges);
        EXPECT_LT(lumaDifference(without[k], drawn, painter.speedArea()), 5.0);
        EXPECT_LT(lumaDifference(without[k], withFonts[k], painter.speedArea()), 1.0);
    }
}

// The mini map's background: the MBTiles file's tiles (here one blue world, enlarged to every
// zoom), else a plain dark panel.
TEST(RenderCliTest, TheMiniMapLiesOnTheTilesOfAnMbTilesFile) {
    const std::string dir = testclips::makeTempDir();
    const std::string clip = jumpingSpeedClip(dir);
    const QString tiles = QString::fromStdString(dir + "/world.mbtiles");
    ASSERT_TRUE(writeMbTiles(tiles, {{"format", "png"}}, {{{0, 0, 0}, tileImage(Qt::blue)}}));
    const render::OverlayData data = overlayOf(clip);
    const render::OverlayPainter painter(QSize(kWidth, kHeight), data.route());
    const QRect map = painter.region(render::Region::Map);
    // The blue difference of the map's middle half.
    const auto blueness = [&](const std::vector<std::uint8_t>& picture) {
        const std::uint8_t* u = picture.data() + kWidth * kHeight;
        double sum = 0;
        int count = 0;
        for (int y = map.top() + map.height() / 4; y < map.bottom() - map.height() / 4; y += 2)
            for (int x = map.left() + map.width() / 4; x < map.right() - map.width() / 4;
                 x += 2, ++count)
                sum += u[(y / 2) * (kWidth / 2) + x / 2];
        return sum / count;
    };
    for (const bool withTiles : {false, true}) {
        SCOPED_TRACE(withTiles);
        std::vector<std::string> args = {clip, "-o", dir + "/map.mp4", "--to", "0.5"};
        if (withTiles)
            args.insert(args.end(), {"--tiles", tiles.toStdString()});
        std::string err;
        ASSERT_EQ(runRender(args, &err), 0) << err;
        const double blue = blueness(decodeFrames(dir + "/map.mp4").front());
        EXPECT_TRUE(withTiles ? blue > 200 : blue < 145) << blue;
    }
}

} // namespace
