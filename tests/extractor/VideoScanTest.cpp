// Video block scan and SEI payload cutting: which units are handed over, block framing
// failures, the block and unit limits, marker handling and emulation-prevention removal.
#include "VideoScan.h"
#include "ClipBytes.h"
#include "ExtractError.h"
#include "SeiPayload.h"

#include <gtest/gtest.h>

#include <optional>

using namespace clipbytes;
using MetadataExtractor::ExtractError;

namespace {

struct ScanResult {
    std::vector<Bytes> units;
    std::int64_t seiNalCount = 0;
    std::string error;
};

// Scans `media` placed after a few unrelated bytes, so offsets other than 0 are exercised.
ScanResult scan(const Bytes& media) {
    const Bytes buffer = concat({Bytes(5, 0xAA), media, Bytes(3, 0xBB)});
    ScanResult result;
    try {
        MetadataExtractor::scanVideoBlocks(buffer, 5, std::int64_t(media.size()),
                                           result.seiNalCount,
                                           [&](std::span<const std::uint8_t> unit) {
                                               result.units.emplace_back(unit.begin(), unit.end());
                                           });
    } catch (const ExtractError& e) {
        result.error = e.message();
    }
    return result;
}

const Bytes kSei = {0x06, 0x05, 0x02, 0x69, 0x08, 0x80};

TEST(VideoScan, EmptyOrTinyMediaEndsWithoutUnits) {
    for (std::size_t n = 0; n <= 3; ++n) {
        const ScanResult r = scan(Bytes(n, 0xFF));
        EXPECT_TRUE(r.units.empty() && r.error.empty()) << n;
    }
}

TEST(VideoScan, TrailingBytesAfterLastBlockAreIgnored) {
    for (std::size_t n = 1; n <= 3; ++n) {
        const ScanResult r = scan(concat({block(kSei), Bytes(n, 0xFF)}));
        EXPECT_EQ(r.units.size(), 1u);
        EXPECT_EQ(r.error, "");
    }
}

TEST(VideoScan, HandsOverSeiUserDataUnitsWhateverTheUpperHeaderBits) {
    for (std::uint8_t header : {0x06, 0x26, 0x46, 0x66, 0x86, 0xE6}) {
        Bytes unit = kSei;
        unit[0] = header;
        const ScanResult r = scan(concat({block({0x65, 0x88}), block(unit), block({0x41})}));
        ASSERT_EQ(r.units.size(), 1u) << int(header);
        EXPECT_EQ(r.units[0], unit);
        EXPECT_EQ(r.seiNalCount, 1);
    }
}

TEST(VideoScan, OtherUnitsAndPayloadTypesAreNotCounted) {
    const ScanResult r =
        scan(concat({block({0x06, 0x04, 0x01, 0x05}), block({0x06, 0x06, 0x05}),
                     block({0x05, 0x05, 0x00}), block({0x07, 0x05}), block({0x06}), block({})}));
    EXPECT_TRUE(r.units.empty());
    EXPECT_EQ(r.seiNalCount, 0);
    EXPECT_EQ(r.error, "");
}

TEST(VideoScan, ZeroAndOneByteBlocksAreSteppedOver) {
    // After N = 0 the next header starts 4 bytes on, after N = 1 five bytes on.
    const ScanResult r = scan(concat({be32(0), be32(1), Bytes{0x06}, block(kSei)}));
    EXPECT_EQ(r.units.size(), 1u);
}

TEST(VideoScan, BlockPastTheEndFails) {
    const Bytes last = concat({be32(std::uint32_t(kSei.size() + 1)), kSei});
    EXPECT_EQ(scan(last).error, "invalid video block size");
    EXPECT_EQ(scan(concat({block({0x65}), be32(0xFFFFFFFF), Bytes(8, 0)})).error,
              "invalid video block size");
    EXPECT_EQ(scan(concat({be32(1)})).error, "invalid video block size");
    EXPECT_EQ(scan(block(kSei)).error, ""); // ends exactly at the end
}

TEST(VideoScan, SeiUnitSizeLimit) {
    Bytes largest(1'048'576, 0x42);
    largest[0] = 0x06;
    largest[1] = 0x05;
    const ScanResult accepted = scan(block(largest));
    EXPECT_EQ(accepted.error, "");
    EXPECT_EQ(accepted.units.size(), 1u);

    largest.push_back(0x80);
    const ScanResult rejected = scan(concat({block(kSei), block(largest)}));
    EXPECT_EQ(rejected.error, "SEI block exceeds safety limit");
    EXPECT_EQ(rejected.seiNalCount, 2); // counted before the limit is tested
}

TEST(VideoScan, BlockCountLimit) {
    Bytes media(4 * 2'000'000, 0); // 2,000,000 empty blocks
    EXPECT_EQ(scan(media).error, "");
    media.resize(media.size() + 3);
    EXPECT_EQ(scan(media).error, "");
    media.push_back(0);
    EXPECT_EQ(scan(media).error, "too many video blocks");
}

// extractSeiPayload: nothing, or the record bytes.
struct CutCase {
    const char* name;
    Bytes unit;
    std::optional<Bytes> expected;
};

TEST(SeiPayload, CutsRecordBytesOrGivesNothing) {
    const std::vector<CutCase> cases = {
        {"shorter than 5", {0x06, 0x05, 0x01, 0x69}, std::nullopt},
        {"empty record", {0x06, 0x05, 0x01, 0x69, 0x80}, Bytes{}},
        {"no marker fill", {0x06, 0x05, 0x01, 0x69, 0x08, 0x01, 0x80}, Bytes{0x08, 0x01}},
        {"marker fill", {0x06, 0x05, 0x01, 0x42, 0x42, 0x69, 0x08, 0x80}, Bytes{0x08}},
        {"fill up to the last byte", {0x06, 0x05, 0x01, 0x42, 0x42, 0x42}, std::nullopt},
        {"fill up to the next-to-last byte", {0x06, 0x05, 0x01, 0x42, 0x42, 0x69}, std::nullopt},
        {"fill then other byte", {0x06, 0x05, 0x01, 0x42, 0x68, 0x08, 0x80}, std::nullopt},
        {"other byte at 3", {0x06, 0x05, 0x01, 0x00, 0x69, 0x08, 0x80}, std::nullopt},
        {"size byte ignored", {0x06, 0x05, 0xFF, 0x69, 0x01, 0x02, 0x80}, Bytes{0x01, 0x02}},
        {"escaped record",
         {0x06, 0x05, 0x01, 0x69, 0x00, 0x00, 0x03, 0x01, 0x80},
         Bytes{0x00, 0x00, 0x01}},
        {"trailing 03 is dropped with the last byte",
         {0x06, 0x05, 0x01, 0x69, 0x00, 0x00, 0x03},
         Bytes{0x00, 0x00}},
    };
    for (const CutCase& c : cases)
        EXPECT_EQ(MetadataExtractor::extractSeiPayload(c.unit), c.expected) << c.name;
}

TEST(SeiPayload, RecoversWhatTheEncoderEscaped) {
    const Bytes record = {0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x03, 0x00, 0x00, 0x02, 0x00};
    EXPECT_EQ(MetadataExtractor::extractSeiPayload(seiUnit(record)), record);
}

TEST(EmulationPrevention, DropsThirdByteOfEachRun) {
    const std::vector<std::pair<Bytes, Bytes>> cases = {
        {{}, {}},
        {{0x00, 0x00, 0x03, 0x01}, {0x00, 0x00, 0x01}},
        {{0x00, 0x00, 0x00, 0x03}, {0x00, 0x00, 0x00}},
        {{0x00, 0x03}, {0x00, 0x03}},
        {{0x03, 0x00, 0x00, 0x03, 0x03}, {0x03, 0x00, 0x00, 0x03}},
        {{0x00, 0x00, 0x03, 0x00, 0x00, 0x03, 0x00, 0x00, 0x03},
         {0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
        {{0x00, 0x00, 0x03, 0x00, 0x03}, {0x00, 0x00, 0x00, 0x03}},
        {{0x00, 0x01, 0x00, 0x03}, {0x00, 0x01, 0x00, 0x03}},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(MetadataExtractor::removeEmulationPrevention(in), out);
}

} // namespace
