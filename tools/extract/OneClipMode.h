// One clip: its CSV (or --format, or --events) on standard output or atomically in -o FILE.
#pragma once

#include "CommandLine.h"

namespace extractcli {

// Returns the process exit status: 0, 1 on failure, 2 when -o names the clip itself, 3 when
// the clip carries no telemetry.
int runOneClip(const CommandLine& c);

} // namespace extractcli
