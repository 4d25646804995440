#pragma once
// The bounds a caller sets on a download, apart from libcurl's headers so
// that code which only passes them on need not see those.

#include <cstdint>

namespace net {

// What a caller may bound a download by beyond the stall rule: a server
// that trickles a few bytes a second never stalls, and one that sends more
// than it announced never stops by itself.
struct TransferLimits {
    // Most bytes the file may have: a larger announced size is refused
    // before anything is created. -1: no limit beyond the announced size,
    // which no download is ever written past.
    int64_t maxBytes = -1;
    // GetTickCount64() value after which no transfer runs on and none is
    // started or repeated; 0: none.
    uint64_t deadline = 0;
    // The floor rate (net/rate_floor.h): a part transfer that receives
    // under `floorBytesPerSecond` on average over a window of
    // `floorWindowSeconds` is ended for good, not repeated. 0: none.
    long floorBytesPerSecond = 0;
    long floorWindowSeconds = 0;
};

}  // namespace net
