// A trip's clock laid out from its moments' starts and lengths alone: no clips, no player.
#include "TripTimeline.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using trips::TripGap;
using trips::TripPlace;
using trips::TripTimeline;

// Moments as {start in seconds since the epoch, clip length}.
trips::Trip tripOf(const std::vector<std::pair<std::int64_t, std::optional<double>>>& moments) {
    trips::Trip trip;
    for (const auto& [start, length] : moments)
        trip.moments.push_back({"drive", "", start, {}, length});
    return trip;
}

// 61 s cut to 60 by the next start; a 15 s gap; a moment ending where the next one starts.
const trips::Trip kDrive = tripOf({{1000, 61}, {1060, 50}, {1125, 60}, {1185, 30}});

TEST(TripTimeline, LaysMomentsOutWithTheirGaps) {
    const struct {
        const char* what;
        trips::Trip trip;
        std::vector<double> lengths, boundaries;
        std::vector<TripGap> gaps;
        double duration;
    } cases[] = {
        {"drive", kDrive, {60, 50, 60, 30}, {60, 125, 185}, {{110, 125}}, 215},
        {"no trip", tripOf({}), {}, {}, {}, 0},
        // A moment without a length plays nothing: its time is a gap.
        {"unknown length",
         tripOf({{0, std::nullopt}, {30, 30}, {60, 10}}),
         {0, 30, 10},
         {30, 60},
         {{0, 30}},
         70},
        // Without the last moment's length the trip has none.
        {"unknown end", tripOf({{0, 20}, {20, std::nullopt}}), {20, 0}, {20}, {}, 0},
        // Two folders' moments of one start: the first of them plays nothing.
        {"same start", tripOf({{0, 30}, {30, 30}, {30, 30}}), {30, 0, 30}, {30, 30}, {}, 60},
    };
    for (const auto& c : cases) {
        const TripTimeline timeline(c.trip);
        std::vector<double> lengths;
        for (std::size_t i = 0; i < timeline.momentCount(); ++i)
            lengths.push_back(timeline.playLength(i));
        EXPECT_EQ(std::tuple(lengths, timeline.boundaries(), timeline.gaps(), timeline.duration()),
                  std::tuple(c.lengths, c.boundaries, c.gaps, c.duration))
            << c.what;
    }
}

TEST(TripTimeline, PlacesATripTimeInAMomentOrAGap) {
    const TripTimeline timeline(kDrive);
    const struct {
        double time;
        TripPlace place;
    } cases[] = {
        {-5, {0, 0, 0, false}},           {0, {0, 0, 0, false}},
        {59.5, {59.5, 0, 59.5, false}},   {60, {60, 1, 0, false}},
        {109.5, {109.5, 1, 49.5, false}}, {110, {110, 1, 50, true}},
        {124, {124, 1, 64, true}},        {125, {125, 2, 0, false}},
        {184.5, {184.5, 2, 59.5, false}}, {185, {185, 3, 0, false}},
        {215, {215, 3, 30, true}},        {999, {215, 3, 30, true}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(timeline.locate(c.time), c.place) << c.time;
    EXPECT_EQ(TripTimeline(tripOf({{0, 30}, {30, 30}, {30, 30}})).locate(30),
              (TripPlace{30, 2, 0}));
    EXPECT_EQ(TripTimeline().locate(10), TripPlace());
}

TEST(TripTimeline, GivesTheSeekTargetsOfMomentSteps) {
    const TripTimeline timeline(kDrive);
    const struct {
        double time;
        std::optional<double> after, before;
    } cases[] = {
        {0, 60, std::nullopt},    {30, 60, 0},    {60, 125, 0},
        {60.5, 125, 60},          {115, 125, 60}, {185, std::nullopt, 125},
        {300, std::nullopt, 185},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::pair(timeline.momentStartAfter(c.time), timeline.momentStartBefore(c.time)),
                  std::pair(c.after, c.before))
            << c.time;
    // Where the clock goes after a moment: the next start, after the last the trip's end.
    EXPECT_EQ(std::vector({timeline.nextStart(0), timeline.nextStart(1), timeline.nextStart(3)}),
              std::vector<double>({60, 125, 215}));
}

} // namespace
