// Replaces a file's content all at once: readers see the old file or the new one, never a
// half-written one, and a failed write leaves the old file untouched.
#pragma once

#include "Exports.h"

#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace extractcli {

// Hands a file's text to a sink, piece by piece.
using TextProducer = std::function<void(const exports::TextSink&)>;

// Writes the text `produce` hands on, piece by piece as it comes, into a temporary file beside
// `path`, flushes it to disk and renames it over `path`. `mode` is the new file's permission
// bits. Returns an error text (without the path), empty on success.
std::string writeFileAtomically(const std::string& path, const TextProducer& produce, mode_t mode);

// 0666 without the process's umask bits; read once before any thread starts.
mode_t defaultFileMode();

} // namespace extractcli
