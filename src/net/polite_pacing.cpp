#include "net/polite_pacing.h"

#include <algorithm>

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

double PoliteRateController::OnSample(double nowMs, double roundTripMs, double bytesReceived) {
    NoteBase(nowMs, roundTripMs);
    NoteThroughput(nowMs, bytesReceived);
    // A single late sample is noise (a retransmitted SYN, a busy server); a
    // queue shows in every sample.
    recent_.push_back(roundTripMs);
    while (recent_.size() > std::max<std::size_t>(tuning_.noiseFilter, 1)) recent_.pop_front();
    const double current = *std::min_element(recent_.begin(), recent_.end());
    queueingMs_ = std::max(0.0, current - BaseDelayMs());

    // Proportional to how far the delay is from the target, as LEDBAT's
    // window: growth while below it, a cut while above it.
    const double offTarget = std::clamp((tuning_.targetMs - queueingMs_) / tuning_.targetMs, -1.0, 1.0);
    rate_ *= 1.0 + (offTarget >= 0 ? tuning_.increase : tuning_.decrease) * offTarget;
    // A rate far above what arrives would take many cuts to come down once
    // a queue builds: it stays within reach of the measured throughput.
    if (throughput_ >= 0) rate_ = std::min(rate_, std::max(tuning_.headroom * throughput_, tuning_.minRate));
    rate_ = std::clamp(rate_, tuning_.minRate, tuning_.maxRate);
    return rate_;
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
