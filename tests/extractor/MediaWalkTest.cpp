// Top-level atom walk: every framing failure with its exact message, and the accepted layouts.
#include "MediaWalk.h"
#include "ClipBytes.h"
#include "ExtractError.h"

#include <gtest/gtest.h>

#include <variant>

using namespace clipbytes;
using MetadataExtractor::ExtractError;
using MetadataExtractor::findMediaData;
using MetadataExtractor::MediaData;

namespace {

using Outcome = std::variant<MediaData, std::string>;

Outcome walk(const Bytes& bytes) {
    try {
        return findMediaData(bytes);
    } catch (const ExtractError& e) {
        return e.message();
    }
}

struct WalkCase {
    const char* name;
    Bytes bytes;
    Outcome expected;
};

const Bytes kFtyp = ftyp(); // 16 bytes

std::vector<WalkCase> walkCases() {
    const std::string notMp4 = "not a supported MP4 container";
    const std::string noMdat = "mdat atom not found";
    return {
        {"15 bytes", Bytes(15, 0), notMp4},
        {"15 bytes spelling ftyp", concat({be32(15), text("ftyp"), Bytes(7, 0)}), notMp4},
        {"capital FTYP", concat({be32(16), text("FTYP"), Bytes(8, 0)}), notMp4},
        {"non-ASCII type byte", concat({be32(16), text("fty\x80"), Bytes(8, 0)}), notMp4},
        {"first atom not ftyp", concat({atom("moov", Bytes(8, 0)), atom("mdat")}), notMp4},
        {"ftyp of size 8", concat({rawAtom(8, "ftyp"), Bytes(8, 0)}), "invalid MP4 file header"},
        {"ftyp of size 4", concat({rawAtom(4, "ftyp"), Bytes(8, 0)}), "invalid MP4 atom size"},
        {"ftyp of size 7", concat({rawAtom(7, "ftyp"), Bytes(8, 0)}), "invalid MP4 atom size"},
        {"ftyp of size 2", concat({rawAtom(2, "ftyp"), Bytes(8, 0)}), "invalid MP4 atom size"},
        {"ftyp of size 0 spans the file", concat({rawAtom(0, "ftyp"), Bytes(40, 0)}), noMdat},
        {"only ftyp", kFtyp, noMdat},
        {"1 stray byte", concat({kFtyp, Bytes(1, 0)}), noMdat},
        {"7 stray bytes", concat({kFtyp, Bytes{0, 0, 0, 8, 'm', 'd', 'a'}}), noMdat},
        {"mdat inside another atom", concat({kFtyp, atom("moov", atom("mdat", Bytes(4, 1)))}),
         noMdat},
        {"mdat of size 8", concat({kFtyp, atom("mdat")}), MediaData{24, 0}},
        {"mdat with payload", concat({kFtyp, atom("mdat", Bytes(5, 7))}), MediaData{24, 5}},
        {"mdat of size 0 runs to the end", concat({kFtyp, rawAtom(0, "mdat"), Bytes(10, 1)}),
         MediaData{24, 10}},
        {"extended mdat of 16", concat({kFtyp, rawAtom(1, "mdat", be64(16))}), MediaData{32, 0}},
        {"extended mdat with payload", concat({kFtyp, rawAtom(1, "mdat", be64(19)), Bytes(3, 0)}),
         MediaData{32, 3}},
        {"extended header cut short", concat({kFtyp, rawAtom(1, "mdat", Bytes(7, 0))}),
         "truncated extended atom size"},
        {"extended size 0", concat({kFtyp, rawAtom(1, "mdat", be64(0))}), "invalid MP4 atom size"},
        {"extended size 15", concat({kFtyp, rawAtom(1, "mdat", be64(15))}),
         "invalid MP4 atom size"},
        {"extended size 2^63", concat({kFtyp, rawAtom(1, "mdat", be64(1ull << 63))}),
         "MP4 atom extends beyond file"},
        {"extended size 2^64-1", concat({kFtyp, rawAtom(1, "mdat", be64(~0ull))}),
         "MP4 atom extends beyond file"},
        {"extended size wraps the offset",
         concat({kFtyp, rawAtom(1, "free", be64(~0ull - 10)), atom("mdat")}),
         "MP4 atom extends beyond file"},
        {"size 2 after ftyp", concat({kFtyp, rawAtom(2, "free"), atom("mdat")}),
         "invalid MP4 atom size"},
        {"size one past the end", concat({kFtyp, rawAtom(9, "mdat")}),
         "MP4 atom extends beyond file"},
        {"size 0xFFFFFFFF before an mdat",
         concat({kFtyp, rawAtom(0xFFFFFFFF, "free"), atom("mdat")}),
         "MP4 atom extends beyond file"},
        {"other atoms before mdat",
         concat({kFtyp, atom("free", Bytes(3, 0)), atom("moov", Bytes(10, 0)),
                 atom("mdat", Bytes(2, 9))}),
         MediaData{16 + 11 + 18 + 8, 2}},
        {"the first mdat wins", concat({kFtyp, atom("mdat", Bytes(1, 0)), rawAtom(3, "mdat")}),
         MediaData{24, 1}},
        {"non-ASCII type is skipped", concat({kFtyp, atom("\xff\xff\xff\xff"), atom("mdat")}),
         MediaData{32, 0}},
    };
}

class MediaWalk : public testing::TestWithParam<WalkCase> {};

TEST_P(MediaWalk, GivesPayloadOrExactMessage) {
    const WalkCase& c = GetParam();
    const Outcome got = walk(c.bytes);
    if (const auto* expected = std::get_if<MediaData>(&c.expected)) {
        ASSERT_TRUE(std::holds_alternative<MediaData>(got)) << std::get<std::string>(got);
        EXPECT_EQ(std::get<MediaData>(got).payloadOffset, expected->payloadOffset);
        EXPECT_EQ(std::get<MediaData>(got).payloadSize, expected->payloadSize);
    } else {
        EXPECT_EQ(got, c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, MediaWalk, testing::ValuesIn(walkCases()),
                         [](const testing::TestParamInfo<WalkCase>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

TEST(AtomType, DecodesAsciiAndRejectsTheRest) {
    const Bytes bytes = concat({text("ftyp"), Bytes{0x00, 0x01, 0x7f, 0x20}, Bytes{'a', 0x80}});
    EXPECT_EQ(MetadataExtractor::readAtomType(bytes, 0), "ftyp");
    EXPECT_EQ(MetadataExtractor::readAtomType(bytes, 4), std::string("\x00\x01\x7f\x20", 4));
    EXPECT_EQ(MetadataExtractor::readAtomType(bytes, 6), ""); // contains 0x80
    EXPECT_EQ(MetadataExtractor::readAtomType(bytes, 7), ""); // runs past the end
    EXPECT_EQ(MetadataExtractor::readAtomType(bytes, ~0ull), "");
}

TEST(BigEndian, ReadsUnsignedValues) {
    const Bytes bytes = {0x80, 0x01, 0x02, 0x03, 0xff, 0xfe, 0xfd, 0xfc};
    EXPECT_EQ(MetadataExtractor::readBigEndian32(bytes, 0), 0x80010203u);
    EXPECT_EQ(MetadataExtractor::readBigEndian64(bytes, 0), 0x80010203fffefdfcull);
}

} // namespace
