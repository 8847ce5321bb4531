// Record decoding: the edge cases of varint framing, wire types and skipping that random
// records from the reference library do not reach.
#include "TelemetryRecord.h"
#include "ClipBytes.h"

#include <gtest/gtest.h>

#include <bit>
#include <map>
#include <string_view>
#include <vector>

using namespace clipbytes;

namespace {

using Entries = std::map<std::string, std::string>;

// The decoded record as a plain map, or nothing.
std::optional<Entries> decode(const Bytes& payload) {
    const auto record = MetadataExtractor::decodeTelemetryRecord(payload);
    if (!record)
        return std::nullopt;
    Entries entries;
    for (std::size_t field = 1; field <= 16; ++field) {
        if (auto text = record->value(field))
            entries.emplace(MetadataExtractor::csvColumns()[field - 1], *text);
    }
    EXPECT_EQ(entries.size(), record->size());
    return entries;
}

TEST(DecodeTelemetryRecord, Cases) {
    struct Case {
        const char* name;
        Bytes payload;
        std::optional<Entries> expected;
    };
    const Entries version4 = {{"version", "4"}};
    const Case cases[] = {
        {"empty payload", {}, std::nullopt},
        {"speed sent as varint is skipped", concat({varintField(4, 5), varintField(1, 4)}),
         version4},
        {"length-delimited fields 0 and 17 skipped",
         concat({key(0, 2), varint(2), Bytes{1, 2}, key(17, 2), varint(1), Bytes{3},
                 varintField(1, 4)}),
         version4},
        {"length-delimited up to the end",
         concat({varintField(1, 4), key(20, 2), varint(2), {1, 2}}), version4},
        {"length-delimited one past the end",
         concat({varintField(1, 4), key(20, 2), varint(3), Bytes{1, 2}}), std::nullopt},
        {"length with bit 32 set",
         concat({varintField(1, 4), key(20, 2), varint(1ull << 32), Bytes{1}}), std::nullopt},
        {"start group fails", concat({varintField(1, 1), key(5, 3)}), std::nullopt},
        {"wire type 6 fails", concat({varintField(1, 1), key(22, 6)}), std::nullopt},
        {"brake 2^63 is True", varintField(9, 1ull << 63), Entries{{"brake_applied", "True"}}},
        {"eleven-byte varint", concat({Bytes{0x08}, Bytes(9, 0xFF), Bytes{0x81, 0x00}}),
         std::nullopt},
        {"tenth byte above bit 63", concat({Bytes{0x08}, Bytes(9, 0xFF), Bytes{0x02}}),
         std::nullopt},
        {"tenth byte with padding zeros accepted",
         concat({Bytes{0x08}, Bytes(9, 0x80), Bytes{0x00}}), Entries{{"version", "0"}}},
        {"over-long key encoding", concat({Bytes{0x88, 0x80, 0x00}, varint(4)}), version4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(decode(c.payload), c.expected) << c.name;
}

// Rows written with the texts of repeated bits copied read as rows written afresh: a first zero
// (all bits clear), repeats, changes, a field missing in between, and one field's bits in another.
TEST(WriteValueTexts, RepeatedBitsGiveTheSameTexts) {
    using MetadataExtractor::TelemetryValues;
    const auto doubleBits = [](double v) { return std::bit_cast<std::uint64_t>(v); };
    const auto floatBits = [](float v) { return std::uint64_t{std::bit_cast<std::uint32_t>(v)}; };
    const std::uint64_t heading = doubleBits(30.0), turned = doubleBits(-0.024055005632270673);
    const std::vector<std::vector<std::pair<std::size_t, std::uint64_t>>> rows = {
        {{13, 0}, {6, 0}, {11, doubleBits(48.13743)}},
        {{13, 0}, {6, floatBits(0.5f)}, {11, doubleBits(48.13743)}},
        {{13, heading}, {6, floatBits(0.5f)}, {14, heading}},
        {{13, heading}, {6, floatBits(-1.25e-5f)}, {14, turned}},
        {{6, floatBits(-1.25e-5f)}, {14, turned}},
        {{13, heading}, {5, floatBits(-1.25e-5f)}, {11, turned}},
    };
    // One after another in one buffer, as the CSV writes them; short rows, so that a text
    // copied from the row before lies within a copy's reach of the row being written.
    MetadataExtractor::RowTextWriter writer;
    std::vector<char> text(rows.size() * MetadataExtractor::RowTextWriter::kRowRoom);
    char* out = text.data();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        TelemetryValues values;
        for (const auto& [field, bits] : rows[i])
            values.set(field, bits);
        char fresh[1024];
        const char* freshEnd = MetadataExtractor::writeValueTexts(fresh, values, ',');
        char* const end = writer.write(out, values, ',');
        EXPECT_EQ(std::string_view(out, end), std::string_view(fresh, freshEnd)) << i;
        out = end;
    }
}

} // namespace
