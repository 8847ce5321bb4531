// Builders of synthetic MP4, H.264 block, SEI and protocol-buffer bytes for engine tests and
// fuzz seeds: every framing layer can be written exactly, or wrongly on purpose.
#pragma once

#include <bit>
#include <cstdint>
#include <string_view>
#include <type_traits>
#include <vector>

namespace clipbytes {

using Bytes = std::vector<std::uint8_t>;

inline Bytes concat(const std::vector<Bytes>& parts) {
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

inline Bytes text(std::string_view s) {
    return Bytes(s.begin(), s.end());
}

inline Bytes be32(std::uint32_t v) {
    return {std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)};
}

inline Bytes be64(std::uint64_t v) {
    return concat({be32(std::uint32_t(v >> 32)), be32(std::uint32_t(v))});
}

// An atom with an explicit size field (which may lie) and payload.
inline Bytes rawAtom(std::uint32_t sizeField, std::string_view type, const Bytes& payload = {}) {
    return concat({be32(sizeField), text(type), payload});
}

// A well-formed atom with a 32-bit size.
inline Bytes atom(std::string_view type, const Bytes& payload = {}) {
    return rawAtom(std::uint32_t(8 + payload.size()), type, payload);
}

// The usual 16-byte leading atom.
inline Bytes ftyp() {
    return atom("ftyp", concat({text("isom"), Bytes(4, 0)}));
}

inline Bytes block(const Bytes& nal) {
    return concat({be32(std::uint32_t(nal.size())), nal});
}

// Inserts 0x03 after every two zero bytes that precede a byte 0x00 to 0x03, as an encoder does.
inline Bytes addEmulationPrevention(const Bytes& raw) {
    Bytes out;
    int zeros = 0;
    for (std::uint8_t b : raw) {
        if (zeros >= 2 && b <= 3) {
            out.push_back(3);
            zeros = 0;
        }
        out.push_back(b);
        zeros = b == 0 ? zeros + 1 : 0;
    }
    return out;
}

// An SEI user-data unit as the car writes it: header, type 5, size byte, marker, record with
// emulation prevention, trailing byte.
inline Bytes seiUnit(const Bytes& record, std::size_t markerFill = 3, std::uint8_t header = 0x06) {
    Bytes unit = {header, 0x05, std::uint8_t(record.size())};
    unit.insert(unit.end(), markerFill, 0x42);
    unit.push_back(0x69);
    const Bytes escaped = addEmulationPrevention(record);
    unit.insert(unit.end(), escaped.begin(), escaped.end());
    unit.push_back(0x80);
    return unit;
}

// A complete clip: ftyp, a moov, and an mdat holding the given blocks.
inline Bytes clip(const std::vector<Bytes>& blocks) {
    return concat({ftyp(), atom("moov", Bytes(24, 0x11)), atom("mdat", concat(blocks))});
}

// Protocol-buffer wire format.
inline Bytes varint(std::uint64_t v) {
    Bytes out;
    while (v >= 0x80) {
        out.push_back(std::uint8_t(v | 0x80));
        v >>= 7;
    }
    out.push_back(std::uint8_t(v));
    return out;
}

inline Bytes key(std::uint64_t field, unsigned wireType) {
    return varint(field << 3 | wireType);
}

inline Bytes varintField(std::uint64_t field, std::uint64_t v) {
    return concat({key(field, 0), varint(v)});
}

// A fixed32 (float) or fixed64 (double) field, little-endian.
template <typename Float> Bytes fixedField(std::uint64_t field, Float v) {
    const auto bits =
        std::bit_cast<std::conditional_t<sizeof v == 4, std::uint32_t, std::uint64_t>>(v);
    Bytes out = key(field, sizeof v == 4 ? 5 : 1);
    for (std::size_t i = 0; i < sizeof v; ++i)
        out.push_back(std::uint8_t(bits >> (8 * i)));
    return out;
}

// The smallest record that becomes a CSV row.
inline Bytes minimalRecord(std::uint64_t sequence) {
    return concat({varintField(1, 1), varintField(3, sequence)});
}

// A record with all sixteen fields.
inline Bytes fullRecord(std::uint64_t sequence) {
    return concat({varintField(1, 3), varintField(2, 1), varintField(3, sequence),
                   fixedField(4, 12.5f), fixedField(5, 0.25f), fixedField(6, -3.0f),
                   varintField(7, 1), varintField(8, 0), varintField(9, 0), varintField(10, 2),
                   fixedField(11, 37.5), fixedField(12, -122.25), fixedField(13, 90.0),
                   fixedField(14, 0.5), fixedField(15, -0.125), fixedField(16, 9.75)});
}

} // namespace clipbytes
