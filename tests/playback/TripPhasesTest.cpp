// The trip clock's phases and the order a trip's telemetry is read in, from the moments'
// starts and lengths alone: no clips, no player.
#include "TripPhases.h"
#include "TripTelemetry.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

using namespace playback;

namespace {

// Moments of 10 s at 0, of 5 s at 10 (then a gap to 20), of 10 s at 20: 30 s in all.
trips::Trip drive() {
    trips::Trip trip;
    for (const auto& [start, length] : {std::pair{1000, 10.0}, {1010, 5.0}, {1020, 10.0}})
        trip.moments.push_back({"drive", "", start, {}, length});
    return trip;
}

// The face's seek: the clock moved to `tripSeconds`, the leader's clip loaded at `now` and
// reported loaded 100 ms later, or the clock running on in a gap.
void show(TripPhases& phases, double tripSeconds, TripPhases::Millis now = 0) {
    phases.reset(trips::TripTimeline(drive()));
    const trips::TripPlace place = phases.place(tripSeconds);
    phases.aim(place.moment, place.within);
    phases.loadStarted(now);
    if (phases.pastPlayedPart(place.within))
        phases.enterGap(phases.timeline().momentStart(place.moment) + place.within, now);
    else
        phases.leaderLoaded(now + 100);
}

enum Do { reload, loaded, ended, failed, play, pause, playOut };
struct Event {
    Do what;
    double value; // the leader's position
    TripPhases::Millis now;
    double rate = 1.0;
};

PhaseStep happen(TripPhases& phases, const Event& e) {
    switch (e.what) {
    case reload:
        phases.loadStarted(e.now);
        break;
    case loaded:
        return phases.leaderLoaded(e.now);
    case ended:
        return phases.leaderEnded(e.value, e.now);
    case failed:
        return phases.leaderFailed(e.now);
    case play:
    case pause:
        return phases.tick(e.value, e.what == play, e.rate, e.now);
    case playOut: // ticks 40 ms apart from the clip's start up to `value`
        for (double at = 0; at <= e.value; at += 0.04) {
            if (const PhaseStep step = phases.tick(at, true, 1.0, e.now + int(at * 1000));
                step != PhaseStep::none)
                return step;
        }
    }
    return PhaseStep::none;
}

TEST(TripPhases, StepsFromEachPhase) {
    using P = TripPhase;
    using S = PhaseStep;
    const struct {
        const char* what;
        double shownAt;
        std::vector<Event> events;
        PhaseStep step;
        TripPhase phase;
        double time;
        std::size_t moment;
    } cases[] = {
        {"loading starts", 12, {{reload, 0, 0}, {loaded, 0, 50}}, S::start, P::playing, 12, 1},
        {"loaded twice", 12, {{loaded, 0, 150}}, S::none, P::playing, 12, 1},
        {"loaded in a gap", 17, {{loaded, 0, 150}}, S::seekAgain, P::gap, 17, 1},
        {"loading clock", 12, {{reload, 0, 0}, {play, NAN, 3000}}, S::none, P::loading, 12, 1},
        {"loading stuck", 12, {{reload, 0, 0}, {play, NAN, 3001}}, S::failed, P::loading, 12, 1},
        {"ends early", 0, {{ended, 5, 300}}, S::cutShort, P::gap, 0, 0},
        {"ends into the next", 0, {{ended, 9.6, 300}}, S::nextMoment, P::playing, 0, 0},
        {"ends into a gap", 10, {{ended, 5, 300}}, S::gap, P::gap, 10, 1},
        {"last one ends", 25, {{ended, 10, 300}}, S::finished, P::ended, 30, 2},
        {"end while loading", 0, {{reload, 0, 0}, {ended, 10, 300}}, S::none, P::loading, 0, 0},
        {"plays to the switch", 0, {{playOut, 10, 200}}, S::nextMoment, P::playing, 9.92, 0},
        {"plays into a gap", 10, {{playOut, 5, 200}}, S::gap, P::gap, 14.92, 1},
        {"plays out", 20, {{playOut, 10, 200}}, S::finished, P::ended, 30, 2},
        {"never backwards", 3, {{play, 3, 200}, {play, 2.5, 240}}, S::none, P::playing, 3, 0},
        {"paused follows", 3, {{play, 3, 200}, {pause, 2.5, 240}}, S::none, P::playing, 2.5, 0},
        {"seek lost", 3, {{play, 0, 200}}, S::seekAgain, P::playing, 3, 0},
        {"stalled", 3, {{play, 3, 200}, {play, 3, 3201}}, S::failed, P::playing, 3, 0},
        {"paused still", 3, {{pause, 3, 200}, {pause, 3, 9000}}, S::none, P::playing, 3, 0},
        {"fails", 3, {{failed, 0, 300}}, S::gap, P::gap, 3, 0},
        {"fails in a gap", 17, {{failed, 0, 300}}, S::none, P::gap, 17, 1},
        {"gap runs", 15, {{play, NAN, 4000}}, S::none, P::gap, 19, 1},
        {"gap at double speed", 15, {{play, NAN, 2600, 2}}, S::nextMoment, P::gap, 20, 1},
        {"gap paused", 15, {{pause, NAN, 4000}, {play, NAN, 5000}}, S::none, P::gap, 16, 1},
        {"gap to the end", 25, {{failed, 0, 0}, {play, NAN, 5001}}, S::finished, P::ended, 30, 2},
    };
    for (const auto& c : cases) {
        int gapChanges = 0;
        TripPhases phases([&] { ++gapChanges; });
        show(phases, c.shownAt);
        PhaseStep step = PhaseStep::none;
        for (const Event& e : c.events)
            step = happen(phases, e);
        EXPECT_EQ(std::tuple(step, phases.phase(), phases.moment(), gapChanges % 2 == 1),
                  std::tuple(c.step, c.phase, c.moment, phases.inGap()))
            << c.what;
        EXPECT_NEAR(phases.time(), c.time, 1e-6) << c.what;
    }
}

TEST(TripPhases, AGapRunsOnIntoTheNextMomentAndItsClipIsPreparedOnceSettled) {
    TripPhases phases;
    show(phases, 15);
    ASSERT_EQ(phases.tick(NAN, true, 1, 5300), PhaseStep::nextMoment);
    EXPECT_NEAR(phases.nextWithin(), 0.3, 1e-9);

    show(phases, 2, 1000); // loaded at 1100
    ASSERT_EQ(phases.tick(2, true, 1, 1150), PhaseStep::none);
    EXPECT_EQ(phases.momentToPrepare(1350), std::nullopt);
    EXPECT_EQ(phases.momentToPrepare(1351), 1u);
    phases.loadStarted(2000);
    EXPECT_EQ(phases.momentToPrepare(9000), std::nullopt) << "while loading";
    show(phases, 20);
    EXPECT_EQ(phases.momentToPrepare(9000), std::nullopt) << "last moment";
}

// Two moments: back, front, rear (read front first, then in name order); then only rear.
trips::Trip camerasTrip() {
    trips::Trip trip;
    trips::Moment first{"drive", "", 0, {}, 10.0};
    for (const std::string camera : {"back", "front", "rear"})
        first.clips.push_back({camera + ".mp4", camera, 10.0});
    trips::Moment second{"drive", "", 10, {}, 10.0};
    second.clips.push_back({"rear.mp4", "rear", 10.0});
    trip.moments = {first, second};
    return trip;
}

TEST(TelemetryQueue, ReadsFrontFirstUntilAClipHasTelemetry) {
    const trips::Trip trip = camerasTrip();
    const struct {
        const char* what;
        std::set<std::pair<std::size_t, std::size_t>> knownEmpty, withTelemetry;
        std::vector<ClipRef> reads;
        std::vector<std::string> csv;
    } cases[] = {
        {"front has it", {}, {{0, 1}, {1, 0}}, {{0, 1}, {1, 0}}, {"0/1", "1/0"}},
        {"then name order", {}, {{0, 2}}, {{0, 1}, {0, 0}, {0, 2}, {1, 0}}, {"0/2", ""}},
        {"known empty passed over", {{0, 1}, {1, 0}}, {{0, 0}}, {{0, 0}}, {"0/0", ""}},
        {"none anywhere", {{0, 0}, {0, 1}, {0, 2}, {1, 0}}, {}, {}, {"", ""}},
    };
    for (const auto& c : cases) {
        TelemetryQueue queue(trip.moments.size());
        std::vector<ClipRef> reads;
        while (const std::optional<ClipRef> clip = queue.next(trip, [&](ClipRef r) {
            return c.knownEmpty.count({r.moment, r.clip}) > 0;
        })) {
            reads.push_back(*clip);
            const bool has = c.withTelemetry.count({clip->moment, clip->clip}) > 0;
            const std::string name =
                std::to_string(clip->moment) + "/" + std::to_string(clip->clip);
            queue.read(*clip, has ? std::make_shared<const analysis::TelemetryTable>(
                                        analysis::TelemetryTable::fromCsv(name))
                                  : nullptr);
        }
        std::vector<std::string> csv;
        for (const auto& table : queue.tables())
            csv.push_back(table ? std::string(table->text()) : "unread");
        EXPECT_EQ(std::tuple(reads, queue.done(), csv), std::tuple(c.reads, true, c.csv)) << c.what;
    }
}

} // namespace
