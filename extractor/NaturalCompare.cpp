// Digit runs are compared without converting them, so a run of any length never overflows.
#include "NaturalCompare.h"

namespace MetadataExtractor {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

unsigned char folded(char c) {
    return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
}

int sign(int value) {
    return (value > 0) - (value < 0);
}

// The digit run of `text` that starts at `at`, without its leading zeros; `at` moves past it.
std::string_view digitRun(std::string_view text, std::size_t& at) {
    while (at < text.size() && text[at] == '0')
        ++at;
    const std::size_t start = at;
    while (at < text.size() && isDigit(text[at]))
        ++at;
    return text.substr(start, at - start);
}

} // namespace

int naturalCompare(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const std::string_view x = digitRun(a, i), y = digitRun(b, j);
            // Without leading zeros, the longer run is the larger number.
            if (x.size() != y.size())
                return x.size() < y.size() ? -1 : 1;
            if (const int c = x.compare(y); c != 0)
                return sign(c);
            continue;
        }
        if (folded(a[i]) != folded(b[j]))
            return folded(a[i]) < folded(b[j]) ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1;
    return sign(a.compare(b));
}

} // namespace MetadataExtractor
