// Video block scan and SEI payload cutting: which units are handed over, block framing
// failures, the block and unit limits, marker handling and emulation-prevention removal.
#include "VideoScan.h"
#include "ClipBytes.h"
#include "ExtractError.h"
#include "SeiPayload.h"

#include <gtest/gtest.h>

#include <optional>

using namespace clipbytes;

namespace {

struct ScanResult {
    std::vector<Bytes> units;
    std::int64_t seiNalCount = 0;
    std::string error;
};

// Scans `media` between unrelated bytes, so offsets other than 0 are exercised and a read past
// the media meets a byte that could pass for an SEI payload type (0x05).
ScanResult scan(const Bytes& media) {
    const Bytes buffer = concat({Bytes(5, 0xAA), media, Bytes(3, 0x05)});
    ScanResult result;
    try {
        MetadataExtractor::scanVideoBlocks(
            buffer, 5, std::int64_t(media.size()), result.seiNalCount,
            [&](auto unit) { result.units.emplace_back(unit.begin(), unit.end()); });
    } catch (const MetadataExtractor::ExtractError& e) {
        result.error = e.message();
    }
    return result;
}

const Bytes kSei = {0x06, 0x05, 0x02, 0x69, 0x08, 0x80};

TEST(VideoScan, HandsOverSeiUserDataUnitsOnly) {
    struct Case {
        const char* name;
        Bytes media;
        std::vector<Bytes> units;
        std::string error;
    };
    const Case cases[] = {
        {"empty", {}, {}, ""},
        {"trailing bytes after the last block", concat({block(kSei), Bytes(3, 0xFF)}), {kSei}, ""},
        {"upper header bits ignored",
         concat({block({0x65, 0x88}), block({0xE6, 0x05, 0x02}), block({0x41})}),
         {{0xE6, 0x05, 0x02}},
         ""},
        {"other units and payload types",
         concat({block({0x06, 0x04, 0x01, 0x05}), block({0x06, 0x06, 0x05}), block({0x16, 0x05}),
                 block({0x05, 0x05, 0x00}), block({0x07, 0x05}), block({})}),
         {},
         ""},
        {"1-byte SEI header, then 0x05", concat({block({0x06}), Bytes{0x05, 0, 0}}), {}, ""},
        {"1-byte SEI header at the end of the media", block({0x06}), {}, ""},
        {"zero and one byte blocks stepped over",
         concat({be32(0), be32(1), Bytes{0x06}, block(kSei)}),
         {kSei},
         ""},
        {"block one past the end", concat({be32(7), kSei}), {}, "invalid video block size"},
    };
    for (const Case& c : cases) {
        const ScanResult r = scan(c.media);
        EXPECT_EQ(r.units, c.units) << c.name;
        EXPECT_EQ(r.seiNalCount, std::int64_t(c.units.size())) << c.name;
        EXPECT_EQ(r.error, c.error) << c.name;
    }
}

TEST(VideoScan, SeiUnitSizeLimit) {
    Bytes largest(1'048'576, 0x42);
    largest[0] = 0x06;
    largest[1] = 0x05;
    EXPECT_EQ(scan(block(largest)).units.size(), 1u);
    largest.push_back(0x80);
    const ScanResult rejected = scan(concat({block(kSei), block(largest)}));
    EXPECT_EQ(rejected.error, "SEI block exceeds safety limit");
    EXPECT_EQ(rejected.seiNalCount, 2); // counted before the limit is tested
}

TEST(VideoScan, BlockCountLimit) {
    Bytes media(4 * 2'000'000 + 3, 0); // 2,000,000 empty blocks and 3 stray bytes
    EXPECT_EQ(scan(media).error, "");
    media.push_back(0);
    EXPECT_EQ(scan(media).error, "too many video blocks");
}

TEST(SeiPayload, CutsRecordBytesOrGivesNothing) {
    struct Case {
        const char* name;
        Bytes unit;
        std::optional<Bytes> expected;
    };
    const Bytes escaped = {0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x03, 0x00, 0x00, 0x02};
    const Case cases[] = {
        {"shorter than 5", {0x06, 0x05, 0x01, 0x69}, std::nullopt},
        {"empty record", {0x06, 0x05, 0x01, 0x69, 0x80}, Bytes{}},
        {"no marker fill", {0x06, 0x05, 0x01, 0x69, 0x08, 0x01, 0x80}, Bytes{0x08, 0x01}},
        {"marker fill", {0x06, 0x05, 0x01, 0x42, 0x42, 0x69, 0x08, 0x80}, Bytes{0x08}},
        {"fill up to the last byte", {0x06, 0x05, 0x01, 0x42, 0x42, 0x42}, std::nullopt},
        {"fill up to the next-to-last byte", {0x06, 0x05, 0x01, 0x42, 0x42, 0x69}, std::nullopt},
        {"fill then other byte", {0x06, 0x05, 0x01, 0x42, 0x68, 0x08, 0x80}, std::nullopt},
        {"size byte ignored", {0x06, 0x05, 0xFF, 0x69, 0x01, 0x02, 0x80}, Bytes{0x01, 0x02}},
        {"trailing 03 dropped with the last byte", {0x06, 0x05, 0x01, 0x69, 0, 0, 3}, Bytes{0, 0}},
        {"what the encoder escaped", seiUnit(escaped), escaped},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MetadataExtractor::extractSeiPayload(c.unit), c.expected) << c.name;
}

TEST(EmulationPrevention, DropsThirdByteOfEachRun) {
    const std::vector<std::pair<Bytes, Bytes>> cases = {
        {{0x00, 0x00, 0x00, 0x03}, {0x00, 0x00, 0x00}},
        {{0x03, 0x00, 0x00, 0x03, 0x03}, {0x03, 0x00, 0x00, 0x03}},
        {{0x00, 0x00, 0x03, 0x00, 0x03}, {0x00, 0x00, 0x00, 0x03}},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(MetadataExtractor::removeEmulationPrevention(in), out);
}

} // namespace
