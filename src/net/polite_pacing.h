#pragma once
// Polite downloading: the rules that keep the queueing delay a download adds
// on the user's line under a target, from the receiving end (after LEDBAT
// and its receiver-side form). Pure arithmetic on samples and times, so that
// tests can drive it; the thread that takes the samples and the transfer
// that obeys the rate are in polite_download.h.
//
// The signal is the round-trip time of a TCP connection set-up to the
// server (SYN to SYN-ACK), sampled ten times a second: it crosses the same
// queues as the download, needs nothing of the server beyond accepting a
// connection, and carries no server processing time. Its smallest value
// over the last two minutes is the line's base delay; what a sample has
// above it is queueing delay, most of it the download's own.

#include <cstddef>
#include <deque>

namespace net {

struct PoliteTuning {
    double targetMs = 15.0;           // queueing delay the download may add
    std::size_t noiseFilter = 2;      // current delay: the smaller of the last two samples
    double baseBucketMs = 10000.0;    // the base delay is the smallest sample of each bucket...
    std::size_t baseBuckets = 12;     // ...over this many buckets (two minutes)
    double minRate = 16 * 1024.0;     // bytes per second never refused: the download must end
    double startRate = 256 * 1024.0;  // before the samples have said anything
    double maxRate = 1e12;            // no limit in practice
    double increase = 0.25;           // per sample with no queueing: the rate grows by a quarter
    double decrease = 0.5;            // per sample at twice the target or beyond: it halves
    double headroom = 1.25;           // never more than this times what actually arrived...
    double throughputWindowMs = 500;  // ...over the last half second
};

// The rate a polite download may receive at, from round-trip samples.
class PoliteRateController {
public:
    explicit PoliteRateController(PoliteTuning tuning = {});

    // A round-trip sample (milliseconds) taken at `nowMs`, with the bytes
    // the download has received so far. Returns the new rate, bytes per
    // second.
    double OnSample(double nowMs, double roundTripMs, double bytesReceived);

    double Rate() const { return rate_; }
    double BaseDelayMs() const;
    double QueueingDelayMs() const { return queueingMs_; }

private:
    struct Bucket {
        double startMs;
        double minimumMs;
    };
    void NoteBase(double nowMs, double roundTripMs);
    void NoteThroughput(double nowMs, double bytesReceived);

    PoliteTuning tuning_;
    double rate_;
    double queueingMs_ = 0;
    std::deque<double> recent_;  // the last noiseFilter samples
    std::deque<Bucket> base_;    // per-bucket minima, oldest first
    double windowStartMs_ = -1;  // throughput window
    double windowStartBytes_ = 0;
    double throughput_ = -1;  // bytes per second over the last full window; -1: none yet
};

// Spreads received bytes over time at a given rate: how long to wait before
// taking more. A burst of up to `burstBytes` may pass at once after a pause.
class ReceivePacer {
public:
    explicit ReceivePacer(double rate, double burstBytes = 32 * 1024.0);

    void SetRate(double rate) { rate_ = rate; }
    double Rate() const { return rate_; }

    // Milliseconds to wait at `nowMs` before `bytes` may be taken; the
    // bytes count as taken once that wait is over. A rate of 0 paces nothing.
    double Take(double bytes, double nowMs);

private:
    double rate_;
    double burst_;
    double allowedAtMs_ = -1e300;  // when what was taken is paid for; long ago at first
};

}  // namespace net
