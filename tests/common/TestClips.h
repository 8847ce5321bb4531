// Real clips for tests: runs the project's clip generator into a temporary folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace testclips {

// The header line every telemetry CSV starts with, written out by hand.
inline const std::string kCsvHeader =
    "version,gear_state,frame_seq_no,vehicle_speed_mps,accelerator_pedal_position,"
    "steering_wheel_angle,blinker_on_left,blinker_on_right,brake_applied,navark_state,"
    "latitude_deg,longitude_deg,heading_deg,linear_acceleration_mps2_x,"
    "linear_acceleration_mps2_y,linear_acceleration_mps2_z";

// Runs the generator with `args` and the output path last. Returns the output path;
// fails the calling test (ADD_FAILURE) when the generator fails.
std::string generate(const std::string& outputPath, const std::vector<std::string>& args = {});

// Runs veldrin-extract with `args`; returns its exit status, fills stdout/stderr texts.
int runExtractor(const std::vector<std::string>& args, std::string* out = nullptr,
                 std::string* err = nullptr);

// Path of the veldrin-extract executable this build made.
std::string extractorPath();

// A fresh empty temporary folder, removed at process exit.
std::string makeTempDir();

std::string readFile(const std::string& path);
void writeFile(const std::string& path, std::string_view content);

} // namespace testclips
