// The trip clock's phases and the order a trip's telemetry is read in, from the moments'
// starts and lengths alone: no clips, no player.
#include "TripPhases.h"
#include "TripTelemetry.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <set>
#include <string>
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

// Ticks while playing from `from` to `to` seconds into the shown clip, 40 ms apart.
PhaseStep playOn(TripPhases& phases, double from, double to, TripPhases::Millis now = 200) {
    PhaseStep step = PhaseStep::none;
    for (double at = from; at <= to && step == PhaseStep::none; at += 0.04, now += 40)
        step = phases.tick(at, true, 1.0, now);
    return step;
}

TEST(TripPhases, StepsFromEachPhase) {
    using P = TripPhase;
    using S = PhaseStep;
    const struct {
        const char* what;
        std::function<PhaseStep(TripPhases&)> event;
        PhaseStep step;
        TripPhase phase;
        double time;
        std::size_t moment;
    } cases[] = {
        {"loading starts",
         [](TripPhases& p) {
             show(p, 12);
             p.loadStarted(0);
             return p.leaderLoaded(50);
         },
         S::start, P::playing, 12, 1},
        {"loaded twice",
         [](TripPhases& p) {
             show(p, 12);
             return p.leaderLoaded(150);
         },
         S::none, P::playing, 12, 1},
        {"loaded in a gap",
         [](TripPhases& p) {
             show(p, 17);
             return p.leaderLoaded(150);
         },
         S::seekAgain, P::gap, 17, 1},
        {"loading clock",
         [](TripPhases& p) {
             show(p, 12);
             p.loadStarted(0);
             return p.tick(NAN, true, 1, 3000);
         },
         S::none, P::loading, 12, 1},
        {"loading stuck",
         [](TripPhases& p) {
             show(p, 12);
             p.loadStarted(0);
             return p.tick(NAN, true, 1, 3001);
         },
         S::failed, P::loading, 12, 1},
        {"ends early",
         [](TripPhases& p) {
             show(p, 0);
             return p.leaderEnded(5, 300);
         },
         S::cutShort, P::gap, 0, 0},
        {"ends into the next",
         [](TripPhases& p) {
             show(p, 0);
             return p.leaderEnded(9.6, 300);
         },
         S::nextMoment, P::playing, 0, 0},
        {"ends into a gap",
         [](TripPhases& p) {
             show(p, 10);
             return p.leaderEnded(5, 300);
         },
         S::gap, P::gap, 10, 1},
        {"last one ends",
         [](TripPhases& p) {
             show(p, 25);
             return p.leaderEnded(10, 300);
         },
         S::finished, P::ended, 30, 2},
        {"end while loading",
         [](TripPhases& p) {
             show(p, 0);
             p.loadStarted(0);
             return p.leaderEnded(10, 300);
         },
         S::none, P::loading, 0, 0},
        {"plays to the switch",
         [](TripPhases& p) {
             show(p, 0);
             return playOn(p, 0, 10);
         },
         S::nextMoment, P::playing, 9.92, 0},
        {"plays into a gap",
         [](TripPhases& p) {
             show(p, 10);
             return playOn(p, 0, 5);
         },
         S::gap, P::gap, 14.92, 1},
        {"plays out",
         [](TripPhases& p) {
             show(p, 20);
             return playOn(p, 0, 10);
         },
         S::finished, P::ended, 30, 2},
        {"never backwards",
         [](TripPhases& p) {
             show(p, 3);
             playOn(p, 3, 3);
             return p.tick(2.5, true, 1, 240);
         },
         S::none, P::playing, 3, 0},
        {"paused follows",
         [](TripPhases& p) {
             show(p, 3);
             playOn(p, 3, 3);
             return p.tick(2.5, false, 1, 240);
         },
         S::none, P::playing, 2.5, 0},
        {"seek lost",
         [](TripPhases& p) {
             show(p, 3);
             return p.tick(0, true, 1, 200);
         },
         S::seekAgain, P::playing, 3, 0},
        {"stalled",
         [](TripPhases& p) {
             show(p, 3);
             p.tick(3, true, 1, 200);
             return p.tick(3, true, 1, 3201);
         },
         S::failed, P::playing, 3, 0},
        {"paused still",
         [](TripPhases& p) {
             show(p, 3);
             p.tick(3, false, 1, 200);
             return p.tick(3, false, 1, 9000);
         },
         S::none, P::playing, 3, 0},
        {"fails",
         [](TripPhases& p) {
             show(p, 3);
             return p.leaderFailed(300);
         },
         S::gap, P::gap, 3, 0},
        {"fails in a gap",
         [](TripPhases& p) {
             show(p, 17);
             return p.leaderFailed(300);
         },
         S::none, P::gap, 17, 1},
        {"gap runs",
         [](TripPhases& p) {
             show(p, 15);
             return p.tick(NAN, true, 1, 4000);
         },
         S::none, P::gap, 19, 1},
        {"gap at double speed",
         [](TripPhases& p) {
             show(p, 15);
             return p.tick(NAN, true, 2, 2600);
         },
         S::nextMoment, P::gap, 20, 1},
        {"gap paused",
         [](TripPhases& p) {
             show(p, 15);
             p.tick(NAN, false, 1, 4000);
             return p.tick(NAN, true, 1, 5000);
         },
         S::none, P::gap, 16, 1},
        {"gap ends the trip",
         [](TripPhases& p) {
             show(p, 25);
             p.leaderFailed(0);
             return p.tick(NAN, true, 1, 5001);
         },
         S::finished, P::ended, 30, 2},
    };
    for (const auto& c : cases) {
        int gapChanges = 0;
        TripPhases phases([&] { ++gapChanges; });
        EXPECT_EQ(c.event(phases), c.step) << c.what;
        EXPECT_EQ(phases.phase(), c.phase) << c.what;
        EXPECT_NEAR(phases.time(), c.time, 1e-6) << c.what;
        EXPECT_EQ(phases.moment(), c.moment) << c.what;
        EXPECT_EQ(gapChanges % 2 == 1, phases.inGap()) << c.what;
    }
}

TEST(TripPhases, AGapRunsOnIntoTheNextMomentAndItsClipIsPreparedOnceSettled) {
    TripPhases phases;
    show(phases, 15);
    ASSERT_EQ(phases.tick(NAN, true, 1, 5300), PhaseStep::nextMoment);
    EXPECT_NEAR(phases.nextWithin(), 0.3, 1e-9);
    EXPECT_EQ(phases.time(), 20);

    show(phases, 2, 1000); // loaded at 1100
    const struct {
        TripPhases::Millis now;
        std::optional<std::size_t> next;
    } settling[] = {{1200, std::nullopt}, {1350, std::nullopt}, {1351, 1}};
    ASSERT_EQ(phases.tick(2, true, 1, 1150), PhaseStep::none);
    for (const auto& s : settling)
        EXPECT_EQ(phases.momentToPrepare(s.now), s.next) << s.now;
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
            queue.read(*clip, has ? std::to_string(clip->moment) + "/" + std::to_string(clip->clip)
                                  : std::string());
        }
        EXPECT_EQ(reads, c.reads) << c.what;
        EXPECT_TRUE(queue.done()) << c.what;
        std::vector<std::string> csv;
        for (const auto& text : queue.csv())
            csv.push_back(text.value_or("unread"));
        EXPECT_EQ(csv, c.csv) << c.what;
    }
}

} // namespace
