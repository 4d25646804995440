#include "net/size_probe.h"

#include "net/curl_session.h"
#include "net/download_plan.h"

namespace net {
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

ProbeResult ProbeFileSize(const TransferSettings& settings) {
    ProbeResult probe;
    if (settings.url.empty()) return probe;
    CurlEasy handle(curl_easy_init());
    if (!handle) {
        probe.errorText = curl_easy_strerror(CURLE_OUT_OF_MEMORY);
        return probe;
    }
    CURL* h = handle.get();
    ApplyTransferSettings(h, settings);
    curl_easy_setopt(h, CURLOPT_HEADER, 1L);
    curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &AppendHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &probe.headerText);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &DiscardBody);
    curl_easy_setopt(h, CURLOPT_RANGE, "2-");  // a partial answer proves range support

    CURLcode result = PerformWithRetries(h, settings, [&probe] {
        probe.headerText.clear();
        return true;
    });
    long code = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &code);
    probe.responseCode = static_cast<int32_t>(code);
    if (result != CURLE_OK) {
        probe.errorText = curl_easy_strerror(result);
        return probe;
    }
    curl_off_t length = -1;
    curl_easy_getinfo(h, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    ContentRange range = FindContentRange(probe.headerText);
    probe.rangesSupported = range.present;
    if (length < 0) {
        probe.errorText = "the server sent no Content-Length";
        return probe;
    }
    // The positions in the file are 32-bit: a file they cannot address is
    // refused here, before any file is created, instead of wrapping.
    probe.wholeFileSize = WholeFileSize(length, range);
    if (!FitsFilePositions(probe.wholeFileSize)) {
        probe.errorText = "file too large: 2 GiB or more";
        return probe;
    }
    if (settings.limits.maxBytes >= 0 && probe.wholeFileSize > settings.limits.maxBytes) {
        probe.errorText = "file larger than this download may be";
        return probe;
    }
    probe.length = length;
    return probe;
}

}  // namespace net
