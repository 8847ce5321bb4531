// How long a telemetry row lasts in a clip cut short, which has no movie header of its own:
// learnt from another clip of the same camera in its folder. Reads files: off the GUI thread.
#pragma once

#include <QString>

#include <optional>

namespace recoveredtiming {

// Seconds per row of the first clip (in name order) of the same camera in the folder of
// `clipPath` that has a movie header and telemetry; none when the name tells no camera or no
// such clip is there.
std::optional<double> secondsPerRowNear(const QString& clipPath);

} // namespace recoveredtiming
