#include "net/polite_pacing.h"

#include <algorithm>
#include <cmath>

namespace net {

PoliteRateController::PoliteRateController(PoliteTuning tuning) : tuning_(tuning), rate_(tuning.startRate) {}

double PoliteRateController::BaseDelayMs() const {
    double base = -1;
    for (const Bucket& bucket : base_) {
        if (base < 0 || bucket.minimumMs < base) base = bucket.minimumMs;
    }
    return base;
}

// The base delay forgets samples older than its buckets, so that a route
// that became longer is not taken for a queue that never drains.
void PoliteRateController::NoteBase(double nowMs, double roundTripMs) {
    if (base_.empty() || nowMs - base_.back().startMs >= tuning_.baseBucketMs) {
        base_.push_back(Bucket{nowMs, roundTripMs});
        while (base_.size() > tuning_.baseBuckets) base_.pop_front();
    } else {
        base_.back().minimumMs = std::min(base_.back().minimumMs, roundTripMs);
    }
}

void PoliteRateController::NoteThroughput(double nowMs, double bytesReceived) {
    if (windowStartMs_ < 0) {
        windowStartMs_ = nowMs;
        windowStartBytes_ = bytesReceived;
        return;
    }
    const double elapsed = nowMs - windowStartMs_;
    if (elapsed < tuning_.throughputWindowMs) return;
    throughput_ = std::max(0.0, bytesReceived - windowStartBytes_) * 1000.0 / elapsed;
    windowStartMs_ = nowMs;
    windowStartBytes_ = bytesReceived;
}

double PoliteRateController::NextRate(double previousQueueingMs) const {
    const double queueing = queueingMs_;
    double rate = rate_;
    if (queueing <= tuning_.atBaseMs) {
        // No queue: the line has room, and the sooner it is used the
        // sooner the download is out of the way. Near the rate the line was
        // recently full at, a quarter more would overshoot it and build a
        // queue before the next samples can tell: it is approached slowly.
        // Well past that rate with the queue still empty, the line has
        // more room than it had then (another flow left, or what filled it
        // was the parts' first windows at the start): a decisive climb again.
        const bool nearFullLine = fullLineRate_ > 0 && nowMs_ - fullLineAtMs_ <= tuning_.lineMemoryMs &&
                                  rate >= (1.0 - tuning_.drain) * fullLineRate_ &&
                                  rate <= tuning_.probeBand * fullLineRate_;
        rate *= 1.0 + (nearFullLine ? tuning_.probeIncrease : tuning_.increase);
    } else if (queueing < tuning_.targetMs) {
        // LEDBAT's gain, proportional to the room left under the target;
        // a delay still rising is our own queue building: not grown into.
        if (queueing <= previousQueueingMs) {
            rate *= 1.0 + tuning_.increase * (tuning_.targetMs - queueing) / tuning_.targetMs;
        }
    } else {
        // Past the target the line is full and what arrives is our share of
        // it: only a rate under that lets the queue drain. A few ms past is
        // our own queue (a part's first window, a parked part's read) and
        // is drained with a small cut; far past (another flow has come)
        // cuts by `decrease` at once.
        const double over =
            std::min(1.0, (queueing - tuning_.targetMs) / (tuning_.decreaseSpan * tuning_.targetMs));
        const double cut = std::max(tuning_.drain, tuning_.decrease * over);
        const double arriving = throughput_ >= 0 ? std::min(rate, throughput_) : rate;
        rate = arriving * (1.0 - cut);
    }
    // A rate far above what arrives would take many cuts to come down once
    // a queue builds: it stays within reach of the measured throughput.
    // While the queue is empty that reach is wider: the throughput lags the
    // rate by its window, and held to a quarter above it the climb to a
    // 20 Mbit/s line's rate took four or five seconds instead of one or
    // two; the active parts' windows still bound what an overshoot queues.
    const double headroom = queueing <= tuning_.atBaseMs ? tuning_.rampHeadroom : tuning_.headroom;
    if (throughput_ >= 0) rate = std::min(rate, std::max(headroom * throughput_, tuning_.minRate));
    return std::clamp(rate, tuning_.minRate, tuning_.maxRate);
}

double PoliteRateController::OnSample(double nowMs, double roundTripMs, double bytesReceived) {
    NoteBase(nowMs, roundTripMs);
    NoteThroughput(nowMs, bytesReceived);
    // A single late sample is noise (a retransmitted SYN, a busy server); a
    // queue shows in every sample.
    recent_.push_back(roundTripMs);
    while (recent_.size() > std::max<std::size_t>(tuning_.noiseFilter, 1)) recent_.pop_front();
    const double current = *std::min_element(recent_.begin(), recent_.end());
    const double previousQueueingMs = queueingMs_;
    queueingMs_ = std::max(0.0, current - BaseDelayMs());
    nowMs_ = nowMs;
    if (queueingMs_ >= tuning_.targetMs && throughput_ > 0) {
        fullLineRate_ = throughput_;
        fullLineAtMs_ = nowMs;
    }
    rate_ = NextRate(previousQueueingMs);

    // What may be in flight is the rate over the base round trip plus the
    // target; each active part's receive window holds a share of it. Fewer
    // parts, fewer open windows: the queue the download can build while
    // the rate is still coming down is smaller.
    const double inFlight = rate_ * (std::max(0.0, BaseDelayMs()) + tuning_.targetMs) / 1000.0;
    const double parts = std::ceil(inFlight / std::max(1.0, tuning_.partWindowBytes));
    const double mostParts = static_cast<double>(std::max<std::size_t>(tuning_.maxParts, 1));
    activeParts_ = static_cast<std::size_t>(std::clamp(parts, 1.0, mostParts));
    return rate_;
}

PartGate::PartGate() : PartGate(Tuning{}) {}

PartGate::PartGate(Tuning tuning) : tuning_(tuning) {}

PartGate::Answer PartGate::Ask(std::uint32_t part, double nowMs, std::size_t limit) {
    limit = std::max<std::size_t>(limit, 1);
    // A place not renewed in time belongs to a part that has ended.
    active_.erase(std::remove_if(active_.begin(), active_.end(),
                                 [&](const Place& place) { return place.part != part && place.leaseUntilMs < nowMs; }),
                  active_.end());
    const auto held =
        std::find_if(active_.begin(), active_.end(), [part](const Place& place) { return place.part == part; });
    if (held != active_.end()) {
        if (static_cast<std::size_t>(held - active_.begin()) < limit) return Answer{Turn::kActive, 0};
        // Fewer places now: the latest admitted give theirs up first.
        active_.erase(held);
        parked_.push_back(Parked{part, nowMs});
        return AskParked(part, nowMs);
    }
    if (active_.size() < limit) {
        active_.push_back(Place{part, nowMs + tuning_.leaseMs});
        parked_.erase(
            std::remove_if(parked_.begin(), parked_.end(), [part](const Parked& p) { return p.part == part; }),
            parked_.end());
        return Answer{Turn::kActive, 0};
    }
    return AskParked(part, nowMs);
}

PartGate::Answer PartGate::AskParked(std::uint32_t part, double nowMs) {
    auto parked = std::find_if(parked_.begin(), parked_.end(), [part](const Parked& p) { return p.part == part; });
    if (parked == parked_.end()) {
        // Newly parked: its read waits a whole trickle period like the rest.
        parked_.push_back(Parked{part, nowMs});
        parked = parked_.end() - 1;
    }
    const double dueMs = parked->lastReadMs + tuning_.trickleMs;
    if (nowMs >= dueMs) {
        parked->lastReadMs = nowMs;
        return Answer{Turn::kTrickle, 0};
    }
    return Answer{Turn::kParked, std::min(tuning_.pollMs, dueMs - nowMs)};
}

void PartGate::Hold(std::uint32_t part, double nowMs, double busyMs) {
    for (Place& place : active_) {
        if (place.part == part) place.leaseUntilMs = std::max(place.leaseUntilMs, nowMs + busyMs + tuning_.leaseMs);
    }
}

void PartGate::Leave(std::uint32_t part) {
    active_.erase(
        std::remove_if(active_.begin(), active_.end(), [part](const Place& place) { return place.part == part; }),
        active_.end());
    parked_.erase(std::remove_if(parked_.begin(), parked_.end(), [part](const Parked& p) { return p.part == part; }),
                  parked_.end());
}

ReceivePacer::ReceivePacer(double rate, double burstBytes) : rate_(rate), burst_(burstBytes) {}

double ReceivePacer::Take(double bytes, double nowMs) {
    if (rate_ <= 0) return 0;
    const double burstMs = burst_ * 1000.0 / rate_;
    // Time not used is not saved up beyond one burst.
    allowedAtMs_ = std::max(allowedAtMs_, nowMs - burstMs) + bytes * 1000.0 / rate_;
    return std::max(0.0, allowedAtMs_ - nowMs);
}

}  // namespace net
