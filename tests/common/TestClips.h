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

// `s` single-quoted for the shell; `program` and `args` so quoted as one command line.
std::string quote(const std::string& s);
std::string command(const std::string& program, const std::vector<std::string>& args);

// Runs `line` with the shell; returns its exit status (-1 when it did not exit). Standard
// output is always captured, and given in *out when asked; standard error only when asked.
int runShell(const std::string& line, std::string* out = nullptr, std::string* err = nullptr);

// Runs veldrin-extract with `args`; returns its exit status, fills stdout/stderr texts.
int runExtractor(const std::vector<std::string>& args, std::string* out = nullptr,
                 std::string* err = nullptr);

// Path of the veldrin-extract executable this build made.
std::string extractorPath();

// A fresh empty temporary folder, removed at process exit.
std::string makeTempDir();

// The cells of `line` between `separator`s; a trailing separator ends an empty last cell.
std::vector<std::string> split(const std::string& line, char separator);

std::string readFile(const std::string& path);
void writeFile(const std::string& path, std::string_view content);

} // namespace testclips
