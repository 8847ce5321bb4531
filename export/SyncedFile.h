// Writing files that must reach the disk whole: the loops and flushes the bundle and the command
// line's atomic writes share.
#pragma once

#include <string>
#include <string_view>

namespace exports {

// Writes all of `content`, going on after interrupted and partial writes. False on failure,
// with errno set.
bool writeAll(int fd, std::string_view content);

// Flushes a folder's entries (a rename into it, say) to disk.
bool syncFolder(const std::string& folder);

} // namespace exports
