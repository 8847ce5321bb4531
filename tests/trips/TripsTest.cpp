// Clip names, movie durations and the grouping of moments into trips.
#include "Trips.h"
#include "ClipBytes.h"
#include "MovieDuration.h"
#include "TestClips.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace clipbytes;
using trips::ClipFacts;

class TripsTest : public ::testing::Test {
protected:
    // Names are local time; a fixed zone makes offsets across the year predictable.
    void SetUp() override {
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
    }
};

TEST_F(TripsTest, ClipNames) {
    // Each name and what it reads as: "START CAMERA", or nothing.
    const std::pair<const char*, const char*> cases[] = {
        {"2024-01-01_10-00-00-front.mp4", "2024-01-01_10-00-00 front"},
        {"2024-01-01_10-00-00-left_repeater.MP4", "2024-01-01_10-00-00 left_repeater"},
        {"2024-01-01_10-00-00-rear-2.Mp4", "2024-01-01_10-00-00 rear-2"},
        {"2024-01-01_10-00-00-.mp4", ""},
        {"2024-01-01_10-00-00.mp4", ""},
        {"2024-13-01_10-00-00-front.mp4", ""},
        {"2024-01-01_24-00-00-front.mp4", ""},
        {"2024-01-01_10-00-00-fr ont.mp4", ""},
        {"2024-01-01_10-00-00-front.mov", ""},
        {"2024-1-01_10-00-00-front.mp4", ""},
        {"my clip.MP4", ""},
    };
    for (const auto& [fileName, expected] : cases) {
        const auto name = trips::parseClipName(fileName);
        EXPECT_EQ(name ? name->startText + " " + name->camera : "", expected) << fileName;
    }
    // Across the spring clock change, an hour on the wall is no hour of driving.
    const auto before = trips::parseClipName("2025-03-30_01-59-00-front.mp4");
    const auto after = trips::parseClipName("2025-03-30_03-00-00-front.mp4");
    EXPECT_EQ(after->startSeconds - before->startSeconds, 60);
}

TEST_F(TripsTest, GroupingRules) {
    struct Case {
        const char* what;
        std::vector<ClipFacts> clips;
        std::string listing;
    };
    const std::string d = "/clips";
    const Case cases[] = {
        // The worked example is checked on real clips through the command line.
        {"a gap of exactly the slack joins, just over it splits",
         {{d, "2025-06-01_07-00-00-front.mp4", 60.0, 10},
          {d, "2025-06-01_07-01-10-front.mp4", 60.0, 10},
          {d, "2025-06-01_07-02-21-front.mp4", 1.0, 10}},
         "2025-06-01_07-00-00\t2\t130.0\tfront\t20\n"
         "2025-06-01_07-02-21\t1\t1.0\tfront\t10\n"},
        {"a moment missing a camera; telemetry not from front; cameras in byte order",
         {{d, "2025-06-01_07-00-00-front.mp4", 60.0, 0},
          {d, "2025-06-01_07-00-00-Back.mp4", 60.0, 7},
          {d, "2025-06-01_07-00-00-back.mp4", 59.0, 5},
          {d, "2025-06-01_07-01-00-back.mp4", 61.0, 3}},
         "2025-06-01_07-00-00\t2\t121.0\tBack,back,front\t10\n"},
        {"front wins among several with rows; folders never share a moment",
         {{"/b", "2025-06-01_07-00-00-front.mp4", 60.0, 4},
          {"/a", "2025-06-01_07-00-00-side.mp4", 60.0, 9},
          {"/a", "2025-06-01_07-00-00-front.mp4", 60.0, 2}},
         "2025-06-01_07-00-00\t1\t60.0\tfront,side\t2\n"
         "2025-06-01_07-00-00\t1\t60.0\tfront\t4\n"},
        {"a moment cut short stands alone and does not break the trip",
         {{d, "2025-06-01_07-00-00-front.mp4", 60.0, 1},
          {d, "2025-06-01_07-01-00-front.mp4", std::nullopt, 0},
          {d, "2025-06-01_07-01-05-front.mp4", 10.0, 1},
          {d, "odd.mp4", std::nullopt, 0}},
         "2025-06-01_07-00-00\t2\t75.0\tfront\t2\n"
         "2025-06-01_07-01-00\t1\t?\tfront\t0\n"
         "odd.mp4\t1\t?\t-\t0\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(trips::tripListing(trips::groupTrips(c.clips)), c.listing) << c.what;
}

TEST(MovieDurationTest, MovieHeaderVersions) {
    // Version and flags, two times, the time scale and the duration; the times wider from 1 on.
    const auto header = [](std::uint8_t version, std::uint32_t timescale, std::uint64_t duration) {
        return atom("mvhd", concat({{version, 0, 0, 0},
                                    Bytes(version ? 16 : 8, 0),
                                    be32(timescale),
                                    version ? be64(duration) : be32(std::uint32_t(duration))}));
    };
    EXPECT_EQ(MetadataExtractor::movieHeaderDuration(header(0, 1000, 61500)), 61.5);
    EXPECT_EQ(MetadataExtractor::movieHeaderDuration(header(1, 90000, 5400000)), 60.0);
    EXPECT_FALSE(MetadataExtractor::movieHeaderDuration(header(0, 0, 5)));
    EXPECT_FALSE(MetadataExtractor::movieHeaderDuration(header(0, 600, 0xffffffff)));
    EXPECT_FALSE(MetadataExtractor::movieHeaderDuration(header(2, 600, 5)));
    auto cut = header(1, 600, 60);
    cut.resize(cut.size() - 1);
    EXPECT_FALSE(MetadataExtractor::movieHeaderDuration(cut));
    // Whole clips, cut ones and row times are checked through the trip listing.
    const std::string dir = testclips::makeTempDir();
    EXPECT_FALSE(MetadataExtractor::movieDuration(dir + "/missing.mp4"));
    EXPECT_FALSE(MetadataExtractor::movieDuration(dir));
}

} // namespace
