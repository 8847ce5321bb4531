#include "TripTelemetry.h"

#include "MetadataOutcome.h"
#include "TripList.h"

#include <algorithm>
#include <numeric>

namespace playback {

TelemetryQueue::TelemetryQueue(std::size_t moments) : tables_(moments), source_(moments) {}

std::optional<ClipRef> TelemetryQueue::next(const trips::Trip& trip,
                                            const std::function<bool(ClipRef)>& knownEmpty) {
    while (!done()) {
        const trips::Moment& moment = trip.moments[moment_];
        std::vector<std::size_t> order(moment.clips.size());
        std::iota(order.begin(), order.end(), std::size_t(0));
        std::stable_partition(order.begin(), order.end(), [&](std::size_t i) {
            return moment.clips[i].camera == trips::kPreferredTelemetryCamera;
        });
        for (; candidate_ < order.size(); ++candidate_) {
            const ClipRef clip{moment_, order[candidate_]};
            if (!knownEmpty(clip))
                return clip;
        }
        tables_[moment_] = std::make_shared<const analysis::TelemetryTable>();
        ++moment_;
        candidate_ = 0;
    }
    return std::nullopt;
}

void TelemetryQueue::read(ClipRef clip, MomentTable table) {
    if (clip.moment != moment_)
        return;
    if (!table || table->empty()) {
        ++candidate_;
        return;
    }
    tables_[moment_] = std::move(table);
    source_[moment_] = clip.clip;
    ++moment_;
    candidate_ = 0;
}

TripTelemetry::TripTelemetry(const FolderBatch& batch, QObject* parent)
    : QObject(parent), batch_(batch) {}

void TripTelemetry::reset(trips::Trip& trip) {
    trip_ = &trip;
    queue_ = TelemetryQueue(trip.moments.size());
    ++generation_;
}

void TripTelemetry::start() {
    // A read still running for an earlier trip goes on with this one once it is back.
    if (trip_ && !running_)
        readNext();
}

void TripTelemetry::stop() {
    trip_ = nullptr;
    ++generation_;
}

QString TripTelemetry::sourcePath(std::size_t moment) const {
    const std::optional<std::size_t> clip = queue_.source(moment);
    if (!trip_ || !clip)
        return QString();
    return TripList::clipPath(trip_->moments[moment], trip_->moments[moment].clips[*clip]);
}

void TripTelemetry::readNext() {
    const auto pathOf = [this](ClipRef clip) {
        const trips::Moment& moment = trip_->moments[clip.moment];
        return TripList::clipPath(moment, moment.clips[clip.clip]);
    };
    const std::optional<ClipRef> clip = queue_.next(*trip_, [&](ClipRef candidate) {
        const ClipMetadataStatus known = batch_.statusFor(pathOf(candidate));
        return known == ClipMetadataStatus::noMetadata || known == ClipMetadataStatus::error;
    });
    if (!clip) {
        emit allRead();
        return;
    }
    running_ = true;
    extractInBackground(
        this, pathOf(*clip),
        [this, clip = *clip, generation = generation_](const MetadataExtractor::Output& output) {
            running_ = false;
            if (!trip_)
                return;
            if (generation != generation_) {
                readNext();
                return;
            }
            auto table = std::make_shared<analysis::TelemetryTable>();
            const bool found = output.isSuccess() && table->parse(output.text()) ==
                                                         analysis::TelemetryTable::Outcome::table;
            if (found)
                trip_->moments[clip.moment].clips[clip.clip].rows = table->rowCount();
            queue_.read(clip, found ? std::move(table) : nullptr);
            if (found)
                emit momentRead(clip.moment);
            readNext();
        });
}

} // namespace playback
