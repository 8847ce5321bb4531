#include "TripTimeline.h"

#include <algorithm>
#include <iterator>

namespace trips {

TripTimeline::TripTimeline(const Trip& trip) {
    const std::size_t count = trip.moments.size();
    for (std::size_t i = 0; i < count; ++i)
        starts_.push_back(trip.momentOffset(i));
    for (std::size_t i = 0; i < count; ++i) {
        const double length = trip.moments[i].duration.value_or(0.0);
        lengths_.push_back(i + 1 < count ? std::min(length, starts_[i + 1] - starts_[i]) : length);
    }
    for (std::size_t i = 0; i + 1 < count; ++i) {
        if (momentEnd(i) < starts_[i + 1])
            gaps_.push_back({momentEnd(i), starts_[i + 1]});
    }
    if (count > 0)
        duration_ = trip.seconds().value_or(0.0);
}

double TripTimeline::nextStart(std::size_t index) const {
    return index + 1 < starts_.size() ? starts_[index + 1] : duration_;
}

std::vector<double> TripTimeline::boundaries() const {
    return starts_.empty() ? std::vector<double>()
                           : std::vector(starts_.begin() + 1, starts_.end());
}

TripPlace TripTimeline::locate(double tripSeconds) const {
    if (starts_.empty())
        return {};
    const double t = std::clamp(tripSeconds, 0.0, duration_);
    // The first moment starts at 0, so the moment before the first later start always exists.
    const auto after =
        std::find_if(starts_.begin() + 1, starts_.end(), [t](double start) { return start > t; });
    const auto index = static_cast<std::size_t>(std::distance(starts_.begin(), after) - 1);
    const double within = t - starts_[index];
    return {t, index, within, within >= lengths_[index]};
}

std::optional<double> TripTimeline::momentStartAfter(double tripSeconds) const {
    const auto after = std::find_if(starts_.begin(), starts_.end(),
                                    [tripSeconds](double start) { return start > tripSeconds; });
    return after == starts_.end() ? std::nullopt : std::optional(*after);
}

std::optional<double> TripTimeline::momentStartBefore(double tripSeconds) const {
    const auto before = std::find_if(starts_.rbegin(), starts_.rend(),
                                     [tripSeconds](double start) { return start < tripSeconds; });
    return before == starts_.rend() ? std::nullopt : std::optional(*before);
}

} // namespace trips
