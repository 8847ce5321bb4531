// --events: a clip's driving events, one line each, instead of its CSV.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace extractcli {

// One line per event in time order: TIME, KIND and VALUE separated by tabs, each line ending in
// a line feed. Nothing when `duration` is unknown.
std::string eventLines(std::string_view csv, std::optional<double> duration);

// The movie-header duration of a clip read into memory.
std::optional<double> bufferedMovieDuration(std::span<const std::uint8_t> clip);

} // namespace extractcli
