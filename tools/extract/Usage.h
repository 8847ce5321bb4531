// The texts of --help and --version.
#pragma once

namespace extractcli {

extern const char* const kUsage;
extern const char* const kVersionLine;

} // namespace extractcli
