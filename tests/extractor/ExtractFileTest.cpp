// extract(path): the size query, the whole-file read (mapped and copied) and the mapping of
// operating-system errors; a mapped file that shrinks under the reader is not a crash.
#include "ClipBytes.h"
#include "FileRead.h"
#include "MetadataExtractor.h"
#include "TestClips.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

using namespace clipbytes;
using MetadataExtractor::extract;
using MetadataExtractor::readWholeFile;

namespace {

constexpr std::uint64_t kGigabyte = std::uint64_t{1} << 30;

// Writes `bytes`, then extends the file with a hole to `length` bytes when that is longer.
std::string writeFile(const std::string& path, const Bytes& bytes, std::uint64_t length = 0) {
    testclips::writeFile(path, {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
    EXPECT_EQ(length > bytes.size() ? ::truncate(path.c_str(), off_t(length)) : 0, 0);
    return path;
}

class ExtractFile : public testing::Test {
protected:
    std::string dir = testclips::makeTempDir();
};

TEST_F(ExtractFile, SizeLimitsAndSystemErrors) {
    const std::string fifo = dir + "/fifo.mp4"; // has no size, so it is never read
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    for (const std::string& path : {fifo, writeFile(dir + "/empty.mp4", {}),
                                    writeFile(dir + "/over.mp4", ftyp(), kGigabyte + 1)})
        EXPECT_EQ(extract(path).message(), "empty, oversized, or unreadable file") << path;
    // Exactly 1 GiB passes both checks and is parsed: an mdat of zeros is 2^28 empty blocks.
    const Bytes head = concat({ftyp(), rawAtom(0, "mdat")});
    EXPECT_EQ(extract(writeFile(dir + "/exact.mp4", head, kGigabyte)).message(),
              "too many video blocks");
    EXPECT_EQ(extract(dir + "/missing.mp4").message(),
              "Unexpected extractor error: No such file or directory");
}

TEST_F(ExtractFile, ReadPathAndMappedPathGiveTheSameBytes) {
    Bytes bytes(200'000);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = std::uint8_t(i * 7);
    const std::string path = writeFile(dir + "/bytes.bin", bytes);
    for (const bool mapped : {true, false}) {
        const auto whole = readWholeFile(path, kGigabyte + 1, mapped);
        EXPECT_TRUE(mapped || !whole.isMapped());
        EXPECT_TRUE(std::ranges::equal(whole.bytes(), bytes));
        // At most the limit is read, so a file that grew is still seen as too long.
        EXPECT_EQ(readWholeFile(path, 1000, mapped).bytes().size(), 1000u);
    }
}

TEST_F(ExtractFile, MappedFileThatShrinksReadsAsZerosInsteadOfCrashing) {
    const std::string path = writeFile(dir + "/shrinks.bin", Bytes(100'000, 0x5A));
    const auto buffer = readWholeFile(path, kGigabyte + 1);
    if (!buffer.isMapped())
        GTEST_SKIP() << "temporary folder is not on a mapped file system";
    ASSERT_EQ(::truncate(path.c_str(), 0), 0);
    unsigned sum = 0;
    const bool intact = MetadataExtractor::runGuarded(buffer.bytes(), [&] {
        for (std::uint8_t b : buffer.bytes())
            sum += b;
    });
    EXPECT_FALSE(intact);
    EXPECT_EQ(sum, 0u);
    // An untouched guard reports no loss.
    EXPECT_TRUE(MetadataExtractor::runGuarded(buffer.bytes(), [] {}));
}

} // namespace
