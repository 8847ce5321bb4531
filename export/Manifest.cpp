// Numbers of the report are copied as the report writes them, so the manifest never disagrees
// with report.txt beside it.
#include "Manifest.h"

#include "ExportText.h"
#include "MovieDuration.h"
#include "Sha256.h"
#include "Trips.h"
#include "ValueText.h"

#include <charconv>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string_view>

namespace exports {
namespace {

constexpr std::string_view kToolName = "veldrin-extract";
constexpr const char* kSourceDateEpoch = "SOURCE_DATE_EPOCH";
constexpr std::string_view kNull = "null";
constexpr std::string_view kIndent = "  ";
// Zero-based column of frame_seq_no in the CSV.
constexpr std::size_t kFrameSequenceColumn = 2;
constexpr int kSecondsPerMinute = 60;
constexpr int kMinutesPerHour = 60;
constexpr std::size_t kLocalTimeCapacity = 32;

// The value after "LABEL: " on its own line of the report.
std::string_view reportValue(std::string_view report, std::string_view label) {
    for (std::size_t start = 0; start < report.size();) {
        const std::size_t end = std::min(report.find('\n', start), report.size());
        const std::string_view line = report.substr(start, end - start);
        if (line.starts_with(label) && line.substr(label.size()).starts_with(": "))
            return line.substr(label.size() + 2);
        start = end + 1;
    }
    return "0";
}

std::string_view cell(std::string_view line, std::size_t column) {
    for (; column > 0; --column) {
        const std::size_t comma = line.find(',');
        if (comma == std::string_view::npos)
            return {};
        line.remove_prefix(comma + 1);
    }
    return line.substr(0, line.find(','));
}

void appendLocalTime(std::string& out, std::int64_t seconds) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (!::localtime_r(&time, &local)) {
        out += kNull;
        return;
    }
    char text[kLocalTimeCapacity];
    std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    const long offsetMinutes = local.tm_gmtoff / kSecondsPerMinute;
    const long magnitude = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
    length += static_cast<std::size_t>(std::snprintf(
        text + length, sizeof text - length, "%c%02ld:%02ld", offsetMinutes < 0 ? '-' : '+',
        magnitude / kMinutesPerHour, magnitude % kMinutesPerHour));
    appendJsonString(out, {text, length});
}

class JsonObject {
public:
    JsonObject(std::string& out, int depth) : out_(out), depth_(depth) { out_ += '{'; }
    void key(std::string_view name) {
        out_ += first_ ? "\n" : ",\n";
        first_ = false;
        for (int i = 0; i < depth_ + 1; ++i)
            out_ += kIndent;
        appendJsonString(out_, name);
        out_ += ": ";
    }
    void raw(std::string_view name, std::string_view value) {
        key(name);
        out_ += value;
    }
    void text(std::string_view name, std::string_view value) {
        key(name);
        appendJsonString(out_, value);
    }
    void close() {
        out_ += '\n';
        for (int i = 0; i < depth_; ++i)
            out_ += kIndent;
        out_ += '}';
    }

private:
    std::string& out_;
    int depth_;
    bool first_ = true;
};

} // namespace

std::string sha256Hex(std::span<const std::uint8_t> bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    for (const std::uint8_t byte : sha256(bytes))
        hex.append(1, kHex[byte >> 4]).append(1, kHex[byte & 0xF]);
    return hex;
}

ClipRecord readClip(const std::string& path, bool salvage) {
    ClipRecord clip;
    clip.fileName = std::filesystem::path(path).filename().string();
    clip.output =
        MetadataExtractor::extract(path, {salvage,
                                          [&clip](std::span<const std::uint8_t> bytes) {
                                              clip.sha256 = sha256Hex(bytes);
                                              clip.duration =
                                                  MetadataExtractor::movieDurationInMemory(bytes);
                                          },
                                          {}});
    return clip;
}

std::int64_t creationSeconds() {
    if (const char* text = std::getenv(kSourceDateEpoch)) {
        const std::string_view digits(text);
        std::int64_t seconds = 0;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), seconds);
        if (error == std::errc() && end == digits.data() + digits.size() && !digits.empty())
            return seconds;
    }
    return static_cast<std::int64_t>(std::time(nullptr));
}

std::string manifestJson(const ClipRecord& clip, std::int64_t createdSeconds) {
    const std::string_view report = clip.output.report();
    std::string out;
    JsonObject top(out, 0);
    top.text("tool", kToolName);
    top.text("version", VELDRIN_VERSION);
    std::string created;
    appendUtcTime(created, createdSeconds);
    top.text("created", created);
    top.key("clip");
    JsonObject nested(out, 1);
    nested.text("name", clip.fileName);
    nested.raw("bytes", reportValue(report, "file_bytes"));
    nested.text("sha256", clip.sha256);
    nested.raw("mdat_offset", reportValue(report, "mdat_offset"));
    nested.raw("mdat_size", reportValue(report, "mdat_size"));
    nested.close();
    top.raw("rows", reportValue(report, "rows_decoded"));
    top.raw("payload_decode_failures", reportValue(report, "payload_decode_failures"));
    top.raw("sei_decode_failures", reportValue(report, "sei_decode_failures"));

    const std::string_view csv = clip.output.text();
    const std::size_t firstRow = csv.find('\n');
    const bool rows = reportValue(report, "rows_decoded") != "0" && firstRow != csv.npos;
    if (rows) {
        const std::string_view first = csv.substr(firstRow + 1);
        top.text("first_frame_seq_no",
                 cell(first.substr(0, first.find('\n')), kFrameSequenceColumn));
        top.text("last_frame_seq_no", cell(csv.substr(csv.rfind('\n') + 1), kFrameSequenceColumn));
    } else {
        top.raw("first_frame_seq_no", kNull);
        top.raw("last_frame_seq_no", kNull);
    }
    top.key("start");
    if (const auto name = trips::parseClipName(clip.fileName))
        appendLocalTime(out, name->startSeconds);
    else
        out += kNull;
    top.key("duration_s");
    if (clip.duration)
        out += MetadataExtractor::doubleText(*clip.duration).view();
    else
        out += kNull;
    top.close();
    out += '\n';
    return out;
}

} // namespace exports
