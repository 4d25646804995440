// The polite download's rate rules, driven by delay samples alone and by a
// simulated home line with a bloated queue.
#include <gtest/gtest.h>

#include <algorithm>
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

// A home line: a bottleneck of `capacity` with a queue worth half a second,
// our download sending as fast as our rate lets it and, at times, a greedy
// competing flow that keeps the queue full.
struct Line {
    double capacity = 2.5e6;   // bytes per second (20 Mbit/s)
    double queue = 0;          // bytes waiting
    double maxQueue = 1.25e6;  // half a second of the line
    double DelayMs() const { return kBaseMs + queue * 1000.0 / capacity; }
};

struct Stretch {
    std::vector<double> addedMs;  // added delay at each sample
    double received = 0;          // our bytes
};

// `seconds` of the line in 10 ms steps, a sample every kSampleMs.
Stretch Simulate(PoliteRateController& controller, Line& line, int seconds, double& nowMs, double& received,
                 bool competing) {
    Stretch stretch;
    for (int step = 0; step < seconds * 100; ++step) {
        const double dt = 0.01;
        const double ours = controller.Rate() * dt;
        const double theirs = competing ? line.capacity * dt + (line.maxQueue - line.queue) : 0;
        const double offered = ours + theirs;
        const double served = std::min(line.queue + offered, line.capacity * dt);
        // One queue, first come first served: served bytes are shared as offered.
        const double ourShare = offered > 0 ? ours / offered : 0;
        line.queue = std::clamp(line.queue + offered - served, 0.0, line.maxQueue);
        received += served * ourShare;
        stretch.received += served * ourShare;
        nowMs += dt * 1000;
        if (step % 10 == 9) {
            controller.OnSample(nowMs, line.DelayMs(), received);
            stretch.addedMs.push_back(line.DelayMs() - kBaseMs);
        }
    }
    return stretch;
}

double Percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(share * static_cast<double>(values.size() - 1))];
}

TEST(PoliteRate, AloneOnABloatedLineItUsesTheLineWithoutFillingItsQueue) {
    for (double capacity : {2.5e6, 0.25e6}) {  // 20 and 2 Mbit/s
        SCOPED_TRACE(capacity);
        PoliteRateController controller;
        Line line;
        line.capacity = capacity;
        line.maxQueue = capacity / 2;
        double nowMs = 0;
        double received = 0;
        Simulate(controller, line, 10, nowMs, received, false);  // settling
        const Stretch steady = Simulate(controller, line, 30, nowMs, received, false);
        // Greedy, the queue would stand at 500 ms; paced by rate alone it
        // stays within a few times the target (the socket's small receive
        // window bounds the rest in a real transfer).
        EXPECT_LE(Percentile(steady.addedMs, 0.5), kTuning.targetMs);
        EXPECT_LE(Percentile(steady.addedMs, 0.95), 4 * kTuning.targetMs);
        EXPECT_GE(steady.received / 30, 0.85 * line.capacity);
    }
}

TEST(PoliteRate, YieldsToACompetingFlowAndComesBackWhenItLeaves) {
    PoliteRateController controller;
    Line line;
    double nowMs = 0;
    double received = 0;
    Simulate(controller, line, 20, nowMs, received, false);
    const Stretch shared = Simulate(controller, line, 20, nowMs, received, true);
    // While the other flow fills the queue, the download takes a sliver.
    EXPECT_LE(shared.received / 20, 0.05 * line.capacity);
    EXPECT_EQ(controller.Rate(), kTuning.minRate);
    // Gone: the queue drains and within ten seconds the line is used again.
    Simulate(controller, line, 10, nowMs, received, false);
    const Stretch after = Simulate(controller, line, 10, nowMs, received, false);
    EXPECT_GE(after.received / 10, 0.85 * line.capacity);
}

TEST(PoliteRate, JitterBelowTheTargetIsNotYieldedTo) {
    PoliteRateController controller;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> jitter(0, 10);
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
