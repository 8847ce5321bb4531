// One writer per format, each handing the whole file's text to a sink in pieces.
#pragma once

#include "Exports.h"

#include <string>

namespace exports {

void writeGpx(const Telemetry& telemetry, const TextSink& sink);
void writeGeoJson(const Telemetry& telemetry, const TextSink& sink);
void writeKml(const Telemetry& telemetry, const TextSink& sink);
void writeJsonLines(const Telemetry& telemetry, const TextSink& sink);

} // namespace exports
