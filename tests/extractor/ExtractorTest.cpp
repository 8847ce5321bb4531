// The extraction driver over buffers: result text, seven-line report, counters, the row limit,
// the 1 GB buffer check, and hostile framing (every prefix of a valid clip).
#include "ClipBytes.h"
#include "Csv.h"
#include "MetadataExtractor.h"
#include "TestClips.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/mman.h>

using namespace clipbytes;
using MetadataExtractor::extractFromBuffer;
using MetadataExtractor::Output;

namespace {

const std::string kNotice = "No SEI metadata found. Requirements:\n"
                            "  * Orvik firmware 2025.44.25 or later\n"
                            "  * QB5 or above\n"
                            "  * If car is parked, SEI data may not be present";

// The report of a clip whose mdat payload starts at 56 and runs to the end.
std::string report(const Bytes& clip, int sei, int payloadFailures, int decodeFailures, int rows) {
    std::string text = "file_bytes: " + std::to_string(clip.size()) +
                       "\nmdat_offset: 56\nmdat_size: " + std::to_string(clip.size() - 56);
    const std::pair<const char*, int> counters[] = {{"sei_nal_count", sei},
                                                    {"payload_decode_failures", payloadFailures},
                                                    {"sei_decode_failures", decodeFailures},
                                                    {"rows_decoded", rows}};
    for (const auto& [label, value] : counters)
        text += "\n" + std::string(label) + ": " + std::to_string(value);
    return text;
}

// The blocks of a clip shaped like the car's: parameter sets, one SEI unit and one picture per
// frame.
std::vector<Bytes> carBlocks(int frames) {
    std::vector<Bytes> blocks = {block({0x67, 0x64, 0x00, 0x1f}), block({0x68, 0xee, 0x3c, 0x80})};
    for (int i = 0; i < frames; ++i) {
        blocks.push_back(block(seiUnit(minimalRecord(std::uint64_t(i)))));
        blocks.push_back(block({0x65, 0x88, 0x84, 0x00, 0x00, 0x03, 0x01}));
    }
    return blocks;
}

// The extraction with its CSV handed over in pieces, and what the pieces were.
Output extractInPieces(const Bytes& bytes, std::vector<std::string>& pieces) {
    MetadataExtractor::ExtractOptions options;
    options.csvPieces = [&pieces](std::string_view piece) { pieces.emplace_back(piece); };
    return extractFromBuffer(bytes, options);
}

TEST(Extract, CsvOrNoticeWithTheReport) {
    const Bytes records = clip(carBlocks(2));
    const Output out = extractFromBuffer(records);
    EXPECT_EQ(out.text(), testclips::kCsvHeader + "\n1,,0,,,,,,,,,,,,,\n1,,1,,,,,,,,,,,,,");
    EXPECT_EQ(out.report(), report(records, 2, 0, 0, 2));

    const Bytes none = clip({block({0x65, 0x88}), block({0x41, 0x9a})});
    EXPECT_EQ(extractFromBuffer(none).text(), kNotice);
    EXPECT_EQ(extractFromBuffer(Bytes(15, 0)), Output::failure("not a supported MP4 container"));
}

TEST(Extract, FailedUnitsAreCountedNotRaised) {
    const Bytes bytes = clip({
        block({0x06, 0x05, 0x01, 0x42, 0x42}),                         // too short to cut
        block({0x06, 0x05, 0x01, 0x00, 0x08, 0x01, 0x80}),             // no marker
        block(seiUnit({0x08, 0x01})),                                  // no frame_seq_no
        block(seiUnit({0x08, 0x01, 0x18, 0x01, 0xA2, 0x01, 0x01})),    // field runs past the end
        block({0x06, 0x04, 0x01, 0x69, 0x08, 0x01, 0x18, 0x01, 0x80}), // other SEI type
    });
    const Output out = extractFromBuffer(bytes);
    EXPECT_EQ(out.text(), kNotice);
    EXPECT_EQ(out.report(), report(bytes, 4, 2, 2, 0));
}

TEST(Extract, RecordLimit) {
    const Bytes unit = block(seiUnit(minimalRecord(1)));
    Bytes media;
    for (int i = 0; i < 100'000; ++i)
        media.insert(media.end(), unit.begin(), unit.end());
    const Bytes bad = block(seiUnit({0x08, 0x01}));
    const Bytes atLimit = concat({ftyp(), rawAtom(0, "mdat"), media, bad});
    const Output accepted = extractFromBuffer(atLimit);
    EXPECT_NE(accepted.report().find("\nsei_decode_failures: 1\nrows_decoded: 100000"),
              std::string::npos);
    EXPECT_EQ(std::count(accepted.text().begin(), accepted.text().end(), '\n'), 100'000);
    EXPECT_EQ(extractFromBuffer(concat({atLimit, unit})).message(), "too many metadata rows");
    std::vector<std::string> pieces;
    EXPECT_EQ(extractInPieces(concat({atLimit, unit}), pieces).message(), "too many metadata rows");
    EXPECT_TRUE(pieces.empty());
}

// In pieces, the CSV adds up to the text the engine would return; a failure, even one met after
// rows, and a clip without rows hand nothing over.
TEST(Extract, CsvInPiecesAddsUpToTheTextOrNothing) {
    std::vector<Bytes> badLastBlock = carBlocks(5'000);
    badLastBlock.push_back(concat({be32(1'000), Bytes{0x06}}));
    const struct {
        const char* name;
        Bytes bytes;
        std::size_t pieces;
    } cases[] = {
        {"rows over several pieces", clip(carBlocks(5'000)), 7},
        {"a few rows", clip(carBlocks(3)), 1},
        {"no rows", clip({block({0x65, 0x88})}), 0},
        {"bad block after rows", clip(badLastBlock), 0},
    };
    for (const auto& c : cases) {
        std::vector<std::string> pieces;
        const Output streamed = extractInPieces(c.bytes, pieces);
        const Output whole = extractFromBuffer(c.bytes);
        EXPECT_EQ(pieces.size(), c.pieces) << c.name;
        std::string joined;
        for (const std::string& piece : pieces) {
            EXPECT_LE(piece.size(), MetadataExtractor::CsvBuilder::kPieceBytes) << c.name;
            joined += piece;
        }
        if (pieces.empty()) {
            EXPECT_EQ(streamed, whole) << c.name;
        } else {
            EXPECT_EQ(joined, whole.text()) << c.name;
            EXPECT_EQ(streamed, Output::success({}, whole.report())) << c.name;
        }
    }
}

TEST(Extract, BufferOverOneGigabyteFailsBeforeItIsRead) {
    // Never touched, so it costs no memory.
    const std::size_t length = (std::size_t{1} << 30) + 1;
    void* p = mmap(nullptr, length, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    ASSERT_NE(p, MAP_FAILED);
    const Output out = extractFromBuffer({static_cast<const std::uint8_t*>(p), length});
    munmap(p, length);
    EXPECT_EQ(out.message(), "MP4 exceeds the 1 GB safety limit");
}

// Every prefix gives a known failure, or the CSV of the whole frames it still holds. With an
// mdat that runs to the end, prefixes give partial answers.
TEST(Extract, EveryPrefixOfAClipFailsCleanly) {
    const Bytes sized = clip(carBlocks(3));
    const std::string full = extractFromBuffer(sized).text();
    const Bytes open = concat({ftyp(), rawAtom(0, "mdat"), Bytes(sized.begin() + 56, sized.end())});
    EXPECT_EQ(extractFromBuffer(open).text(), full);
    const std::string knownFailures[] = {"not a supported MP4 container", "mdat atom not found",
                                         "MP4 atom extends beyond file",
                                         "invalid video block size"};
    for (const Bytes* bytes : {&sized, &open}) {
        for (std::size_t n = 0; n <= bytes->size(); ++n) {
            const Output out = extractFromBuffer({bytes->data(), n});
            if (!out.isSuccess()) {
                EXPECT_TRUE(std::ranges::count(knownFailures, out.message())) << n << out.message();
            } else if (out.text() != kNotice) {
                EXPECT_EQ(full.compare(0, out.text().size(), out.text()), 0) << n;
            }
            EXPECT_EQ(out.isSuccess(),
                      out.report().starts_with("file_bytes: " + std::to_string(n) + "\n"));
        }
    }
}

} // namespace
