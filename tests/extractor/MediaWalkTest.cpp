// Top-level atom walk: every framing failure with its exact message, and the accepted layouts.
#include "MediaWalk.h"
#include "ClipBytes.h"
#include "ExtractError.h"

#include <gtest/gtest.h>

#include <variant>

using namespace clipbytes;
using MetadataExtractor::findMediaData;
using MetadataExtractor::MediaData;

namespace {

using Outcome = std::variant<MediaData, std::string>;

Outcome walk(const Bytes& bytes) {
    try {
        return findMediaData(bytes);
    } catch (const MetadataExtractor::ExtractError& e) {
        return e.message();
    }
}

const Bytes kFtyp = ftyp(); // 16 bytes

TEST(MediaWalk, GivesPayloadOrExactMessage) {
    const std::string notMp4 = "not a supported MP4 container";
    const std::string noMdat = "mdat atom not found";
    struct WalkCase {
        const char* name;
        Bytes bytes;
        Outcome expected;
    };
    const WalkCase cases[] = {
        {"15 bytes", Bytes(15, 0), notMp4},
        {"capital FTYP", concat({be32(16), text("FTYP"), Bytes(8, 0)}), notMp4},
        {"first atom not ftyp", concat({atom("moov", Bytes(8, 0)), atom("mdat")}), notMp4},
        {"ftyp of size 8", concat({rawAtom(8, "ftyp"), Bytes(8, 0)}), "invalid MP4 file header"},
        {"ftyp of size 7", concat({rawAtom(7, "ftyp"), Bytes(8, 0)}), "invalid MP4 atom size"},
        {"ftyp of size 0 spans the file", concat({rawAtom(0, "ftyp"), Bytes(40, 0)}), noMdat},
        {"only ftyp", kFtyp, noMdat},
        {"7 stray bytes", concat({kFtyp, Bytes{0, 0, 0, 8, 'm', 'd', 'a'}}), noMdat},
        {"mdat with payload", concat({kFtyp, atom("mdat", Bytes(5, 7))}), MediaData{24, 5}},
        {"mdat of size 0 runs to the end", concat({kFtyp, rawAtom(0, "mdat"), Bytes(10, 1)}),
         MediaData{24, 10}},
        {"extended mdat of 16", concat({kFtyp, rawAtom(1, "mdat", be64(16))}), MediaData{32, 0}},
        {"extended header cut short", concat({kFtyp, rawAtom(1, "mdat", Bytes(7, 0))}),
         "truncated extended atom size"},
        {"extended size 15", concat({kFtyp, rawAtom(1, "mdat", be64(15))}),
         "invalid MP4 atom size"},
        {"extended size wraps the offset",
         concat({kFtyp, rawAtom(1, "free", be64(~0ull - 10)), atom("mdat")}),
         "MP4 atom extends beyond file"},
        {"size one past the end", concat({kFtyp, rawAtom(9, "mdat")}),
         "MP4 atom extends beyond file"},
        {"the first mdat wins", concat({kFtyp, atom("mdat", Bytes(1, 0)), rawAtom(3, "mdat")}),
         MediaData{24, 1}},
        {"non-ASCII type is skipped", concat({kFtyp, atom("\xff\xff\xff\xff"), atom("mdat")}),
         MediaData{32, 0}},
    };
    for (const WalkCase& c : cases)
        EXPECT_EQ(walk(c.bytes), c.expected) << c.name;
}

} // namespace
