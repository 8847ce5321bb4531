// Shared helpers of the tool tests: report parsing, line counting, file writing.
#pragma once

#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace toolstest {

// "label: value" lines of the diagnostic report.
inline std::map<std::string, long long> parseReport(const std::string& report) {
    std::map<std::string, long long> values;
    std::istringstream lines(report);
    for (std::string line; std::getline(lines, line);) {
        const auto colon = line.find(": ");
        if (colon != std::string::npos)
            values[line.substr(0, colon)] = std::stoll(line.substr(colon + 2));
    }
    return values;
}

inline std::size_t lineCount(const std::string& text) {
    std::size_t lines = text.empty() ? 0 : 1;
    for (char c : text)
        lines += c == '\n';
    return lines;
}

inline void writeFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

inline const std::string kCsvHeader =
    "version,gear_state,frame_seq_no,vehicle_speed_mps,accelerator_pedal_position,"
    "steering_wheel_angle,blinker_on_left,blinker_on_right,brake_applied,navark_state,"
    "latitude_deg,longitude_deg,heading_deg,linear_acceleration_mps2_x,"
    "linear_acceleration_mps2_y,linear_acceleration_mps2_z";

} // namespace toolstest
