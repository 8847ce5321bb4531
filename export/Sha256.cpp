// SHA-256 (FIPS 180-4). The constants are computed from their definition rather than copied,
// so that none can be mistyped.
#include "Sha256.h"

#include <bit>
#include <cstring>

#if defined(__x86_64__)
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace exports {
namespace {

__extension__ typedef unsigned __int128 Wide;

constexpr std::size_t kBlockBytes = 64;
constexpr std::size_t kRounds = 64;
constexpr std::size_t kLengthBytes = 8;
constexpr std::uint8_t kPaddingStart = 0x80;

constexpr std::array<std::uint32_t, kRounds> firstPrimes() {
    std::array<std::uint32_t, kRounds> primes{};
    std::uint32_t candidate = 2;
    for (std::uint32_t& prime : primes) {
        for (;; ++candidate) {
            bool composite = false;
            for (std::uint32_t d = 2; d * d <= candidate && !composite; ++d)
                composite = candidate % d == 0;
            if (!composite)
                break;
        }
        prime = candidate++;
    }
    return primes;
}

// The largest x with x^power <= value.
constexpr Wide integerRoot(Wide value, int power) {
    Wide low = 0, high = Wide{1} << 40;
    while (low < high) {
        const Wide mid = (low + high + 1) / 2;
        Wide raised = 1;
        for (int i = 0; i < power; ++i)
            raised *= mid;
        if (raised <= value)
            low = mid;
        else
            high = mid - 1;
    }
    return low;
}

// The first 32 bits of the fraction of the root of `prime`.
constexpr std::uint32_t rootFraction(std::uint32_t prime, int power) {
    return static_cast<std::uint32_t>(integerRoot(Wide{prime} << (32 * power), power));
}

constexpr auto kPrimes = firstPrimes();

constexpr auto kRoundConstants = [] {
    std::array<std::uint32_t, kRounds> constants{};
    for (std::size_t i = 0; i < kRounds; ++i)
        constants[i] = rootFraction(kPrimes[i], 3);
    return constants;
}();
static_assert(kRoundConstants[0] == 0x428a2f98 && kRoundConstants[63] == 0xc67178f2);

using State = std::array<std::uint32_t, 8>;

constexpr State kInitialState = [] {
    State state{};
    for (std::size_t i = 0; i < state.size(); ++i)
        state[i] = rootFraction(kPrimes[i], 2);
    return state;
}();
static_assert(kInitialState[0] == 0x6a09e667 && kInitialState[7] == 0x5be0cd19);

std::uint32_t loadBigEndian(const std::uint8_t* bytes) {
    std::uint32_t word;
    std::memcpy(&word, bytes, sizeof word);
    return std::endian::native == std::endian::little ? __builtin_bswap32(word) : word;
}

void portableBlocks(State& state, const std::uint8_t* data, std::size_t blocks) {
    for (; blocks > 0; --blocks, data += kBlockBytes) {
        std::array<std::uint32_t, kRounds> w;
        for (std::size_t i = 0; i < 16; ++i)
            w[i] = loadBigEndian(data + 4 * i);
        for (std::size_t i = 16; i < kRounds; ++i) {
            const std::uint32_t s0 =
                std::rotr(w[i - 15], 7) ^ std::rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
            const std::uint32_t s1 =
                std::rotr(w[i - 2], 17) ^ std::rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        auto [a, b, c, d, e, f, g, h] = state;
        for (std::size_t i = 0; i < kRounds; ++i) {
            const std::uint32_t s1 = std::rotr(e, 6) ^ std::rotr(e, 11) ^ std::rotr(e, 25);
            const std::uint32_t choice = (e & f) ^ (~e & g);
            const std::uint32_t t1 = h + s1 + choice + kRoundConstants[i] + w[i];
            const std::uint32_t s0 = std::rotr(a, 2) ^ std::rotr(a, 13) ^ std::rotr(a, 22);
            const std::uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
            h = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + s0 + majority;
        }
        const State next = {a, b, c, d, e, f, g, h};
        for (std::size_t i = 0; i < state.size(); ++i)
            state[i] += next[i];
    }
}

#if defined(__x86_64__)
constexpr unsigned kFeatureLeaf = 1, kExtendedFeatureLeaf = 7;
constexpr unsigned kSsse3Bit = 1U << 9, kSse41Bit = 1U << 19, kShaBit = 1U << 29;

bool processorHasShaExtensions() {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(kFeatureLeaf, &a, &b, &c, &d) || (c & kSsse3Bit) == 0 || (c & kSse41Bit) == 0)
        return false;
    return __get_cpuid_count(kExtendedFeatureLeaf, 0, &a, &b, &c, &d) && (b & kShaBit) != 0;
}

// Four rounds per step on the state held as ABEF and CDGH, the schedule's words four at a time.
[[gnu::target("sha,sse4.1,ssse3")]] void shaExtensionBlocks(State& state, const std::uint8_t* data,
                                                            std::size_t blocks) {
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
    const __m128i dcba =
        _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<__m128i*>(&state[0])), 0xB1);
    const __m128i hgfe =
        _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<__m128i*>(&state[4])), 0x1B);
    __m128i abef = _mm_alignr_epi8(dcba, hgfe, 8);
    __m128i cdgh = _mm_blend_epi16(hgfe, dcba, 0xF0);
    for (; blocks > 0; --blocks, data += kBlockBytes) {
        const __m128i abefBefore = abef, cdghBefore = cdgh;
        __m128i w[4];
#pragma GCC unroll 16
        for (std::size_t step = 0; step < kRounds / 4; ++step) {
            __m128i& words = w[step % 4];
            if (step < 4) {
                words = _mm_shuffle_epi8(
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * step)), byteSwap);
            } else {
                const __m128i& last = w[(step + 3) % 4];
                words = _mm_sha256msg2_epu32(
                    _mm_add_epi32(_mm_sha256msg1_epu32(words, w[(step + 1) % 4]),
                                  _mm_alignr_epi8(last, w[(step + 2) % 4], 4)),
                    last);
            }
            const __m128i scheduled = _mm_add_epi32(
                words,
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(&kRoundConstants[4 * step])));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, scheduled);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(scheduled, 0x0E));
        }
        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }
    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[0]), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[4]), _mm_alignr_epi8(dchg, feba, 8));
}
#else
bool processorHasShaExtensions() {
    return false;
}
void shaExtensionBlocks(State& state, const std::uint8_t* data, std::size_t blocks) {
    portableBlocks(state, data, blocks);
}
#endif

} // namespace

bool hasShaExtensions() {
    static const bool has = processorHasShaExtensions();
    return has;
}

Sha256Digest sha256(std::span<const std::uint8_t> bytes, Sha256Blocks blocks) {
    const auto hashBlocks =
        blocks == Sha256Blocks::ShaExtensions ? shaExtensionBlocks : portableBlocks;
    State state = kInitialState;
    const std::size_t whole = bytes.size() / kBlockBytes;
    hashBlocks(state, bytes.data(), whole);

    // The rest, a one bit, zeros and the length in bits: one block or two.
    std::array<std::uint8_t, 2 * kBlockBytes> tail{};
    const std::size_t rest = bytes.size() - whole * kBlockBytes;
    if (rest > 0)
        std::memcpy(tail.data(), bytes.data() + whole * kBlockBytes, rest);
    tail[rest] = kPaddingStart;
    const std::size_t tailBlocks = rest + 1 + kLengthBytes > kBlockBytes ? 2 : 1;
    const std::uint64_t bits = static_cast<std::uint64_t>(bytes.size()) * 8;
    for (std::size_t i = 0; i < kLengthBytes; ++i)
        tail[tailBlocks * kBlockBytes - 1 - i] = static_cast<std::uint8_t>(bits >> (8 * i));
    hashBlocks(state, tail.data(), tailBlocks);

    Sha256Digest digest;
    for (std::size_t i = 0; i < state.size(); ++i)
        for (std::size_t j = 0; j < 4; ++j)
            digest[4 * i + j] = static_cast<std::uint8_t>(state[i] >> (24 - 8 * j));
    return digest;
}

Sha256Digest sha256(std::span<const std::uint8_t> bytes) {
    return sha256(bytes, hasShaExtensions() ? Sha256Blocks::ShaExtensions : Sha256Blocks::Portable);
}

} // namespace exports
