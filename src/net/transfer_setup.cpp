#include "net/transfer_setup.h"

#include <windows.h>

#include "net/curl_session.h"

namespace net {

void ApplyTransferSettings(CURL* handle, const TransferSettings& settings) {
    curl_easy_setopt(handle, CURLOPT_SHARE, SharedDnsCache());
    curl_easy_setopt(handle, CURLOPT_DNS_CACHE_TIMEOUT, 300L);
    curl_easy_setopt(handle, CURLOPT_URL, settings.url.c_str());
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(handle, CURLOPT_TIMEOUT, static_cast<long>(settings.timeoutSeconds));
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, kStallBytesPerSecond);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
}

int64_t PerformTimeoutMs(const TransferSettings& settings, uint64_t now) {
    int64_t timeout = settings.timeoutSeconds > 0 ? int64_t{settings.timeoutSeconds} * 1000 : 0;
    const uint64_t deadline = settings.limits.deadline;
    if (deadline == 0) return timeout;
    if (now >= deadline) return -1;
    const int64_t left = static_cast<int64_t>(deadline - now);
    return (timeout == 0 || left < timeout) ? left : timeout;
}

CURLcode PerformWithRetries(CURL* handle, const TransferSettings& settings, const std::function<bool()>& beforeRepeat) {
    CURLcode result = CURLE_OPERATION_TIMEDOUT;
    for (int attempt = 0; attempt <= settings.retryCount; ++attempt) {
        if (attempt > 0 && (result != CURLE_OPERATION_TIMEDOUT || (beforeRepeat && !beforeRepeat()))) break;
        const int64_t timeout = PerformTimeoutMs(settings, ::GetTickCount64());
        if (timeout < 0) return CURLE_OPERATION_TIMEDOUT;  // the deadline has passed: nothing more is started
        curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(timeout));
        result = curl_easy_perform(handle);
    }
    return result;
}

}  // namespace net
