#pragma once
// The one curl set-up every transfer of a download shares: the shared DNS
// cache, redirects, the connect time-out and the stall rule, and the repeat
// after a time-out. The size probe and the part transfers add only the
// options that are their own.

#include <curl/curl.h>

#include <cstdint>
#include <functional>
#include <string>

#include "net/transfer_limits.h"

namespace net {

// A transfer that receives under one byte a second for five seconds has
// stalled and ends with a time-out. The rule holds from the moment the
// request is sent, so a server that accepts and never answers, or stops
// after its status line, stalls as well; a transfer that keeps receiving
// may take as long as it needs.
inline constexpr long kStallBytesPerSecond = 1;
inline constexpr long kStallSeconds = 5;

// What every transfer of one download is performed with.
struct TransferSettings {
    std::string url;
    int retryCount = 3;      // repeats after a time-out (connect, stall or whole transfer)
    int timeoutSeconds = 0;  // limit of one whole transfer; 0: none
    TransferLimits limits;
};

// libcurl's own connect time-out is five minutes: a server whose SYNs are
// dropped would hold the update check that long at every attempt.
inline constexpr long kConnectTimeoutSeconds = 10;

// Attaches the handle to the process's DNS cache and sets the URL, the
// redirect rule and the time-outs above.
void ApplyTransferSettings(CURL* handle, const TransferSettings& settings);

// Milliseconds one perform may take from `now` (a GetTickCount64 value):
// the settings' own time-out, cut to what is left before the deadline;
// 0 when neither limits it, -1 when the deadline has passed.
int64_t PerformTimeoutMs(const TransferSettings& settings, uint64_t now);

// Performs the transfer; while it ends with a time-out, performs it again,
// at most `retryCount` more times. `beforeRepeat` runs before each repeat
// and may refuse it (return false); the last result is returned. Nothing
// is performed once the deadline has passed (a time-out then).
CURLcode PerformWithRetries(CURL* handle, const TransferSettings& settings, const std::function<bool()>& beforeRepeat);

}  // namespace net
