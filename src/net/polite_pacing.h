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
//
// Two levers act on it. The rate paces the bytes read, so the server sends
// no faster. The parts allowed to read at that rate bound what is in
// flight: a part that is not read from has a full receive buffer and a
// closed window, so the queue can never hold more than the active parts'
// windows, however late the rate reacts.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace net {

struct PoliteTuning {
    double targetMs = 10.0;           // queueing delay the download may add
    double atBaseMs = 2.5;            // a delay up to this is an empty queue: ramp decisively
    std::size_t noiseFilter = 2;      // current delay: the smallest of the last two samples
    double baseBucketMs = 10000.0;    // the base delay is the smallest sample of each bucket...
    std::size_t baseBuckets = 12;     // ...over this many buckets (two minutes)
    double minRate = 16 * 1024.0;     // bytes per second never refused: the download must end
    double startRate = 256 * 1024.0;  // before the samples have said anything
    double maxRate = 1e12;            // no limit in practice
    double increase = 0.25;           // per sample with an empty queue: the rate grows by a quarter...
    double probeIncrease = 0.03;      // ...but only this near the rate the line was last full at...
    double lineMemoryMs = 5000;       // ...within this long of seeing it full...
    double probeBand = 1.15;          // ...and up to this times that rate
    double decrease = 0.5;            // per sample at decreaseSpan targets past the target: it halves
    double decreaseSpan = 3.0;        // (a queue of the download's own, a few ms past, is cut gently)
    double drain = 0.1;               // above the target, at least this much under what arrives
    double headroom = 1.25;           // never more than this times what actually arrived...
    double rampHeadroom = 4.0;        // (this while the queue is empty)...
    double throughputWindowMs = 500;  // ...over the last half second
    double partWindowBytes = 32 * 1024.0;  // what one active part can have in flight
    std::size_t maxParts = 5;              // parts a download has at most
};

// The rate a polite download may receive at, and how many of its parts may
// receive at once, from round-trip samples.
class PoliteRateController {
public:
    explicit PoliteRateController(PoliteTuning tuning = {});

    // A round-trip sample (milliseconds) taken at `nowMs`, with the bytes
    // the download has received so far. Returns the new rate, bytes per
    // second.
    double OnSample(double nowMs, double roundTripMs, double bytesReceived);

    double Rate() const { return rate_; }
    // Parts that may receive at the rate: enough windows for the rate over
    // the base round trip plus the target, at least one.
    std::size_t ActiveParts() const { return activeParts_; }
    double BaseDelayMs() const;
    double QueueingDelayMs() const { return queueingMs_; }

private:
    struct Bucket {
        double startMs;
        double minimumMs;
    };
    void NoteBase(double nowMs, double roundTripMs);
    void NoteThroughput(double nowMs, double bytesReceived);
    double NextRate(double previousQueueingMs) const;

    PoliteTuning tuning_;
    double rate_;
    std::size_t activeParts_ = 1;
    double queueingMs_ = 0;
    std::deque<double> recent_;  // the last noiseFilter samples
    std::deque<Bucket> base_;    // per-bucket minima, oldest first
    double windowStartMs_ = -1;  // throughput window
    double windowStartBytes_ = 0;
    double throughput_ = -1;  // bytes per second over the last full window; -1: none yet
    double fullLineRate_ = -1;  // what arrived when the queue last stood past the target; -1: none
    double fullLineAtMs_ = 0;
    double nowMs_ = 0;
};

// The parts allowed to receive: the first `limit` to ask hold a place while
// they keep asking; the others are parked and take one read now and then,
// enough for the stall rule and the floor rate, while their windows stay
// shut. A place whose part stopped asking (its range is done) is freed when
// its lease runs out.
class PartGate {
public:
    struct Tuning {
        double trickleMs = 2000;  // a parked part takes one read this often
        double pollMs = 50;       // how soon a parked part asks again for a place
        double leaseMs = 150;     // a place is kept this long after its last wait ends
    };
    enum class Turn { kActive, kTrickle, kParked };
    struct Answer {
        Turn turn;
        double retryMs;  // kParked: ask again after this long
    };

    PartGate();
    explicit PartGate(Tuning tuning);

    // Part `part` (any number unique among the download's parts) wants to
    // take bytes at `nowMs` while `limit` parts may be active.
    Answer Ask(std::uint32_t part, double nowMs, std::size_t limit);
    // An active part that was told to wait `busyMs` at `nowMs` keeps its
    // place through that wait and `leaseMs` beyond, for its next read.
    void Hold(std::uint32_t part, double nowMs, double busyMs);
    // A part that has ended gives its place up at once, so that the line
    // is not left idle for the rest of its lease.
    void Leave(std::uint32_t part);

    std::size_t ActiveCount() const { return active_.size(); }

private:
    struct Place {
        std::uint32_t part;
        double leaseUntilMs;
    };
    struct Parked {
        std::uint32_t part;
        double lastReadMs;
    };
    Answer AskParked(std::uint32_t part, double nowMs);

    Tuning tuning_;
    std::vector<Place> active_;  // in the order they were admitted
    std::vector<Parked> parked_;
};

// Spreads received bytes over time at a given rate: how long to wait before
// taking more. A burst of up to `burstBytes` may pass at once after a pause.
class ReceivePacer {
public:
    explicit ReceivePacer(double rate, double burstBytes = 16 * 1024.0);

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
