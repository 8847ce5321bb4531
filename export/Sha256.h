// SHA-256, with the processor's SHA instructions where it has them. Our own, so that the
// command line is one self-contained executable that loads no library to hash.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace exports {

using Sha256Digest = std::array<std::uint8_t, 32>;

Sha256Digest sha256(std::span<const std::uint8_t> bytes);

// The two ways of hashing a block, chosen by what the processor offers; both are exposed so
// that tests can hold one against the other.
enum class Sha256Blocks { Portable, ShaExtensions };
bool hasShaExtensions();
// ShaExtensions only where hasShaExtensions() holds.
Sha256Digest sha256(std::span<const std::uint8_t> bytes, Sha256Blocks blocks);

} // namespace exports
