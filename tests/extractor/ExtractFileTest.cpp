// extract(path): the size query, the whole-file read (mapped and copied) and the mapping of
// operating-system errors; a mapped file that shrinks under the reader is not a crash.
#include "ClipBytes.h"
#include "FileRead.h"
#include "MetadataExtractor.h"
#include "TestClips.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace clipbytes;
using MetadataExtractor::extract;

namespace {

constexpr std::uint64_t kGigabyte = std::uint64_t{1} << 30;

std::string writeFile(const std::string& path, const Bytes& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(::write(fd, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    ::close(fd);
    return path;
}

// A sparse file of `length` bytes that starts with `head`.
std::string writeSparseFile(const std::string& path, const Bytes& head, std::uint64_t length) {
    writeFile(path, head);
    EXPECT_EQ(::truncate(path.c_str(), off_t(length)), 0);
    return path;
}

class ExtractFile : public testing::Test {
protected:
    std::string dir = testclips::makeTempDir();
};

TEST_F(ExtractFile, SameResultAsTheBuffer) {
    const Bytes bytes = clip({block(seiUnit(fullRecord(1))), block({0x65, 0x00})});
    const auto out = extract(writeFile(dir + "/clip.mp4", bytes));
    EXPECT_TRUE(out.isSuccess());
    EXPECT_EQ(out, MetadataExtractor::extractFromBuffer(bytes));
}

TEST_F(ExtractFile, SizeLimits) {
    EXPECT_EQ(extract(writeFile(dir + "/empty.mp4", {})).message(),
              "empty, oversized, or unreadable file");
    EXPECT_EQ(extract(writeSparseFile(dir + "/over.mp4", ftyp(), kGigabyte + 1)).message(),
              "empty, oversized, or unreadable file");
    // Exactly 1 GiB passes both checks and is parsed: an mdat of zeros is 2^28 empty blocks.
    const std::string exact =
        writeSparseFile(dir + "/exact.mp4", concat({ftyp(), rawAtom(0, "mdat")}), kGigabyte);
    EXPECT_EQ(extract(exact).message(), "too many video blocks");
}

TEST_F(ExtractFile, OperatingSystemErrorsAreDescribed) {
    EXPECT_EQ(extract(dir + "/missing.mp4").message(),
              "Unexpected extractor error: No such file or directory");
    EXPECT_EQ(extract(dir).message(), "Unexpected extractor error: Is a directory");
    EXPECT_EQ(extract("").message(), "Unexpected extractor error: No such file or directory");
}

TEST_F(ExtractFile, FileWithoutSizeIsNeverRead) {
    const std::string fifo = dir + "/fifo.mp4";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_EQ(extract(fifo).message(), "empty, oversized, or unreadable file");
}

TEST_F(ExtractFile, ReadPathAndMappedPathGiveTheSameBytes) {
    Bytes bytes(200'000);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = std::uint8_t(i * 7);
    const std::string path = writeFile(dir + "/bytes.bin", bytes);
    const auto mapped = MetadataExtractor::readWholeFile(path, kGigabyte + 1);
    const auto copied = MetadataExtractor::readWholeFile(path, kGigabyte + 1, false);
    EXPECT_FALSE(copied.isMapped());
    EXPECT_TRUE(
        std::equal(mapped.bytes().begin(), mapped.bytes().end(), bytes.begin(), bytes.end()));
    EXPECT_TRUE(
        std::equal(copied.bytes().begin(), copied.bytes().end(), bytes.begin(), bytes.end()));
    // At most the limit is read, so a file that grew is still seen as too long.
    EXPECT_EQ(MetadataExtractor::readWholeFile(path, 1000, false).bytes().size(), 1000u);
    EXPECT_EQ(MetadataExtractor::readWholeFile(path, 1000).bytes().size(), 1000u);
}

TEST_F(ExtractFile, MappedFileThatShrinksReadsAsZerosInsteadOfCrashing) {
    const std::string path = writeFile(dir + "/shrinks.bin", Bytes(100'000, 0x5A));
    const auto buffer = MetadataExtractor::readWholeFile(path, kGigabyte + 1);
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
    // Outside the guard nothing is intercepted, and an untouched guard reports no loss.
    EXPECT_TRUE(MetadataExtractor::runGuarded(buffer.bytes(), [] {}));
}

} // namespace
