#include "net/rate_floor.h"

namespace net {

RateFloor::RateFloor(long bytesPerSecond, long windowSeconds) noexcept
    : bytesPerSecond_(bytesPerSecond > 0 && windowSeconds > 0 ? bytesPerSecond : 0),
      windowMs_(windowSeconds > 0 ? static_cast<uint64_t>(windowSeconds) * 1000 : 0) {}

void RateFloor::Start(uint64_t nowMs, int64_t bytes) noexcept {
    windowStart_ = nowMs;
    bytesAtStart_ = bytes;
}

bool RateFloor::Holds(uint64_t nowMs, int64_t bytes) noexcept {
    if (bytesPerSecond_ == 0 || nowMs < windowStart_) return true;
    const uint64_t elapsed = nowMs - windowStart_;
    if (elapsed < windowMs_) return true;
    // Bytes a second over the window, compared without division: received
    // * 1000 against the floor times the milliseconds that passed.
    const int64_t received = bytes - bytesAtStart_;
    if (received < 0 || static_cast<uint64_t>(received) * 1000 < static_cast<uint64_t>(bytesPerSecond_) * elapsed) {
        return false;
    }
    Start(nowMs, bytes);
    return true;
}

}  // namespace net
