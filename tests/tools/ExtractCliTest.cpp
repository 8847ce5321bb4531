// The command-line contract of veldrin-extract, checked against the engine called in
// process: exit codes, byte-exact output, failure lines, the report, atomic -o, folder mode.
#include "MetadataExtractor.h"
#include "TestClips.h"
#include "ToolsTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace toolstest;

constexpr int kExitCsv = 0, kExitFailure = 1, kExitUsage = 2, kExitNoMetadata = 3;

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::set<std::string> folderEntries(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

class ExtractCli : public testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new std::string(testclips::makeTempDir());
        testclips::generate(*dir_ + "/drive.mp4", {"--frames", "30", "--bad-record", "7"});
        testclips::generate(*dir_ + "/silent.mp4", {"--frames", "5", "--no-telemetry"});
        writeFile(*dir_ + "/text.mp4", "this is not a clip at all");
    }
    static void TearDownTestSuite() { delete dir_; }
    static std::string clip(const char* name) { return *dir_ + "/" + name; }
    static std::string* dir_;
};
std::string* ExtractCli::dir_ = nullptr;

TEST_F(ExtractCli, StandardOutputIsTheExtractedTextExactly) {
    struct Case {
        const char* clip;
        int exit;
    };
    for (const Case& c : {Case{"drive.mp4", kExitCsv}, Case{"silent.mp4", kExitNoMetadata}}) {
        const auto engine = MetadataExtractor::extract(clip(c.clip));
        ASSERT_TRUE(engine.isSuccess());
        std::string out, err;
        EXPECT_EQ(testclips::runExtractor({clip(c.clip)}, &out, &err), c.exit) << c.clip;
        EXPECT_EQ(out, engine.text()) << c.clip;
        EXPECT_EQ(err, "") << c.clip;

        EXPECT_EQ(testclips::runExtractor({"--report", clip(c.clip)}, &out, &err), c.exit);
        EXPECT_EQ(out, engine.text());
        EXPECT_EQ(err, engine.report() + "\n");
        EXPECT_EQ(lineCount(err), 8u) << "seven lines and the final line feed";
    }
}

TEST_F(ExtractCli, FailureWritesOnlyTheMessageLineToStandardError) {
    struct Case {
        std::string clip;
        std::string message;
    };
    const std::string missing = clip("missing.mp4");
    for (const Case& c : {Case{clip("text.mp4"), "not a supported MP4 container"},
                          Case{missing, MetadataExtractor::extract(missing).message()}}) {
        std::string out, err;
        EXPECT_EQ(testclips::runExtractor({"--report", c.clip}, &out, &err), kExitFailure);
        EXPECT_EQ(out, "");
        EXPECT_FALSE(c.message.empty());
        EXPECT_TRUE(endsWith(err, c.message + "\n")) << err;
        EXPECT_EQ(lineCount(err), 2u) << err;
    }
}

TEST_F(ExtractCli, UsageErrorsExitWithTwo) {
    const std::vector<std::vector<std::string>> usages = {
        {},
        {"--bogus", clip("drive.mp4")},
        {clip("drive.mp4"), clip("silent.mp4")},
        {"-o"},
        {"-d"},
        {"-o", clip("x.csv"), "-d", clip("out"), clip("drive.mp4")},
        {"-d", clip("out")},
    };
    for (const auto& args : usages) {
        std::string out, err;
        EXPECT_EQ(testclips::runExtractor(args, &out, &err), kExitUsage) << args.size();
        EXPECT_EQ(out, "");
        EXPECT_FALSE(err.empty());
    }
    std::string help;
    EXPECT_EQ(testclips::runExtractor({"--help"}, &help), 0);
    for (const char* documented : {"--report", "-o FILE", "-d OUTDIR", "_sei.csv", "Exit status"})
        EXPECT_NE(help.find(documented), std::string::npos) << documented;
}

TEST_F(ExtractCli, OutputFileIsReplacedAtomically) {
    const std::string folder = testclips::makeTempDir();
    const std::string target = folder + "/result.csv";
    writeFile(target, "old content");

    std::string out, err;
    EXPECT_EQ(testclips::runExtractor({"-o", target, clip("text.mp4")}, &out, &err), kExitFailure);
    EXPECT_EQ(testclips::readFile(target), "old content") << "a failed extraction keeps the file";

    EXPECT_EQ(testclips::runExtractor({"-o", target, clip("drive.mp4")}, &out, &err), kExitCsv);
    EXPECT_EQ(out, "");
    EXPECT_EQ(testclips::readFile(target), MetadataExtractor::extract(clip("drive.mp4")).text());
    EXPECT_EQ(folderEntries(folder), std::set<std::string>{"result.csv"}) << "no temp file left";

    // A write that cannot complete: the destination is a folder, or its folder is missing.
    const std::string busy = folder + "/busy";
    fs::create_directory(busy);
    writeFile(busy + "/keep", "kept");
    EXPECT_EQ(testclips::runExtractor({"-o", busy, clip("drive.mp4")}, &out, &err), kExitFailure);
    EXPECT_EQ(out, "");
    EXPECT_EQ(testclips::readFile(busy + "/keep"), "kept");
    EXPECT_EQ(folderEntries(folder), (std::set<std::string>{"busy", "result.csv"}));

    EXPECT_EQ(
        testclips::runExtractor({"-o", folder + "/no/such/dir.csv", clip("drive.mp4")}, &out, &err),
        kExitFailure);
    EXPECT_EQ(out, "");
    EXPECT_FALSE(err.empty());
}

TEST_F(ExtractCli, FolderModeWalksATreeAndReportsEveryClip) {
    const std::string root = testclips::makeTempDir();
    fs::create_directories(root + "/sub/deeper");
    fs::create_directories(root + "/.hidden");
    fs::copy_file(clip("drive.mp4"), root + "/first.mp4");
    fs::copy_file(clip("drive.mp4"), root + "/sub/deeper/Second.MP4");
    fs::copy_file(clip("drive.mp4"), root + "/.hidden/ignored.mp4");
    fs::copy_file(clip("drive.mp4"), root + "/.dotclip.mp4");
    fs::copy_file(clip("silent.mp4"), root + "/sub/quiet.Mp4");
    fs::copy_file(clip("text.mp4"), root + "/sub/broken.mp4");
    writeFile(root + "/sub/notes.txt", "not a clip");
    const std::string outFolder = testclips::makeTempDir() + "/csv";

    std::string out, err;
    EXPECT_EQ(testclips::runExtractor({"-d", outFolder, root}, &out, &err), kExitFailure);
    EXPECT_EQ(out, "");
    EXPECT_EQ(folderEntries(outFolder), (std::set<std::string>{"first_sei.csv", "Second_sei.csv"}));
    const std::string csv = MetadataExtractor::extract(clip("drive.mp4")).text();
    EXPECT_EQ(testclips::readFile(outFolder + "/first_sei.csv"), csv);
    EXPECT_EQ(testclips::readFile(outFolder + "/Second_sei.csv"), csv);

    EXPECT_EQ(lineCount(err), 5u) << "four clips and the final line feed:\n" << err;
    const std::string rows = std::to_string(lineCount(csv) - 1) + " rows\n";
    EXPECT_NE(err.find(root + "/first.mp4: " + rows), std::string::npos) << err;
    EXPECT_NE(err.find(root + "/sub/deeper/Second.MP4: " + rows), std::string::npos) << err;
    EXPECT_NE(err.find(root + "/sub/quiet.Mp4: no SEI metadata\n"), std::string::npos) << err;
    EXPECT_NE(err.find(root + "/sub/broken.mp4: not a supported MP4 container\n"),
              std::string::npos)
        << err;
    EXPECT_EQ(err.find("ignored"), std::string::npos);
    EXPECT_EQ(err.find("dotclip"), std::string::npos);

    // Without the broken clip, every clip succeeds.
    fs::remove(root + "/sub/broken.mp4");
    EXPECT_EQ(testclips::runExtractor({"-d", outFolder, root}, &out, &err), kExitCsv) << err;
}

TEST_F(ExtractCli, FolderModeNeverLetsTwoClipsShareAnOutputFile) {
    const std::string root = testclips::makeTempDir();
    fs::create_directories(root + "/a");
    fs::create_directories(root + "/b");
    fs::copy_file(clip("drive.mp4"), root + "/a/same.mp4");
    fs::copy_file(clip("silent.mp4"), root + "/b/same.mp4");
    const std::string outFolder = testclips::makeTempDir();
    std::string err;
    EXPECT_EQ(testclips::runExtractor({"-d", outFolder, root}, nullptr, &err), kExitFailure);
    EXPECT_EQ(testclips::readFile(outFolder + "/same_sei.csv"),
              MetadataExtractor::extract(clip("drive.mp4")).text());
    EXPECT_NE(err.find(root + "/b/same.mp4: output same_sei.csv already written for " + root +
                       "/a/same.mp4"),
              std::string::npos)
        << err;
}

} // namespace
