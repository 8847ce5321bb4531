// The extraction driver: size check, whole-file read, atom walk, SEI scan, record decoding and
// CSV rendering, with the counters of the diagnostic report. No error leaves this file.
#include "MetadataExtractor.h"

#include "Csv.h"
#include "ExtractError.h"
#include "FileRead.h"
#include "Limits.h"
#include "MediaWalk.h"
#include "SeiPayload.h"
#include "TelemetryRecord.h"
#include "VideoScan.h"

#include <algorithm>
#include <new>
#include <vector>

namespace MetadataExtractor {

const char* const kNoMetadataNotice = "No SEI metadata found. Requirements:\n"
                                      "  * Orvik firmware 2025.44.25 or later\n"
                                      "  * QB5 or above\n"
                                      "  * If car is parked, SEI data may not be present";

Output Output::success(std::string text, std::string report) {
    return Output(Success{std::move(text), std::move(report)});
}

Output Output::failure(std::string message) {
    return Output(Failure{std::move(message)});
}

const std::string& Output::text() const {
    static const std::string empty;
    const auto* s = std::get_if<Success>(&value_);
    return s ? s->text : empty;
}

const std::string& Output::report() const {
    static const std::string empty;
    const auto* s = std::get_if<Success>(&value_);
    return s ? s->report : empty;
}

const std::string& Output::message() const {
    static const std::string empty;
    const auto* f = std::get_if<Failure>(&value_);
    return f ? f->message : empty;
}

namespace {

// The smallest video block that gives a row: length prefix, NAL header, payload type and size,
// marker end, the two required one-byte varint fields with their keys, trailing byte.
constexpr std::size_t kSmallestRowBlockBytes = 4 + 3 + 1 + 4 + 1;
// Out-of-memory is reported like any other failure of the platform.
constexpr std::string_view kOutOfMemoryDescription = "out of memory";

struct Counters {
    std::int64_t seiNalCount = 0;
    std::int64_t payloadDecodeFailures = 0;
    std::int64_t seiDecodeFailures = 0;
};

std::string renderReport(std::size_t fileBytes, const MediaData& media, const Counters& counters,
                         std::size_t rows) {
    std::string report;
    report += "file_bytes: " + std::to_string(fileBytes);
    report += "\nmdat_offset: " + std::to_string(media.payloadOffset);
    // Unsigned: the size a cut clip's header states may be any 64-bit value.
    report += "\nmdat_size: " + std::to_string(static_cast<std::uint64_t>(media.payloadSize));
    report += "\nsei_nal_count: " + std::to_string(counters.seiNalCount);
    report += "\npayload_decode_failures: " + std::to_string(counters.payloadDecodeFailures);
    report += "\nsei_decode_failures: " + std::to_string(counters.seiDecodeFailures);
    report += "\nrows_decoded: " + std::to_string(rows);
    return report;
}

Output unexpectedError(std::string_view description) {
    return Output::failure(std::string(messages::kUnexpectedErrorPrefix) +
                           std::string(description));
}

// Walks the media data, or for a cut clip its complete blocks; returns where the walk ended.
std::int64_t walkMediaData(std::span<const std::uint8_t> buffer, const MediaData& media, bool cut,
                           std::int64_t& seiNalCount, const SeiUnitStep& step) {
    if (cut)
        return scanCutVideoBlocks(buffer, media.payloadOffset, seiNalCount, step);
    scanVideoBlocks(buffer, media.payloadOffset, media.payloadSize, seiNalCount, step);
    return media.payloadOffset + media.payloadSize;
}

// How far ahead of the unit being decoded the next units' bytes are asked for, and how many of
// their first bytes: a telemetry unit takes two or three cache lines.
constexpr std::size_t kUnitsFetchedAhead = 4;
constexpr std::size_t kBytesFetchedAhead = 192;
constexpr std::size_t kCacheLineBytes = 64;

void fetchAhead(std::span<const std::uint8_t> unit) {
    const std::size_t bytes = std::min(unit.size(), kBytesFetchedAhead);
    for (std::size_t at = 0; at < bytes; at += kCacheLineBytes)
        __builtin_prefetch(unit.data() + at);
}

// Stops a walk whose units are more than rows may come.
struct TooManyUnits {};

// The SEI units of a walk that ends without error and meets no more of them than rows may
// come, with its counter and end: an extraction over them cannot fail once its first rows are
// handed over. False otherwise. One walk: the media data is read once, as without pieces.
bool collectUnits(std::span<const std::uint8_t> buffer, const MediaData& media, bool cut,
                  std::vector<std::span<const std::uint8_t>>& units, std::int64_t& seiNalCount,
                  std::int64_t& end) {
    std::int64_t count = 0;
    try {
        end =
            walkMediaData(buffer, media, cut, count, [&units](std::span<const std::uint8_t> unit) {
                if (units.size() == kMaxRecords)
                    throw TooManyUnits{};
                units.push_back(unit);
            });
    } catch (const ExtractError&) {
        return false;
    } catch (const TooManyUnits&) {
        return false;
    }
    seiNalCount = count;
    return true;
}

Output extractChecked(std::span<const std::uint8_t> buffer, const ExtractOptions& options) {
    if (buffer.size() > kMaxFileBytes)
        throw ExtractError(messages::kFileExceedsSafetyLimit);
    bool cut = false;
    const MediaData media =
        options.salvage ? findMediaDataOrCut(buffer, cut) : findMediaData(buffer);
    // A cut clip's rows are those of the blocks present, however large its header says it is.
    const std::int64_t scannedSize =
        cut ? static_cast<std::int64_t>(buffer.size()) - media.payloadOffset : media.payloadSize;

    Counters counters;
    // Room for the most rows the media data can hold, so that the text is allocated once and
    // never copied while it grows. Pages never written cost address space, not memory.
    const std::size_t mostRows =
        std::min(kMaxRecords, static_cast<std::size_t>(scannedSize) / kSmallestRowBlockBytes);
    std::vector<std::span<const std::uint8_t>> units;
    // Room for the units up front too: growing copies them and faults in fresh pages each time.
    if (options.csvPieces)
        units.reserve(mostRows);
    std::int64_t end = 0;
    const bool streamed =
        options.csvPieces && collectUnits(buffer, media, cut, units, counters.seiNalCount, end);
    CsvBuilder csv = streamed ? CsvBuilder(options.csvPieces) : CsvBuilder(mostRows);
    std::size_t rows = 0;
    // Reused for every unit: no allocation per unit.
    std::vector<std::uint8_t> scratch;
    TelemetryValues values;
    const auto step = [&](std::span<const std::uint8_t> unit) {
        const auto payload = extractSeiPayload(unit, scratch);
        if (!payload) {
            ++counters.payloadDecodeFailures;
            return;
        }
        if (!decodeTelemetryValues(*payload, values) || !values.has(kVersionFieldNumber) ||
            !values.has(kFrameSequenceFieldNumber)) {
            ++counters.seiDecodeFailures;
            return;
        }
        if (rows >= kMaxRecords)
            throw ExtractError(messages::kTooManyMetadataRows);
        csv.appendRow(values);
        ++rows;
    };
    if (streamed) {
        // The units lie a picture apart in the mapping, too far for the processor to fetch
        // them ahead by itself: asked for a few units early, their bytes arrive while the rows
        // before them are written.
        for (std::size_t i = 0; i < units.size(); ++i) {
            if (i + kUnitsFetchedAhead < units.size())
                fetchAhead(units[i + kUnitsFetchedAhead]);
            step(units[i]);
        }
    } else {
        end = walkMediaData(buffer, media, cut, counters.seiNalCount, step);
    }
    csv.finish();
    std::string report = renderReport(buffer.size(), media, counters, rows);
    if (cut)
        report += "\nsalvaged_bytes: " + std::to_string(end - media.payloadOffset);
    if (rows == 0)
        return Output::success(kNoMetadataNotice, std::move(report));
    return Output::success(streamed ? std::string() : std::move(csv).take(), std::move(report));
}

} // namespace

Output extractFromBuffer(std::span<const std::uint8_t> buffer) {
    return extractFromBuffer(buffer, {});
}

Output extractFromBuffer(std::span<const std::uint8_t> buffer, const ExtractOptions& options) {
    try {
        Output output = extractChecked(buffer, options);
        if (options.parsedBytes)
            options.parsedBytes(buffer);
        return output;
    } catch (const ExtractError& error) {
        return Output::failure(error.message());
    } catch (const std::bad_alloc&) {
        return unexpectedError(kOutOfMemoryDescription);
    }
}

Output extract(const std::string& path) {
    return extract(path, {});
}

Output extract(const std::string& path, const ExtractOptions& options) {
    try {
        const auto size = queryFileSize(path);
        if (!size || *size < 1 || *size > kMaxFileBytes)
            return Output::failure(std::string(messages::kEmptyOversizedOrUnreadableFile));
        // One byte over the limit is enough to tell a file that grew since the query.
        FileBuffer buffer = readWholeFile(path, kMaxFileBytes + 1);
        if (!buffer.isMapped())
            return extractFromBuffer(buffer.bytes(), options);
        Output output = Output::failure({});
        bool handedOver = false;
        ExtractOptions guarded = options;
        if (options.csvPieces) {
            guarded.csvPieces = [&](std::string_view piece) {
                handedOver = true;
                options.csvPieces(piece);
            };
        }
        if (runGuarded(buffer.bytes(),
                       [&] { output = extractFromBuffer(buffer.bytes(), guarded); })) {
            if (options.leaveMappingToExit)
                buffer.keepMappedUntilExit();
            return output;
        }
        if (handedOver)
            return Output::failure(std::string(messages::kFileChangedWhileRead));
        // The file shrank or its device went away under the mapping: read what is left.
        buffer = FileBuffer{};
        buffer = readWholeFile(path, kMaxFileBytes + 1, false);
        return extractFromBuffer(buffer.bytes(), options);
    } catch (const FileError& error) {
        return unexpectedError(error.description());
    } catch (const std::bad_alloc&) {
        return unexpectedError(kOutOfMemoryDescription);
    }
}

} // namespace MetadataExtractor
