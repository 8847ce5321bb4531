// The texts that telemetry values are written as in the CSV: unsigned decimals, flags,
// enumeration names and shortest round-trip floating-point texts.
#pragma once

#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace MetadataExtractor {

// A short text stored inline, so that decoding a record allocates nothing.
class ValueText {
public:
    // The longest text any value can give: "-1.2345678901234567e-308" has 24 characters.
    static constexpr std::size_t kCapacity = 24;
    // What the writers below may store at `out`, beyond the text itself: they write whole
    // words.
    static constexpr std::size_t kWriteRoom = 48;

    ValueText() = default;
    explicit ValueText(std::string_view text);

    std::string_view view() const { return {chars_.data(), length_}; }
    bool empty() const { return length_ == 0; }
    friend bool operator==(const ValueText& a, const ValueText& b) { return a.view() == b.view(); }

private:
    std::array<char, kCapacity> chars_{};
    std::uint8_t length_ = 0;
};

namespace detail {

// A name padded to a whole number of words, stored whole: no copy of a variable length.
template <std::size_t Words> struct PaddedName {
    std::array<char, 8 * Words> chars{};
    std::size_t length = 0;
};

template <std::size_t Words, std::size_t N>
constexpr std::array<PaddedName<Words>, N> padded(const std::array<std::string_view, N>& names) {
    std::array<PaddedName<Words>, N> padded{};
    for (std::size_t i = 0; i < N; ++i) {
        for (std::size_t c = 0; c < names[i].size(); ++c)
            padded[i].chars[c] = names[i][c];
        padded[i].length = names[i].size();
    }
    return padded;
}

template <std::size_t Words> char* writePadded(char* out, const PaddedName<Words>& name) {
    std::memcpy(out, name.chars.data(), name.chars.size());
    return out + name.length;
}

inline constexpr auto kFlagNames = padded<1>(std::array<std::string_view, 2>{"False", "True"});
inline constexpr auto kGearNames = padded<2>(
    std::array<std::string_view, 4>{"GEAR_PARK", "GEAR_DRIVE", "GEAR_REVERSE", "GEAR_NEUTRAL"});
inline constexpr auto kAssistanceNames =
    padded<2>(std::array<std::string_view, 4>{"IDLE", "FULL_GUIDE", "LANE_GUIDE", "PACE_GUIDE"});

} // namespace detail

// Each text also has a writer that puts it straight into a caller's buffer with room for
// ValueText::kWriteRoom characters and returns the end of the text; the CSV rows are
// written this way, without a ValueText in between. The short ones are inline: a row has
// seven of them, and the calls cost more than the texts.
inline char* writeUnsignedText(char* out, std::uint64_t value) {
    return std::to_chars(out, out + ValueText::kCapacity, value).ptr;
}
inline char* writeFlagText(char* out, std::uint64_t value) {
    return detail::writePadded(out, detail::kFlagNames[value != 0 ? 1 : 0]);
}
inline char* writeGearText(char* out, std::uint64_t value) {
    return value < detail::kGearNames.size() ? detail::writePadded(out, detail::kGearNames[value])
                                             : writeUnsignedText(out, value);
}
inline char* writeAssistanceText(char* out, std::uint64_t value) {
    return value < detail::kAssistanceNames.size()
               ? detail::writePadded(out, detail::kAssistanceNames[value])
               : writeUnsignedText(out, value);
}
char* writeFloatText(char* out, float value);
char* writeDoubleText(char* out, double value);

ValueText unsignedText(std::uint64_t value);
ValueText flagText(std::uint64_t value);
ValueText gearText(std::uint64_t value);
ValueText assistanceText(std::uint64_t value);
// Shortest digits that read back to the same value. Plain decimal for magnitudes from 1e-4
// up to below 1e16; exponent notation ("1e-05", "1e+16") outside that range.
ValueText floatText(float value);
ValueText doubleText(double value);

} // namespace MetadataExtractor
