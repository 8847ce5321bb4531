// SHA-256 on the published examples, and both ways of hashing a block held against each other
// on every length around the padding's edges.
#include "Sha256.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using exports::Sha256Blocks;

std::string hexOf(std::span<const std::uint8_t> message, Sha256Blocks blocks) {
    std::string text;
    for (const std::uint8_t byte : exports::sha256(message, blocks))
        text += {"0123456789abcdef"[byte >> 4], "0123456789abcdef"[byte & 0xF]};
    return text;
}

TEST(Sha256, PublishedExamplesAndBothWaysAlike) {
    const std::vector<std::pair<std::string, std::string>> examples = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    const bool both = exports::hasShaExtensions();
    for (const auto& [message, digest] : examples) {
        const std::span bytes(reinterpret_cast<const std::uint8_t*>(message.data()),
                              message.size());
        EXPECT_EQ(hexOf(bytes, Sha256Blocks::Portable), digest) << message.size();
        if (both) {
            EXPECT_EQ(hexOf(bytes, Sha256Blocks::ShaExtensions), digest) << message.size();
        }
    }
    std::vector<std::uint8_t> bytes(3 * 64 + 1);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 167 + 13);
    for (std::size_t length = 0; both && length <= bytes.size(); ++length)
        EXPECT_EQ(hexOf({bytes.data(), length}, Sha256Blocks::ShaExtensions),
                  hexOf({bytes.data(), length}, Sha256Blocks::Portable))
            << length;
}

} // namespace
