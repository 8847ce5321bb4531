// SHA-256 on the published examples and on every length around the padding's edges, both ways
// of hashing a block held against each other.
#include "Sha256.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string hex(const exports::Sha256Digest& digest) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (const std::uint8_t byte : digest)
        text += {kHex[byte >> 4], kHex[byte & 0xF]};
    return text;
}

std::span<const std::uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::vector<exports::Sha256Blocks> blockFunctions() {
    std::vector<exports::Sha256Blocks> ways = {exports::Sha256Blocks::Portable};
    if (exports::hasShaExtensions())
        ways.push_back(exports::Sha256Blocks::ShaExtensions);
    return ways;
}

TEST(Sha256, PublishedExamples) {
    const struct {
        std::string message;
        std::string digest;
    } examples[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto way : blockFunctions())
        for (const auto& example : examples)
            EXPECT_EQ(hex(exports::sha256(bytesOf(example.message), way)), example.digest)
                << example.message.size() << " bytes, way " << static_cast<int>(way);
}

TEST(Sha256, BothWaysAgreeOnEveryLengthAroundTheBlocks) {
    if (!exports::hasShaExtensions())
        GTEST_SKIP() << "no SHA instructions on this processor";
    std::vector<std::uint8_t> bytes(3 * 64 + 1);
    std::uint32_t seed = 12345;
    for (std::uint8_t& byte : bytes)
        byte = static_cast<std::uint8_t>((seed = seed * 1103515245 + 12345) >> 16);
    for (std::size_t length = 0; length <= bytes.size(); ++length) {
        const std::span<const std::uint8_t> message(bytes.data(), length);
        EXPECT_EQ(exports::sha256(message, exports::Sha256Blocks::ShaExtensions),
                  exports::sha256(message, exports::Sha256Blocks::Portable))
            << length << " bytes";
    }
}

} // namespace
