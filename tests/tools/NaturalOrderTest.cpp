// The command line and the studio's folder list put the same names in the same natural order, and
// leave out the same hidden entries and other files.
#include "ClipSources.h"
#include "ContentView.h"
#include "TestClips.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// In order. Ties in the natural order (007 and 7, Clip1 and clip01) go by their bytes; the
// last digit runs exceed 64 bits.
constexpr const char* kNames =
    "007 7 A/b a/c Clip1 clip01 CLIP2 clip2 clip10 file-1 file_1 "
    "n18446744073709551615 n18446744073709551616 x9y9 x9y10 z Zed éclair";

TEST(NaturalOrder, CommandLineAndFolderListAgree) {
    const std::string root = testclips::makeTempDir();
    const auto touch = [&](const std::string& name) {
        std::filesystem::create_directories(std::filesystem::path(root + "/" + name).parent_path());
        std::ofstream(root + "/" + name);
    };
    std::vector<std::string> expected;
    std::istringstream names(kNames);
    for (std::string name; names >> name;)
        touch(expected.emplace_back(name + ".mp4"));
    // Hidden entries and other files are in neither list.
    for (const char* other : {".x.mp4", ".hidden/d.mp4", "a/.inner/f.mp4", "notes.txt"})
        touch(other);

    std::string err;
    EXPECT_EQ(testclips::runExtractor({"-d", testclips::makeTempDir(), root}, nullptr, &err), 1);
    std::vector<std::string> cli;
    const std::string prefix = "veldrin-extract: " + root + "/";
    std::istringstream lines(err);
    for (std::string line; std::getline(lines, line) && line.starts_with(prefix);)
        cli.push_back(line.substr(prefix.size(), line.find(": ", prefix.size()) - prefix.size()));
    EXPECT_EQ(cli, expected);

    ContentView view;
    ClipSources sources(view);
    QSignalSpy listed(&sources, &ClipSources::folderListed);
    sources.loadFolder(QUrl::fromLocalFile(QString::fromStdString(root)));
    ASSERT_TRUE(listed.wait());
    std::vector<std::string> studio;
    for (const QUrl& clip : sources.batch()->folderClips())
        studio.push_back(clip.toLocalFile().mid(int(root.size()) + 1).toStdString());
    EXPECT_EQ(studio, expected);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !sources.batch()->isScanningFolderMetadata(); }, 60000));
}

} // namespace
