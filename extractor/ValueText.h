// The texts that telemetry values are written as in the CSV: unsigned decimals, flags,
// enumeration names and shortest round-trip floating-point texts.
#pragma once

#include <array>
#include <cstdint>
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

// Each text also has a writer that puts it straight into a caller's buffer with room for
// ValueText::kWriteRoom characters and returns the end of the text; the CSV rows are
// written this way, without a ValueText in between.
char* writeUnsignedText(char* out, std::uint64_t value);
char* writeFlagText(char* out, std::uint64_t value);
char* writeGearText(char* out, std::uint64_t value);
char* writeAssistanceText(char* out, std::uint64_t value);
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
