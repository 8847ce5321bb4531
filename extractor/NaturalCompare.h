// The order in which people read file names: runs of digits compare by their value, letters
// without regard to case. The command line and the studio's folder list both sort with it, so
// they list a folder alike.
#pragma once

#include <string_view>

namespace MetadataExtractor {

// Negative, zero or positive as `a` goes before, equals or goes after `b`. Digit runs compare
// as numbers of any length ("clip2" before "clip10"); ASCII letters compare case-folded; other
// bytes (UTF-8 included) by value. Names equal in that order ("a01" and "a1", "A" and "a")
// fall back to their bytes, so only identical names compare equal.
int naturalCompare(std::string_view a, std::string_view b);

inline bool naturalLess(std::string_view a, std::string_view b) {
    return naturalCompare(a, b) < 0;
}

} // namespace MetadataExtractor
