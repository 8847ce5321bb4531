// The evidence bundle through the real command line: sha256sum checks it, the manifest's hash is
// sha256sum's of the clip, and a write that fails part-way leaves nothing under the final name.
#include "TestClips.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace {

namespace fs = std::filesystem;

// `command` run by the shell in `dir`; its standard output in `out` when given.
int shell(const std::string& dir, const std::string& command, std::string* out = nullptr) {
    return testclips::runShell("cd " + testclips::quote(dir) + " && " + command, out);
}

TEST(Evidence, BundleChecksOutAndAFailedWriteLeavesNothing) {
    const std::string dir = testclips::makeTempDir();
    testclips::generate(dir + "/2026-03-14_08-15-00-front.mp4", {"--frames", "30"});
    const std::string extract = "'" + testclips::extractorPath() + "' --evidence out ";
    const std::string clip = "2026-03-14_08-15-00-front.mp4";
    // A file-size limit below the CSV's: the report is written, the CSV fails part-way.
    EXPECT_EQ(shell(dir, "trap '' XFSZ; ulimit -f 1; " + extract + clip), 1);
    EXPECT_TRUE(fs::is_empty(dir + "/out"));

    std::string printed, hash;
    ASSERT_EQ(shell(dir,
                    "SOURCE_DATE_EPOCH=1000000000 TZ=CET-1CEST,M3.5.0,M10.5.0/3 " + extract + clip,
                    &printed),
              0);
    const std::string bundle = "out/2026-03-14_08-15-00-front_evidence";
    EXPECT_EQ(printed, bundle + "\n");
    EXPECT_EQ(shell(dir + "/" + bundle, "sha256sum --quiet --strict -c SHA256SUMS"), 0);
    EXPECT_EQ(testclips::readFile(dir + "/" + bundle + "/SHA256SUMS").find("  SHA256SUMS"),
              std::string::npos);
    shell(dir, "sha256sum " + clip + " | cut -c1-64", &hash);
    EXPECT_TRUE(std::regex_match(
        testclips::readFile(dir + "/" + bundle + "/manifest.json"),
        std::regex(
            "\\{\n  \"tool\": \"veldrin-extract\",\n  \"version\": \"[0-9.]+\",\n"
            "  \"created\": \"2001-09-09T01:46:40Z\",\n  \"clip\": \\{\n    \"name\": \"" +
            clip + "\",\n    \"bytes\": " + std::to_string(fs::file_size(dir + "/" + clip)) +
            ",\n    \"sha256\": \"" + hash.substr(0, 64) +
            "\",\n    \"mdat_offset\": \\d+,\n    \"mdat_size\": \\d+\n  \\},\n"
            "  \"rows\": 30,\n  \"payload_decode_failures\": 0,\n  \"sei_decode_failures\": 0,\n"
            "  \"first_frame_seq_no\": \"0\",\n  \"last_frame_seq_no\": \"29\",\n"
            "  \"start\": \"2026-03-14T08:15:00\\+01:00\",\n  \"duration_s\": 1.0\n\\}\n")));
    // An existing bundle is never replaced.
    EXPECT_EQ(shell(dir, extract + clip), 1);
}

} // namespace
