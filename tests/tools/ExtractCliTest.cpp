// The command-line contract of veldrin-extract, checked against the engine called in
// process: exit codes, output ending in a line feed, error lines, -o, folder mode.
#include "ExtractError.h"
#include "Limits.h"
#include "MetadataExtractor.h"
#include "ToolsTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <regex>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
namespace messages = MetadataExtractor::messages;
using namespace toolstest;
using namespace std::string_literals;

constexpr int kExitCsv = 0, kExitFailure = 1, kExitUsage = 2, kExitNoMetadata = 3;

std::string errorLine(const std::string& path, std::string_view message) {
    return "veldrin-extract: " + path + ": " + std::string(message) + "\n";
}

std::ptrdiff_t entryCount(const std::string& folder) {
    return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

// Every command runs in the folder of the clips, so that it names them as they are written here.
class ExtractCli : public testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = testclips::makeTempDir();
        testclips::generate(dir_ + "/drive.mp4", {"--frames", "30", "--bad-record", "7"});
        testclips::generate(dir_ + "/silent.mp4", {"--frames", "5", "--no-telemetry"});
        writeFile(dir_ + "/text.mp4", "this is not a clip at all");
        fs::create_symlink(dir_ + "/drive.mp4", dir_ + "/symlink.mp4");
        fs::create_hard_link(dir_ + "/drive.mp4", dir_ + "/hardlink.mp4");
        // One byte more than the engine takes, without using the disk.
        writeFile(dir_ + "/huge.mp4", "");
        fs::resize_file(dir_ + "/huge.mp4", MetadataExtractor::kMaxFileBytes + 1);
    }
    struct Run {
        int exit;
        std::string out, err;
    };
    // `args` split by the shell; `input` is standard input; `runAs` goes before the program.
    static Run run(const std::string& args, const std::string& input = "/dev/null",
                   const std::string& runAs = "") {
        Run r;
        r.exit = testclips::runShell("cd " + dir_ + " && " + runAs + " " +
                                         testclips::extractorPath() + " " + args + " <" + input,
                                     &r.out, &r.err);
        return r;
    }
    static MetadataExtractor::Output engine(const char* name) {
        return MetadataExtractor::extract(dir_ + "/" + name);
    }
    static inline std::string dir_;
};

// Every case also checks that -o replaces its file only with CSV, atomically: the last one does.
TEST_F(ExtractCli, OneClipGivesTheEngineTextWithALineFeedOrOneErrorLine) {
    fs::create_directories(dir_ + "/o/busy");
    writeFile(dir_ + "/o/result.csv", "old");
    const std::string csv = engine("drive.mp4").text() + "\n";
    const std::string notClip = errorLine("text.mp4", messages::kNotSupportedContainer);
    const auto expect = [&](const std::string& args, int exit, const std::string& out,
                            const std::string& err, const std::string& input = "/dev/null") {
        const Run r = run(args, input);
        EXPECT_EQ(std::tuple(r.exit, r.out, r.err, testclips::readFile(dir_ + "/o/result.csv")),
                  std::tuple(exit, out, err, "old"))
            << args << " < " << input;
    };
    expect("drive.mp4", kExitCsv, csv, "");
    expect("--report -", kExitCsv, csv, engine("drive.mp4").report() + "\n", "drive.mp4");
    expect("--report silent.mp4", kExitNoMetadata, engine("silent.mp4").text() + "\n",
           engine("silent.mp4").report() + "\n");
    expect("--format gpx silent.mp4", kExitNoMetadata, engine("silent.mp4").text() + "\n", "");
    expect("--report text.mp4", kExitFailure, "", notClip);
    expect("-", kExitFailure, "", errorLine("-", messages::kNotSupportedContainer), "text.mp4");
    // Beyond the engine's limit, standard input meets the engine's own size rule.
    expect("-", kExitFailure, "", errorLine("-", messages::kFileExceedsSafetyLimit), "huge.mp4");
    expect("-o o/result.csv text.mp4", kExitFailure, "", notClip);
    expect("-o o/result.csv silent.mp4", kExitNoMetadata, "",
           errorLine("silent.mp4", MetadataExtractor::kNoMetadataNotice));
    expect("-o o/busy drive.mp4", kExitFailure, "",
           errorLine("o/busy", "cannot replace the file: "s + std::strerror(EISDIR)));
    expect("-o o/no/such.csv drive.mp4", kExitFailure, "",
           errorLine("o/no/such.csv", "cannot create a temporary file: "s + std::strerror(ENOENT)));
    EXPECT_EQ(run("-o o/result.csv drive.mp4").exit, kExitCsv);
    EXPECT_EQ(testclips::readFile(dir_ + "/o/result.csv"), csv);
    EXPECT_EQ(entryCount(dir_ + "/o"), 2) << "no temporary file left";
}

// Bad input in every mode: the exit status, standard output, and the lines standard error starts
// with. Paths are checked before the engine reads them; the engine's messages stay its own.
TEST_F(ExtractCli, BadInputIsReportedInEveryMode) {
    fs::create_directories(dir_ + "/bad/folder");
    writeFile(dir_ + "/bad/empty.mp4", "");
    std::string noise(4096, '\0');
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>((i * 2654435761u) >> 13);
    writeFile(dir_ + "/bad/random.mp4", noise);
    const std::string whole = testclips::readFile(dir_ + "/drive.mp4");
    writeFile(dir_ + "/bad/cut.mp4", whole.substr(0, whole.size() / 2));
    ASSERT_EQ(engine("bad/cut.mp4").message(), messages::kAtomBeyondFile);

    const std::string missing = "No such file", folder = "is a folder (use -d to extract the "
                                                         "clips in it)";
    const std::string cut = errorLine("bad/cut.mp4", messages::kAtomBeyondFile);
    const std::string hint =
        errorLine("bad/cut.mp4", "the clip may be cut short: --salvage recovers its complete rows");
    const std::string notClip = errorLine("text.mp4", messages::kNotSupportedContainer);
    const std::string empty = errorLine("bad/empty.mp4", engine("bad/empty.mp4").message());
    const std::string garbled = errorLine("bad/random.mp4", engine("bad/random.mp4").message());
    struct Case {
        std::string args;
        int exit;
        std::string out, errStart;
    };
    const Case cases[] = {
        {"bad/none.mp4", kExitFailure, "", errorLine("bad/none.mp4", missing)},
        {"bad/gone/x.mp4", kExitFailure, "", errorLine("bad/gone/x.mp4", missing)},
        {"bad/folder", kExitFailure, "", errorLine("bad/folder", folder)},
        {"--events bad/folder", kExitFailure, "", errorLine("bad/folder", folder)},
        {"--manifest bad/none.mp4", kExitFailure, "", errorLine("bad/none.mp4", missing)},
        {"bad/empty.mp4", kExitFailure, "", empty},
        {"text.mp4", kExitFailure, "", notClip},
        {"bad/random.mp4", kExitFailure, "", garbled},
        {"bad/cut.mp4", kExitFailure, "", cut + hint},
        {"--evidence bad bad/cut.mp4", kExitFailure, "", cut + hint},
        {"-d bad/csv bad/cut.mp4", kExitFailure, "", cut + hint + "1 clips, 0 rows, 1 failed"},
        {"--events silent.mp4", kExitNoMetadata, "",
         errorLine("silent.mp4", MetadataExtractor::kNoMetadataNotice)},
        {"-d bad/csv bad/none.mp4 bad/folder", kExitFailure, "",
         errorLine("bad/none.mp4", missing) + errorLine("bad/folder", "no clips found") +
             "1 clips, 0 rows, 1 failed"},
        {"--trips bad/gone bad/none.mp4 bad/folder", kExitFailure, "",
         errorLine("bad/gone", missing) + errorLine("bad/none.mp4", missing) +
             errorLine("bad/folder", "no clips found")},
        // A clip that fails is listed with no rows; one that is missing is not.
        {"--trips bad/empty.mp4 text.mp4 bad/random.mp4 bad/none.mp4", kExitFailure,
         "empty.mp4\t1\t?\t-\t0\nrandom.mp4\t1\t?\t-\t0\ntext.mp4\t1\t?\t-\t0\n",
         empty + notClip + garbled + errorLine("bad/none.mp4", missing)},
        {"-d bad/trips --join-trips bad/empty.mp4 text.mp4 bad/none.mp4", kExitFailure, "",
         empty + notClip + errorLine("bad/none.mp4", missing)},
    };
    for (const Case& c : cases) {
        const Run r = run(c.args);
        EXPECT_EQ(std::tuple(r.exit, r.out, r.err.substr(0, c.errStart.size())),
                  std::tuple(c.exit, c.out, c.errStart))
            << c.args << "\n"
            << r.err;
    }
    // Nothing joined from clips that could not be read, and nothing salvaged unasked.
    EXPECT_FALSE(fs::exists(dir_ + "/bad/trips") && entryCount(dir_ + "/bad/trips") > 0);
    EXPECT_FALSE(fs::exists(dir_ + "/bad/cut_evidence"));
    EXPECT_EQ(run("--salvage bad/cut.mp4").exit, kExitCsv);
}

TEST_F(ExtractCli, UsageErrorsAndAnOutputThatIsTheClipExitWithTwo) {
    const std::string before = testclips::readFile(dir_ + "/drive.mp4");
    for (const std::string& usage :
         testclips::split(";--bogus drive.mp4;drive.mp4 drive.mp4;-o;-d;-d out;-j 0 -d out "
                          "drive.mp4;-o x.csv -d out drive.mp4;-d out -;-o drive.mp4 drive.mp4;"
                          "-o symlink.mp4 drive.mp4;-o hardlink.mp4 drive.mp4;-o drive.mp4 -",
                          ';')) {
        const Run r = run(usage, "drive.mp4");
        EXPECT_EQ(std::tuple(r.exit, r.out, r.err.starts_with("veldrin-extract: ")),
                  std::tuple(kExitUsage, "", true))
            << usage << ": " << r.err;
    }
    EXPECT_EQ(testclips::readFile(dir_ + "/drive.mp4"), before);
    EXPECT_FALSE(fs::exists(dir_ + "/out"));

    const std::string help = run("--help").out;
    for (const char* documented : {"--report", "-o FILE", "-d OUTDIR", "-j N", "--version",
                                   "CLIP \"-\"", "\n  1  ", "\n  2  ", "\n  3  "})
        EXPECT_NE(help.find(documented), std::string::npos) << documented;
    EXPECT_EQ(run("--version").out, "veldrin-extract " VELDRIN_VERSION "\n");
}

// As a user without privileges, so that folders can be unreadable even where tests run as root.
TEST_F(ExtractCli, FolderModeListsEveryClipAndEveryFolderItCouldNotRead) {
    const std::string asNobody = "setpriv --reuid=nobody --regid=nogroup --clear-groups";
    const bool root = ::geteuid() == 0;
    if (root && std::system((asNobody + " true").c_str()) != 0)
        GTEST_SKIP() << "running as root, and no user 'nobody' for setpriv to switch to";
    for (const char* folder :
         {"/t/sub/deeper", "/t/.hidden", "/t/locked", "/empty", "/closed", "/csv"})
        fs::create_directories(dir_ + folder);
    for (const char* to : {"/clip10.mp4", "/clip2.mp4", "/Clip1.mp4", "/.hidden/ignored.mp4",
                           "/.dotclip.mp4", "/locked/unseen.mp4"})
        fs::copy_file(dir_ + "/drive.mp4", dir_ + "/t" + to);
    fs::copy_file(dir_ + "/silent.mp4", dir_ + "/t/sub/quiet.Mp4");
    fs::copy_file(dir_ + "/silent.mp4", dir_ + "/t/sub/deeper/clip2.MP4");
    fs::copy_file(dir_ + "/text.mp4", dir_ + "/t/sub/broken.mp4");
    fs::copy_file(dir_ + "/text.mp4", dir_ + "/t/notes.txt");
    fs::permissions(dir_, fs::perms::all);
    fs::permissions(dir_ + "/csv", fs::perms::all);
    for (const char* folder : {"/t/locked", "/closed"})
        fs::permissions(dir_ + folder, fs::perms::none);

    const Run r = run("-j 3 -d csv t empty closed", "/dev/null", root ? asNobody : "");
    for (const char* folder : {"/t/locked", "/closed"})
        fs::permissions(dir_ + folder, fs::perms::owner_all);
    EXPECT_EQ(std::pair(r.exit, r.out), std::pair(kExitFailure, ""s));
    const std::size_t rows = lineCount(engine("drive.mp4").text()) - 1;
    const std::string rowsLine = ": " + std::to_string(rows) + " rows\n";
    const std::string denied = "cannot read folder: "s + std::strerror(EACCES);
    const std::string lines = "t/Clip1.mp4" + rowsLine + "t/clip2.mp4" + rowsLine + "t/clip10.mp4" +
                              rowsLine +
                              errorLine("t/sub/broken.mp4", messages::kNotSupportedContainer) +
                              errorLine("t/sub/deeper/clip2.MP4",
                                        "output clip2_sei.csv already written for t/clip2.mp4") +
                              "t/sub/quiet.Mp4: no SEI metadata\n" + errorLine("t/locked", denied) +
                              errorLine("empty", "no clips found") + errorLine("closed", denied) +
                              "6 clips, " + std::to_string(3 * rows) + " rows, 2 failed, ";
    EXPECT_EQ(r.err.substr(0, lines.size()), lines);
    EXPECT_TRUE(std::regex_match(r.err.substr(lines.size()), std::regex("[0-9]+\\.[0-9] s\n")))
        << r.err;
    EXPECT_EQ(entryCount(dir_ + "/csv"), 3);
    for (const char* name : {"Clip1_sei.csv", "clip2_sei.csv", "clip10_sei.csv"})
        EXPECT_EQ(testclips::readFile(dir_ + "/csv/" + name), engine("drive.mp4").text() + "\n");
}

} // namespace
