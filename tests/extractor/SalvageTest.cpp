// Clips cut short: a generated clip cut at every offset gives exactly the rows of the telemetry
// units that end before the cut; cuts elsewhere fail or succeed exactly as without salvage.
#include "MetadataExtractor.h"
#include "TestClips.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

using MetadataExtractor::extractFromBuffer;

TEST(Salvage, EveryCutGivesTheRowsOfTheCompleteUnits) {
    const std::string dir = testclips::makeTempDir();
    const std::string text =
        testclips::readFile(testclips::generate(dir + "/c.mp4", {"--frames", "12"}));
    const std::span<const std::uint8_t> clip(reinterpret_cast<const std::uint8_t*>(text.data()),
                                             text.size());
    const auto whole = extractFromBuffer(clip);
    std::smatch m;
    ASSERT_TRUE(
        std::regex_search(whole.report(), m, std::regex("mdat_offset: (\\d+)\nmdat_size: (\\d+)")));
    const std::size_t start = std::stoul(m[1]), end = start + std::stoul(m[2]);
    // Where each block ends, and the text the CSV has up to each telemetry unit's end.
    std::vector<std::pair<std::size_t, std::size_t>> ends; // block end, CSV length up to it
    std::size_t csvLength = whole.text().find('\n');
    for (std::size_t p = start; p + 4 <= end;) {
        const std::size_t n =
            std::size_t{clip[p]} << 24 | clip[p + 1] << 16 | clip[p + 2] << 8 | clip[p + 3];
        if (n >= 2 && (clip[p + 4] & 0x1f) == 6 && clip[p + 5] == 5)
            csvLength = whole.text().find('\n', csvLength + 1);
        ends.emplace_back(p += 4 + n, csvLength);
    }
    ASSERT_EQ(csvLength, std::string::npos);
    std::pair<std::size_t, std::size_t> last{start, whole.text().find('\n')};
    for (std::size_t cut = 1; cut < clip.size(); ++cut) {
        const auto plain = extractFromBuffer(clip.first(cut));
        const auto salvaged = extractFromBuffer(clip.first(cut), {true, {}, {}});
        if (cut < start || cut >= end) {
            ASSERT_EQ(salvaged, plain) << cut;
            continue;
        }
        ASSERT_EQ(plain.message(), "MP4 atom extends beyond file");
        while (!ends.empty() && ends.front().first <= cut) {
            last = ends.front();
            ends.erase(ends.begin());
        }
        ASSERT_EQ(salvaged.text(), last.second == whole.text().find('\n')
                                       ? MetadataExtractor::kNoMetadataNotice
                                       : whole.text().substr(0, last.second))
            << cut;
        ASSERT_TRUE(
            salvaged.report().ends_with("\nsalvaged_bytes: " + std::to_string(last.first - start)));
        ASSERT_NE(salvaged.report().find(m.str()), std::string::npos);
    }
}

TEST(Salvage, CommandLineExitsByRowsFound) {
    const std::string dir = testclips::makeTempDir(), clip = dir + "/cut.mp4";
    const std::string whole =
        testclips::readFile(testclips::generate(dir + "/w.mp4", {"--frames", "6"}));
    std::string out, err, full;
    testclips::runExtractor({dir + "/w.mp4"}, &full);
    // Cut one byte into the media data: no complete unit; then half-way: some rows.
    const std::size_t mediaStart = whole.find("mdat") + 4;
    const struct {
        std::size_t cut;
        std::vector<std::string> args;
        int exit;
    } cases[] = {
        {mediaStart + 1, {"--salvage", clip}, 3},
        {whole.size() / 2, {clip}, 1},
        {whole.size() / 2, {"--report", "--salvage", clip}, 0},
    };
    for (const auto& c : cases) {
        testclips::writeFile(clip, std::string_view(whole).substr(0, c.cut));
        EXPECT_EQ(testclips::runExtractor(c.args, &out, &err), c.exit);
    }
    EXPECT_TRUE(full.starts_with(out) && out.ends_with("\n") &&
                out.size() > testclips::kCsvHeader.size() + 1);
    EXPECT_TRUE(std::regex_search(
        err, std::regex("^file_bytes: \\d+\n(\\w+: \\d+\n){6}salvaged_bytes: \\d+\n$")));
}

} // namespace
