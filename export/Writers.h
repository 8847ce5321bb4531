// One writer per format, each the whole file's text.
#pragma once

#include "Exports.h"

#include <string>

namespace exports {

std::string writeGpx(const Telemetry& telemetry);
std::string writeGeoJson(const Telemetry& telemetry);
std::string writeKml(const Telemetry& telemetry);
std::string writeJsonLines(const Telemetry& telemetry);

} // namespace exports
