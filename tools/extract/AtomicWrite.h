// Replaces a file's content all at once: readers see the old file or the new one, never a
// half-written one, and a failed write leaves the old file untouched.
#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>

namespace extractcli {

// Writes into a temporary file beside `path`, flushes it to disk and renames it over `path`.
// `mode` is the new file's permission bits. Returns an error text, empty on success.
std::string writeFileAtomically(const std::string& path, std::string_view content, mode_t mode);

// 0666 without the process's umask bits; read once before any thread starts.
mode_t defaultFileMode();

} // namespace extractcli
