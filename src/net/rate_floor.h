#pragma once
// The slowest a transfer may go on average: a server that trickles a few
// bytes a second passes the stall rule (under one byte a second) for ever,
// and would keep the elevated launcher resident. The rate is averaged over
// consecutive windows of the transfer, so a short pause costs nothing.

#include <cstdint>

namespace net {

class RateFloor {
public:
    // No floor when `bytesPerSecond` or `windowSeconds` is 0.
    RateFloor(long bytesPerSecond = 0, long windowSeconds = 0) noexcept;

    // Starts the first window at `nowMs` with `bytes` already received.
    void Start(uint64_t nowMs, int64_t bytes) noexcept;

    // Whether the transfer still keeps to the floor, `bytes` received in
    // all by `nowMs`. False once a whole window has passed with less than
    // the floor's share of it; a window that kept to it starts the next.
    bool Holds(uint64_t nowMs, int64_t bytes) noexcept;

private:
    long bytesPerSecond_;
    uint64_t windowMs_;
    uint64_t windowStart_ = 0;
    int64_t bytesAtStart_ = 0;
};

}  // namespace net
