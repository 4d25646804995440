#include "net/transfer_setup.h"

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

CURLcode PerformWithRetries(CURL* handle, int retryCount, const std::function<bool()>& beforeRepeat) {
    CURLcode result = curl_easy_perform(handle);
    for (int retry = 0; result == CURLE_OPERATION_TIMEDOUT && retry < retryCount; ++retry) {
        if (beforeRepeat && !beforeRepeat()) break;
        result = curl_easy_perform(handle);
    }
    return result;
}

}  // namespace net
