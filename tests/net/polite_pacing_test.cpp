// The polite download's rate rules, driven by delay samples alone and by a
// simulated home line with a bloated queue.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "net/polite_pacing.h"

namespace {

using net::PoliteRateController;
using net::PoliteTuning;
using net::ReceivePacer;

constexpr double kBaseMs = 40.0;
constexpr double kSampleMs = 100.0;
const PoliteTuning kTuning;

// Samples every kSampleMs, the download receiving exactly what the rate
// allows (a line faster than any rate reached).
struct OpenLoop {
    PoliteRateController controller;
    double nowMs = 0;
    double received = 0;
    double Step(double roundTripMs) {
        nowMs += kSampleMs;
        received += controller.Rate() * kSampleMs / 1000.0;
        return controller.OnSample(nowMs, roundTripMs, received);
    }
};

TEST(PoliteRate, ClimbsWhileTheDelayStaysAtTheBase) {
    OpenLoop loop;
    double rate = 0;
    for (int i = 0; i < 60; ++i) {
        rate = loop.Step(kBaseMs);
        EXPECT_GE(rate, kTuning.startRate) << "sample " << i;
    }
    // Six seconds without queueing: an order of magnitude above the start.
    EXPECT_GT(rate, 10 * kTuning.startRate);
}

TEST(PoliteRate, BacksOffWhileTheDelayRisesPastTheTarget) {
    OpenLoop loop;
    for (int i = 0; i < 20; ++i) loop.Step(kBaseMs);
    const double before = loop.controller.Rate();
    double previous = before;
    for (int i = 1; i <= 60; ++i) {
        const double rate = loop.Step(kBaseMs + 2.0 * i);
        if (loop.controller.QueueingDelayMs() > kTuning.targetMs) {
            // Down at every sample, to the floor that lets the download end.
            EXPECT_TRUE(rate < previous || rate == kTuning.minRate) << "sample " << i;
        }
        previous = rate;
    }
    EXPECT_EQ(previous, kTuning.minRate);
    EXPECT_LT(previous, before / 10);
}

TEST(PoliteRate, SingleLateSamplesAreNoise) {
    OpenLoop loop;
    for (int i = 0; i < 40; ++i) {
        // Every third sample 80 ms late (a retransmitted SYN, a busy server):
        // no queue is there.
        loop.Step(i % 3 == 2 ? kBaseMs + 80 : kBaseMs);
        EXPECT_EQ(loop.controller.QueueingDelayMs(), 0.0) << "sample " << i;
    }
    EXPECT_GT(loop.controller.Rate(), 5 * kTuning.startRate);
}

TEST(PoliteRate, ALongerRouteBecomesTheNewBase) {
    OpenLoop loop;
    for (int i = 0; i < 50; ++i) loop.Step(kBaseMs);
    // The route changes: every sample 30 ms longer from now on. At first
    // that reads as queueing and the download yields...
    for (int i = 0; i < 50; ++i) loop.Step(kBaseMs + 30);
    EXPECT_GT(loop.controller.QueueingDelayMs(), kTuning.targetMs);
    EXPECT_EQ(loop.controller.Rate(), kTuning.minRate);
    // ...until the old minima have aged out: then it is the base.
    int steps = 0;
    while (loop.controller.BaseDelayMs() < kBaseMs + 30 && steps++ < 2000) loop.Step(kBaseMs + 30);
    EXPECT_LE(steps * kSampleMs, kTuning.baseBuckets * kTuning.baseBucketMs + kSampleMs);
    loop.Step(kBaseMs + 30);
    EXPECT_EQ(loop.controller.QueueingDelayMs(), 0.0);
    EXPECT_GT(loop.controller.Rate(), kTuning.minRate);
}

TEST(PoliteRate, HoldsWhileTheDelayRisesBelowTheTargetAndGrowsWhileItStands) {
    // The same delay under the target: growth while it stands or falls,
    // none while it is still rising (the download's own queue building).
    struct Case {
        const char* what;
        double firstMs, secondMs;  // added delay of two samples in a row
        bool grows;
    };
    const Case cases[] = {
        {"rising under the target", 4, 7, false},
        {"standing under the target", 7, 7, true},
        {"falling under the target", 9, 7, true},
        {"rising at the base", 0, 2, true},
    };
    // The throughput caps are out of the way here: the gain rule alone.
    PoliteTuning uncapped;
    uncapped.headroom = uncapped.rampHeadroom = 1e9;
    for (const Case& c : cases) {
        OpenLoop loop{PoliteRateController(uncapped)};
        for (int i = 0; i < 10; ++i) loop.Step(kBaseMs);
        // The noise filter keeps the smaller of two samples: each delay is
        // sampled twice, and the second of the later pair compared.
        loop.Step(kBaseMs + c.firstMs);
        loop.Step(kBaseMs + c.firstMs);
        const double before = loop.Step(kBaseMs + c.secondMs);
        const double after = loop.Step(kBaseMs + c.secondMs);
        if (c.grows) {
            EXPECT_GT(after, before) << c.what;
        } else {
            EXPECT_LE(after, before) << c.what;
        }
    }
}

TEST(PoliteRate, ASteadyDelaySettlesTheRateByWhereItStands) {
    struct Case {
        double addedMs;
        double lowShare, highShare;  // the rate after 5 s, as a share of where it started
    };
    const Case cases[] = {
        {0, 100, 1e9},                        // empty queue: far up
        {0.8 * kTuning.targetMs, 1.2, 10.0},  // near the target: up, slowly
        {2 * kTuning.targetMs, 0, 0},         // twice the target: down to the floor
    };
    for (const Case& c : cases) {
        OpenLoop loop;
        for (int i = 0; i < 10; ++i) loop.Step(kBaseMs);
        const double start = loop.controller.Rate();
        for (int i = 0; i < 50; ++i) loop.Step(kBaseMs + c.addedMs);
        const double share = loop.controller.Rate() / start;
        EXPECT_GE(share, c.lowShare) << c.addedMs << " ms";
        if (c.highShare > 0) {
            EXPECT_LE(share, c.highShare) << c.addedMs << " ms";
        } else {
            EXPECT_EQ(loop.controller.Rate(), kTuning.minRate) << c.addedMs << " ms";
        }
    }
}

TEST(PoliteRate, NearTheRateTheLineWasFullAtItClimbsSlowlyAndPastItDecisively) {
    // A queue past the target while about 1 MB/s arrived: the line is full
    // at about what arrived. With the queue gone the rate comes back to it
    // fast, creeps across it, and once past it with the queue still empty
    // (the line has more room now) climbs decisively again.
    OpenLoop loop;
    for (int i = 0; i < 40 && loop.controller.Rate() < 1e6; ++i) loop.Step(kBaseMs);
    for (int i = 0; i < 6; ++i) loop.Step(kBaseMs + 2 * kTuning.targetMs);
    std::vector<double> creeping;  // rates reached by the slow growth
    double previous = loop.controller.Rate();
    for (int i = 0; i < 40; ++i) {
        const double rate = loop.Step(kBaseMs);
        if (rate > previous && rate <= previous * (1.0 + kTuning.probeIncrease) * (1 + 1e-9)) creeping.push_back(rate);
        previous = rate;
    }
    ASSERT_GE(creeping.size(), 3u);
    // The creep spans the band around one rate, no more...
    EXPECT_LE(creeping.back() / creeping.front(), kTuning.probeBand / (1.0 - kTuning.drain) * (1 + 1e-9));
    // ...and past it the rate is soon far above.
    EXPECT_GT(previous, 4 * creeping.back());
}

TEST(PoliteRate, TheFirstWindowsAtTheStartDoNotSlowTheClimb) {
    // Every part's first window arrives at once: a queue for a sample or
    // two while little has arrived yet. It is no full line to creep towards.
    OpenLoop loop;
    for (int i = 0; i < 6; ++i) loop.Step(kBaseMs);
    loop.Step(kBaseMs + 50);
    loop.Step(kBaseMs + 50);
    const double afterBurst = loop.controller.Rate();
    for (int i = 0; i < 20; ++i) loop.Step(kBaseMs);
    EXPECT_GT(loop.controller.Rate(), 8 * afterBurst);
}

TEST(PoliteRate, ActivePartsCoverTheRateOverTheRoundTripAndNoMore) {
    // Open loop at the base: the rate climbs to the ceiling; the parts
    // follow it, at least one, at most the download's.
    struct Case {
        double baseMs;
        double maxRate;
        std::size_t parts;
    };
    const double window = kTuning.partWindowBytes;
    const Case cases[] = {
        {1, 10 * window, 1},    // a short line: one window holds 110 ms of the rate
        {40, 20 * window, 1},   // 20 windows a second over 50 ms: one window
        {40, 60 * window, 3},   // three
        {90, 100 * window, 5},  // ten wanted, five there are
        {1, 0, 1},              // at the floor rate
    };
    for (const Case& c : cases) {
        PoliteTuning tuning;
        tuning.maxRate = c.maxRate > 0 ? c.maxRate : tuning.minRate;
        PoliteRateController controller(tuning);
        double nowMs = 0;
        double received = 0;
        for (int i = 0; i < 100; ++i) {
            nowMs += kSampleMs;
            received += controller.Rate() * kSampleMs / 1000.0;
            controller.OnSample(nowMs, c.baseMs, received);
        }
        EXPECT_EQ(controller.ActiveParts(), c.parts) << "base " << c.baseMs << " ms, rate " << c.maxRate;
    }
}

// A home line: a bottleneck of `capacity` with a queue worth half a second,
// our download sending as fast as our rate and the windows of its active
// parts let it and, at times, a greedy competing flow that keeps the queue
// full.
struct Line {
    double baseMs = 1.0;        // round trip of the empty line
    double capacity = 2.5e6;    // bytes per second (20 Mbit/s)
    double ours = 0;            // our bytes waiting
    double theirs = 0;          // the competing flow's
    double maxQueue = 1.25e6;   // half a second of the line
    double oursArriving = 0;    // bytes per second reaching us
    double Queue() const { return ours + theirs; }
    double DelayMs() const { return baseMs + Queue() * 1000.0 / capacity; }
};

struct Stretch {
    std::vector<double> addedMs;  // added delay at each sample
    std::vector<std::size_t> parts;
    double received = 0;          // our bytes
};

// `seconds` of the line in 10 ms steps, a sample every kSampleMs.
Stretch Simulate(PoliteRateController& controller, Line& line, int seconds, double& nowMs, double& received,
                 bool competing) {
    Stretch stretch;
    const double dt = 0.01;
    for (int step = 0; step < seconds * 100; ++step) {
        // The server sends what the reads free, within the open windows:
        // what is on the way (queued or crossing the line) stays under them.
        const double windows = static_cast<double>(controller.ActiveParts()) * kTuning.partWindowBytes;
        const double onTheWay = line.ours + line.oursArriving * line.baseMs / 1000.0;
        line.ours += std::min(controller.Rate() * dt, std::max(0.0, windows - onTheWay));
        if (competing) line.theirs += line.capacity * dt + std::max(0.0, line.maxQueue - line.Queue());
        // Tail drop: the full queue refuses the greedy flow's excess.
        line.theirs = std::max(0.0, std::min(line.theirs, line.maxQueue - line.ours));
        const double served = std::min(line.Queue(), line.capacity * dt);
        // One queue, first come first served: served bytes are shared as queued.
        const double ourShare = line.Queue() > 0 ? line.ours / line.Queue() : 0;
        line.ours -= served * ourShare;
        line.theirs -= served * (1 - ourShare);
        line.oursArriving = served * ourShare / dt;
        received += served * ourShare;
        stretch.received += served * ourShare;
        nowMs += dt * 1000;
        if (step % 10 == 9) {
            controller.OnSample(nowMs, line.DelayMs(), received);
            stretch.addedMs.push_back(line.DelayMs() - line.baseMs);
            stretch.parts.push_back(controller.ActiveParts());
        }
    }
    return stretch;
}

double Percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(share * static_cast<double>(values.size() - 1))];
}

TEST(PoliteRate, AloneOnABloatedLineItUsesTheLineWithoutFillingItsQueue) {
    struct Case {
        double capacity;
        double baseMs;
        double p95Ms;  // added delay at the 95th percentile, at most
    };
    // 20 Mbit/s, short and long; 2 Mbit/s, where one window alone is
    // 130 ms of the line and the rate has to keep the queue short.
    const Case cases[] = {{2.5e6, 1, 25}, {2.5e6, 40, 25}, {0.25e6, 1, 4 * kTuning.targetMs}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.capacity << " B/s, base " << c.baseMs << " ms");
        PoliteRateController controller;
        Line line;
        line.capacity = c.capacity;
        line.maxQueue = c.capacity / 2;
        line.baseMs = c.baseMs;
        double nowMs = 0;
        double received = 0;
        Simulate(controller, line, 10, nowMs, received, false);  // settling
        const Stretch steady = Simulate(controller, line, 30, nowMs, received, false);
        // Greedy, the queue would stand at 500 ms.
        EXPECT_LE(Percentile(steady.addedMs, 0.5), kTuning.targetMs);
        EXPECT_LE(Percentile(steady.addedMs, 0.95), c.p95Ms);
        EXPECT_GE(steady.received / 30, 0.85 * line.capacity);
    }
}

TEST(PoliteRate, YieldsToACompetingFlowAndComesBackWhenItLeaves) {
    struct Case {
        double baseMs;
        std::size_t partsNeeded;  // one part's window carries 32 KiB a round trip
    };
    for (const Case& c : {Case{1.0, 1}, Case{40.0, 3}}) {
        SCOPED_TRACE(c.baseMs);
        PoliteRateController controller;
        Line line;
        line.baseMs = c.baseMs;
        double nowMs = 0;
        double received = 0;
        Simulate(controller, line, 20, nowMs, received, false);
        const Stretch shared = Simulate(controller, line, 20, nowMs, received, true);
        // While the other flow fills the queue, the download takes a sliver
        // through a single part.
        EXPECT_LE(shared.received / 20, 0.05 * line.capacity);
        EXPECT_EQ(controller.Rate(), kTuning.minRate);
        EXPECT_EQ(controller.ActiveParts(), 1u);
        // Gone: the queue drains and within ten seconds the line is used
        // again, through as many parts as the round trip needs.
        Simulate(controller, line, 10, nowMs, received, false);
        const Stretch after = Simulate(controller, line, 10, nowMs, received, false);
        EXPECT_GE(after.received / 10, 0.85 * line.capacity);
        EXPECT_GE(*std::max_element(after.parts.begin(), after.parts.end()), c.partsNeeded);
    }
}

TEST(PoliteRate, JitterBelowTheTargetIsNotYieldedTo) {
    PoliteRateController controller;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> jitter(0, kTuning.targetMs * 0.9);
    double nowMs = 0;
    double received = 0;
    for (int i = 0; i < 200; ++i) {
        nowMs += kSampleMs;
        received += controller.Rate() * kSampleMs / 1000.0;
        controller.OnSample(nowMs, kBaseMs + jitter(random), received);
        EXPECT_LT(controller.QueueingDelayMs(), kTuning.targetMs);
    }
    EXPECT_GT(controller.Rate(), 100 * kTuning.startRate);
}

TEST(PoliteRate, NoisySamplesAroundAStandingQueueKeepTheRateNearTheLine) {
    // Alone on a 20 Mbit/s line, every sample off by up to 5 ms either way
    // and one in ten 200 ms late (a busy host): the download still uses
    // most of the line and the noise does not drive it to the floor.
    PoliteRateController controller;
    Line line;
    std::mt19937 random(11);
    std::uniform_real_distribution<double> jitter(-5, 5);
    std::uniform_int_distribution<int> late(0, 9);
    double nowMs = 0;
    double received = 0;
    double steadyBytes = 0;
    const double dt = 0.01;
    for (int step = 0; step < 4000; ++step) {
        const double windows = static_cast<double>(controller.ActiveParts()) * kTuning.partWindowBytes;
        line.ours += std::min(controller.Rate() * dt, std::max(0.0, windows - line.ours));
        const double served = std::min(line.ours, line.capacity * dt);
        line.ours -= served;
        received += served;
        if (step >= 1000) steadyBytes += served;
        nowMs += dt * 1000;
        if (step % 10 == 9) {
            const double noise = late(random) == 0 ? 200 : jitter(random);
            controller.OnSample(nowMs, std::max(line.baseMs, line.DelayMs() + noise), received);
        }
    }
    EXPECT_GE(steadyBytes / 30, 0.8 * line.capacity);
}

TEST(PartGate, AdmitsUpToTheLimitAndParksTheRest) {
    using Turn = net::PartGate::Turn;
    const net::PartGate::Tuning tuning;
    struct Ask {
        std::uint32_t part;
        double nowMs;
        std::size_t limit;
        Turn turn;
    };
    const Ask asks[] = {
        {1, 0, 2, Turn::kActive},                      // first come
        {2, 0, 2, Turn::kActive},                      // second, within the limit
        {3, 0, 2, Turn::kParked},                      // third: parked
        {1, 50, 2, Turn::kActive},                     // a holder keeps its place
        {3, tuning.trickleMs - 1, 2, Turn::kParked},   // not yet its read
        {3, tuning.trickleMs, 2, Turn::kTrickle},      // one read a trickle period
        {3, tuning.trickleMs + 1, 2, Turn::kParked},   // and then waits again
        {1, tuning.trickleMs + 2, 1, Turn::kActive},   // the limit falls to one: the first admitted stays
        {2, tuning.trickleMs + 3, 1, Turn::kParked},   // the later one gives its place up
        {2, tuning.trickleMs + 4, 2, Turn::kActive},   // and takes it again when the limit rises
    };
    net::PartGate gate;
    for (const Ask& a : asks) {
        const net::PartGate::Answer answer = gate.Ask(a.part, a.nowMs, a.limit);
        EXPECT_EQ(answer.turn, a.turn) << "part " << a.part << " at " << a.nowMs;
        // Told to wait long: no place runs out in this sequence.
        if (answer.turn == Turn::kActive) gate.Hold(a.part, a.nowMs, 10000);
        if (answer.turn == Turn::kParked) {
            EXPECT_GT(answer.retryMs, 0) << "part " << a.part << " at " << a.nowMs;
            EXPECT_LE(answer.retryMs, tuning.pollMs);
        }
    }
}

TEST(PartGate, APlaceWhosePartStoppedAskingPassesOn) {
    using Turn = net::PartGate::Turn;
    const net::PartGate::Tuning tuning;
    net::PartGate gate;
    ASSERT_EQ(gate.Ask(1, 0, 1).turn, Turn::kActive);
    gate.Hold(1, 0, 400);  // told to wait 400 ms
    EXPECT_EQ(gate.Ask(2, 0, 1).turn, Turn::kParked);
    // Its place is kept through the wait and the lease after it...
    EXPECT_EQ(gate.Ask(2, 400 + tuning.leaseMs - 1, 1).turn, Turn::kParked);
    // ...and passes on once part 1 has not come back (its range is done).
    EXPECT_EQ(gate.Ask(2, 400 + tuning.leaseMs + 1, 1).turn, Turn::kActive);
    EXPECT_EQ(gate.ActiveCount(), 1u);
    // Should part 1 come back after all, it is parked, not a second holder.
    EXPECT_EQ(gate.Ask(1, 600, 1).turn, Turn::kParked);
    EXPECT_EQ(gate.ActiveCount(), 1u);
}

TEST(PartGate, APartThatEndedGivesItsPlaceUpAtOnce) {
    using Turn = net::PartGate::Turn;
    net::PartGate gate;
    ASSERT_EQ(gate.Ask(1, 0, 1).turn, Turn::kActive);
    gate.Hold(1, 0, 400);
    EXPECT_EQ(gate.Ask(2, 10, 1).turn, Turn::kParked);
    gate.Leave(1);
    EXPECT_EQ(gate.ActiveCount(), 0u);
    // The next ask takes the place, long before part 1's lease would end.
    EXPECT_EQ(gate.Ask(2, 20, 1).turn, Turn::kActive);
    // Leaving is also clean for a parked part and for one never seen.
    EXPECT_EQ(gate.Ask(3, 30, 1).turn, Turn::kParked);
    gate.Leave(3);
    gate.Leave(99);
    EXPECT_EQ(gate.ActiveCount(), 1u);
    EXPECT_EQ(gate.Ask(3, 40, 2).turn, Turn::kActive);
}

TEST(PartGate, EveryParkedPartKeepsToTheFloorRateAndEveryPlaceIsUsed) {
    // Five parts asking every 10 ms for a minute, the place limit going up
    // and down, part 1 ending at 20 s: a parked part reads at least once
    // every trickle period, which with 16 KiB reads is far above the 512
    // bytes a second the floor rate asks of every part; the places are
    // all taken, and the one part 1 held passes on once its lease is over.
    const net::PartGate::Tuning tuning;
    net::PartGate gate;
    double lastRead[6] = {0, 0, 0, 0, 0, 0};
    for (double nowMs = 0; nowMs < 60000; nowMs += 10) {
        const std::size_t limit = 1 + static_cast<std::size_t>(nowMs / 7000) % 3;
        for (std::uint32_t part = 1; part <= 5; ++part) {
            if (part == 1 && nowMs > 20000) continue;
            const net::PartGate::Answer answer = gate.Ask(part, nowMs, limit);
            if (answer.turn != net::PartGate::Turn::kParked) lastRead[part] = nowMs;
            if (answer.turn == net::PartGate::Turn::kActive) gate.Hold(part, nowMs, 0);
            EXPECT_LE(nowMs - lastRead[part], tuning.trickleMs) << "part " << part << " at " << nowMs;
        }
        const bool passingOn = nowMs > 20000 && nowMs <= 20000 + tuning.leaseMs + 10;
        if (passingOn) {
            EXPECT_LE(gate.ActiveCount(), limit) << nowMs;
        } else {
            EXPECT_EQ(gate.ActiveCount(), limit) << nowMs;
        }
    }
}

TEST(ReceivePacer, SpreadsBytesAtTheRateWithOneBurstAfterAPause) {
    struct Case {
        double bytes;
        double nowMs;
        double waitMs;
    };
    ReceivePacer pacer(1000.0, 1000.0);  // 1000 bytes per second, a burst of 1000
    const Case cases[] = {
        {1000, 0, 0},         // the burst
        {1000, 0, 1000},      // then one second per 1000 bytes
        {500, 1000, 500},
        {3000, 20000, 2000},  // after a long pause: one burst only, not twenty
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(pacer.Take(c.bytes, c.nowMs), c.waitMs) << c.bytes << " at " << c.nowMs;
    }
    pacer.SetRate(0);
    EXPECT_EQ(pacer.Take(1e9, 0), 0.0);  // no rate: no pacing
}

}  // namespace
