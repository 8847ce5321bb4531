// veldrin-extract --trips and --join-trips on generated folders, byte for byte.
#include "MetadataExtractor.h"
#include "TestClips.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

int runInTz(const std::vector<std::string>& args, std::string* out, std::string* err) {
    setenv("TZ", "UTC", 1);
    return testclips::runExtractor(args, out, err);
}

TEST(TripsCli, WorkedExampleAndJoinedFiles) {
    const std::string dir = testclips::makeTempDir();
    const std::string clips = dir + "/clips";
    fs::create_directories(clips + "/elsewhere");
    struct Clip {
        const char* name;
        const char* seconds;
        const char* option; // the movie header first, or no telemetry
    };
    for (const Clip& clip : {Clip{"2025-06-01_07-00-00-front.mp4", "60", "--fast"},
                             Clip{"2025-06-01_07-00-00-back.mp4", "60", "--no-telemetry"},
                             Clip{"2025-06-01_07-01-00-front.mp4", "30.5", "--fast"},
                             Clip{"2025-06-01_07-05-00-front.mp4", "10", "--fast"},
                             Clip{"my clip.MP4", "5", "--faststart"},
                             Clip{"elsewhere/2025-06-01_07-05-00-Rear.mp4", "1", "--fast"}}) {
        testclips::generate(clips + "/" + clip.name,
                            {"--duration", clip.seconds, "--fps", "36", "--fast", clip.option});
    }
    // Cut short: no movie header, so no duration.
    const std::string whole = testclips::readFile(clips + "/2025-06-01_07-05-00-front.mp4");
    testclips::writeFile(clips + "/2025-06-01_07-09-00-front.mp4", whole.substr(0, 4000));

    // The cut clip is listed, without rows, and reported.
    const std::string cut = clips + "/2025-06-01_07-09-00-front.mp4";
    const std::string cutLine =
        "veldrin-extract: " + cut + ": " + MetadataExtractor::extract(cut).message() + "\n";
    std::string out, err;
    EXPECT_EQ(runInTz({"--trips", clips}, &out, &err), 1);
    EXPECT_EQ(err, cutLine);
    EXPECT_EQ(out, "2025-06-01_07-00-00\t2\t90.5\tback,front\t3258\n"
                   "2025-06-01_07-05-00\t1\t10.0\tfront\t360\n"
                   "2025-06-01_07-05-00\t1\t1.0\tRear\t36\n"
                   "2025-06-01_07-09-00\t1\t?\tfront\t0\n"
                   "my clip.MP4\t1\t5.0\t-\t180\n");

    EXPECT_EQ(runInTz({"-d", dir + "/out", "--join-trips", clips}, &out, &err), 1);
    EXPECT_EQ(out, "");
    EXPECT_TRUE(err.starts_with(cutLine)) << err;
    const std::string joined = testclips::readFile(dir + "/out/2025-06-01_07-00-00_trip.csv");
    EXPECT_TRUE(joined.starts_with("clip,trip_time_s," + testclips::kCsvHeader + "\n"));
    EXPECT_EQ(std::count(joined.begin(), joined.end(), '\n'), 3259);
    EXPECT_NE(joined.find("\n2025-06-01_07-00-00-front.mp4,59.972,"), std::string::npos);
    EXPECT_NE(joined.find("\n2025-06-01_07-01-00-front.mp4,60.000,"), std::string::npos);
    for (const char* name :
         {"2025-06-01_07-05-00_trip.csv", "2025-06-01_07-05-00_trip_2.csv", "my clip.MP4_trip.csv"})
        EXPECT_TRUE(fs::exists(dir + "/out/" + name)) << name;
    // Nothing could be read of the cut clip's trip: no file of a header alone.
    EXPECT_FALSE(fs::exists(dir + "/out/2025-06-01_07-09-00_trip.csv"));
}

TEST(TripsCli, GeneratedTripCarriesOnAcrossMoments) {
    const std::string dir = testclips::makeTempDir();
    // The generator takes the folder last, as the value of --trip.
    testclips::generate(dir + "/trip",
                        {"--moments", "3", "--seconds", "2", "--fps", "10", "--cameras",
                         "front,back", "--gap-after", "2", "--fast", "--trip"});
    std::string out, err;
    ASSERT_EQ(runInTz({"--trips", "-d", dir + "/out", "--join-trips", dir + "/trip"}, &out, &err),
              0);
    EXPECT_EQ(out, "2025-06-01_07-00-00\t2\t4.0\tback,front\t40\n"
                   "2025-06-01_07-10-04\t1\t2.0\tback,front\t20\n");
    const std::string joined = testclips::readFile(dir + "/out/2025-06-01_07-00-00_trip.csv");
    EXPECT_NE(joined.find("\n2025-06-01_07-00-02-front.mp4,2.000,1,GEAR_DRIVE,20,"),
              std::string::npos);
}

} // namespace
