// Record decoding: varint framing, wire types, skipping, every documented edge case.
#include "TelemetryRecord.h"
#include "ClipBytes.h"

#include <gtest/gtest.h>

#include <map>

using namespace clipbytes;
using MetadataExtractor::decodeTelemetryRecord;

namespace {

using Entries = std::map<std::string, std::string>;

// The decoded record as a plain map, or nothing.
std::optional<Entries> decode(const Bytes& payload) {
    const auto record = decodeTelemetryRecord(payload);
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

struct DecodeCase {
    const char* name;
    Bytes payload;
    std::optional<Entries> expected;
};

TEST(DecodeTelemetryRecord, Cases) {
    const Bytes maxVarint = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01};
    const std::vector<DecodeCase> cases = {
        {"empty payload", {}, std::nullopt},
        {"version and sequence",
         {0x08, 0x01, 0x18, 0x07},
         Entries{{"version", "1"}, {"frame_seq_no", "7"}}},
        {"version alone", {0x08, 0x01}, Entries{{"version", "1"}}},
        {"speed sent as varint is skipped", concat({varintField(4, 5), varintField(1, 2)}),
         Entries{{"version", "2"}}},
        {"only skipped fields", varintField(4, 5), std::nullopt},
        {"field 17 length-delimited is skipped",
         concat({key(17, 2), varint(3), Bytes{1, 2, 3}, varintField(3, 9)}),
         Entries{{"frame_seq_no", "9"}}},
        {"field 0 length-delimited is skipped",
         concat({key(0, 2), varint(2), Bytes{1, 2}, varintField(1, 4)}), Entries{{"version", "4"}}},
        {"empty length-delimited at the end", concat({varintField(1, 4), key(20, 2), varint(0)}),
         Entries{{"version", "4"}}},
        {"length beyond the payload",
         concat({varintField(1, 4), key(20, 2), varint(3), Bytes{1, 2}}), std::nullopt},
        {"length with bit 32 set",
         concat({varintField(1, 4), key(20, 2), varint(1ull << 32), Bytes{1}}), std::nullopt},
        {"length 2^64-1", concat({varintField(1, 4), key(20, 2), maxVarint, Bytes{1}}),
         std::nullopt},
        {"unknown fixed32 and fixed64 skipped",
         concat({key(30, 5), Bytes(4, 9), key(31, 1), Bytes(8, 9), varintField(1, 1)}),
         Entries{{"version", "1"}}},
        {"unknown fixed64 cut short", concat({varintField(1, 1), key(31, 1), Bytes(7, 9)}),
         std::nullopt},
        {"unknown fixed32 cut short", concat({varintField(1, 1), key(31, 5), Bytes(3, 9)}),
         std::nullopt},
        {"start group fails", concat({varintField(1, 1), varintField(3, 7), key(5, 3)}),
         std::nullopt},
        {"end group fails", concat({key(21, 4), varintField(1, 1)}), std::nullopt},
        {"wire type 6 fails", concat({varintField(1, 1), key(22, 6)}), std::nullopt},
        {"wire type 7 fails", concat({key(1, 7), varintField(1, 1)}), std::nullopt},
        {"blinker 2 is True", varintField(7, 2), Entries{{"blinker_on_left", "True"}}},
        {"blinker 0 is False", varintField(8, 0), Entries{{"blinker_on_right", "False"}}},
        {"brake 2^63 is True", varintField(9, 1ull << 63), Entries{{"brake_applied", "True"}}},
        {"gear 3", varintField(2, 3), Entries{{"gear_state", "GEAR_NEUTRAL"}}},
        {"gear 0", varintField(2, 0), Entries{{"gear_state", "GEAR_PARK"}}},
        {"gear 7", varintField(2, 7), Entries{{"gear_state", "7"}}},
        {"assistance 1", varintField(10, 1), Entries{{"navark_state", "FULL_GUIDE"}}},
        {"assistance 4", varintField(10, 4), Entries{{"navark_state", "4"}}},
        {"ten-byte varint", concat({Bytes{0x08}, maxVarint}),
         Entries{{"version", "18446744073709551615"}}},
        {"eleven-byte varint", concat({Bytes{0x08}, Bytes(9, 0xFF), Bytes{0x81, 0x00}}),
         std::nullopt},
        {"tenth byte above bit 63", concat({Bytes{0x08}, Bytes(9, 0xFF), Bytes{0x02}}),
         std::nullopt},
        {"tenth byte with padding zeros accepted",
         concat({Bytes{0x08}, Bytes(9, 0x80), Bytes{0x00}}), Entries{{"version", "0"}}},
        {"truncated varint value", Bytes{0x08, 0x80}, std::nullopt},
        {"truncated key", Bytes{0x08, 0x01, 0x80}, std::nullopt},
        {"latitude 37.5", doubleField(11, 37.5), Entries{{"latitude_deg", "37.5"}}},
        {"speed 0.00001", floatField(4, 0.00001f), Entries{{"vehicle_speed_mps", "1e-05"}}},
        {"speed cut short", concat({varintField(1, 1), key(4, 5), Bytes(3, 0)}), std::nullopt},
        {"latitude cut short", concat({varintField(1, 1), key(11, 1), Bytes(7, 0)}), std::nullopt},
        {"latitude as fixed32 is skipped", concat({key(11, 5), Bytes(4, 0), varintField(3, 1)}),
         Entries{{"frame_seq_no", "1"}}},
        {"repeated field keeps the second",
         concat({varintField(1, 1), varintField(3, 2), varintField(1, 9)}),
         Entries{{"version", "9"}, {"frame_seq_no", "2"}}},
        {"multi-byte key for field 16", doubleField(16, -2.0),
         Entries{{"linear_acceleration_mps2_z", "-2.0"}}},
        {"over-long key encoding", concat({Bytes{0x88, 0x80, 0x00}, varint(5)}),
         Entries{{"version", "5"}}},
    };
    for (const DecodeCase& c : cases)
        EXPECT_EQ(decode(c.payload), c.expected) << c.name;
}

TEST(DecodeTelemetryRecord, FullRecordHasEveryField) {
    const auto entries = decode(fullRecord(42));
    ASSERT_TRUE(entries);
    EXPECT_EQ(entries->size(), 16u);
    EXPECT_EQ(entries->at("navark_state"), "LANE_GUIDE");
    EXPECT_EQ(entries->at("longitude_deg"), "-122.25");
    EXPECT_EQ(entries->at("accelerator_pedal_position"), "0.25");
}

// Every strict prefix of a valid record fails or decodes the fields that are whole so far.
TEST(DecodeTelemetryRecord, EveryPrefixOfARecordFailsCleanly) {
    const Bytes record = fullRecord(300);
    const auto full = decode(record);
    for (std::size_t n = 0; n < record.size(); ++n) {
        const auto prefix = decode(Bytes(record.begin(), record.begin() + std::ptrdiff_t(n)));
        if (!prefix)
            continue;
        for (const auto& [name, text] : *prefix)
            EXPECT_EQ(full->at(name), text) << "prefix " << n;
        EXPECT_LT(prefix->size(), full->size());
    }
}

TEST(TelemetryRecord, LooksUpByName) {
    const auto record = decodeTelemetryRecord(Bytes{0x08, 0x01, 0x18, 0x07});
    ASSERT_TRUE(record);
    EXPECT_TRUE(record->contains("version"));
    EXPECT_EQ(record->value("frame_seq_no"), "7");
    EXPECT_FALSE(record->contains("gear_state"));
    EXPECT_FALSE(record->contains("no_such_field"));
}

} // namespace
