// Real clips from the project's clip generator: one accepted record per frame, or the notice.
#include "MetadataExtractor.h"
#include "TestClips.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(GeneratedClip, OneRowPerFrame) {
    const std::string dir = testclips::makeTempDir();
    for (const bool faststart : {false, true}) {
        std::vector<std::string> args = {"--frames", "12", "--size", "64x64"};
        if (faststart)
            args.push_back("--faststart");
        const auto out = MetadataExtractor::extract(testclips::generate(dir + "/clip.mp4", args));
        ASSERT_TRUE(out.isSuccess()) << out.message();
        EXPECT_EQ(std::count(out.text().begin(), out.text().end(), '\n'), 12) << out.text();
        EXPECT_NE(out.report().find("\nsei_nal_count: 12\npayload_decode_failures: 0\n"
                                    "sei_decode_failures: 0\nrows_decoded: 12"),
                  std::string::npos)
            << out.report();
    }
}

} // namespace
