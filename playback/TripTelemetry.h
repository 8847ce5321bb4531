// Each moment's telemetry of a playing trip, read in the background one clip at a time:
// moments in order, in each "front" first, then the other cameras in name order, until one
// clip of the moment holds telemetry.
#pragma once

#include "FolderBatch.h"
#include "TelemetryTable.h"
#include "Trips.h"

#include <QObject>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace playback {

// A moment's telemetry read once, shared with the window and the trip's drive.
using MomentTable = std::shared_ptr<const analysis::TelemetryTable>;

struct ClipRef {
    std::size_t moment = 0;
    std::size_t clip = 0;

    bool operator==(const ClipRef&) const = default;
};

// Which clip is read next and what was found; no Qt, no files.
class TelemetryQueue {
public:
    explicit TelemetryQueue(std::size_t moments = 0);

    // The next clip to read, passing over those `knownEmpty` rules out; a moment left without
    // one has no telemetry. Nothing once every moment is settled.
    std::optional<ClipRef> next(const trips::Trip& trip,
                                const std::function<bool(ClipRef)>& knownEmpty);
    // What reading `clip` gave: its table, or null when it holds no telemetry.
    void read(ClipRef clip, MomentTable table);

    bool done() const { return moment_ >= tables_.size(); }
    // A moment's table once settled (an empty one without telemetry); null before.
    const std::vector<MomentTable>& tables() const { return tables_; }
    // The clip a moment's table came from.
    std::optional<std::size_t> source(std::size_t moment) const { return source_[moment]; }

private:
    std::vector<MomentTable> tables_;
    std::vector<std::optional<std::size_t>> source_;
    std::size_t moment_ = 0;
    std::size_t candidate_ = 0;
};

// Runs the queue of the trip being played, one extraction at a time.
class TripTelemetry : public QObject {
    Q_OBJECT

public:
    explicit TripTelemetry(const FolderBatch& batch, QObject* parent = nullptr);

    // Forgets what was read: `trip` is read next, and its clips, kept by reference, get their
    // rows. Reading begins with start().
    void reset(trips::Trip& trip);
    void start();
    void stop();
    const TelemetryQueue& queue() const { return queue_; }
    // The file moment `moment`'s CSV came from; empty without one.
    QString sourcePath(std::size_t moment) const;

signals:
    void momentRead(std::size_t moment);
    void allRead();

private:
    void readNext();

    const FolderBatch& batch_;
    trips::Trip* trip_ = nullptr;
    TelemetryQueue queue_;
    std::uint64_t generation_ = 0;
    bool running_ = false;
};

} // namespace playback
