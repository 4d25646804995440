// The header-only request that measures a file and tells whether the server
// honours byte ranges before any data is fetched.
#include <curl/curl.h>

#include "net/curl_session.h"
#include "net/download_helper.h"
#include "net/download_plan.h"

namespace {

// More header text than any real server sends before a file; a server that
// keeps sending headers is cut off instead of filling the memory.
constexpr size_t kMaxHeaderText = 256 * 1024;

size_t AppendHeader(char* data, size_t size, size_t count, void* userData) {
    auto* text = static_cast<std::string*>(userData);
    if (text->size() + size * count > kMaxHeaderText) return 0;  // libcurl ends the probe with an error
    text->append(data, size * count);
    return size * count;
}

size_t DiscardBody(char*, size_t size, size_t count, void*) { return size * count; }

}  // namespace

double ProbeFileSize(DownloadHelper& download) {
    if (download.url.empty()) return -1;
    net::CurlEasy handle(curl_easy_init());
    if (!handle) return -1;
    CURL* h = handle.get();
    std::string headers;
    curl_easy_setopt(h, CURLOPT_SHARE, net::SharedDnsCache());
    curl_easy_setopt(h, CURLOPT_DNS_CACHE_TIMEOUT, 300L);
    curl_easy_setopt(h, CURLOPT_URL, download.url.c_str());
    curl_easy_setopt(h, CURLOPT_HEADER, 1L);
    curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &AppendHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &headers);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &DiscardBody);
    curl_easy_setopt(h, CURLOPT_RANGE, "2-");  // a partial answer proves range support

    CURLcode result = curl_easy_perform(h);
    for (int retry = 0; result == CURLE_OPERATION_TIMEDOUT && retry < download.retryCount; ++retry) {
        headers.clear();
        result = curl_easy_perform(h);
    }
    long code = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &code);

    HttpLockGuard guard(download.lock);
    download.responseCode = static_cast<int32_t>(code);
    download.headerText = headers;
    if (result != CURLE_OK) {
        download.errorText = curl_easy_strerror(result);
        return -1;
    }
    curl_off_t length = -1;
    curl_easy_getinfo(h, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    net::ContentRange range = net::FindContentRange(headers);
    download.rangesSupported = range.present;
    if (length < 0) {
        download.errorText = "the server sent no Content-Length";
        return -1;
    }
    // The positions in the file are 32-bit: a file they cannot address is
    // refused here, before any file is created, instead of wrapping.
    download.wholeFileSize = net::WholeFileSize(length, range);
    if (!net::FitsFilePositions(download.wholeFileSize)) {
        download.errorText = "file too large: 2 GiB or more";
        return -1;
    }
    return static_cast<double>(length);
}
