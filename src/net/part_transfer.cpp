// One part of a download: its transfer options, the sinks that put the
// received bytes at the part's own offsets, and the repeat after a time-out.
#include <curl/curl.h>

#include <io.h>

#include <cstdio>

#include "net/curl_session.h"
#include "net/download_chunk.h"
#include "net/download_helper.h"

namespace {

// Under Wine every socket read and every file write costs a round trip to
// the wine server; large reads keep that cost a small share of the CPU time.
constexpr long kReceiveBuffer = 512 * 1024;

constexpr const char* kUserAgent = "Mozilla/5.0 (Windows NT 5.1; rv:5.0) Gecko/20100101 Firefox/5.0";

size_t ReadPartHeader(char* data, size_t size, size_t count, void* userData) {
    auto* chunk = static_cast<DownloadChunk*>(userData);
    net::ReadHeaderLine(data, size * count, chunk->head);
    return size * count;
}

size_t WriteSink(char* data, size_t size, size_t count, void* userData) {
    return WriteChunkData(*static_cast<DownloadChunk*>(userData), data, size * count);
}

int ProgressSink(void* userData, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* chunk = static_cast<DownloadChunk*>(userData);
    DownloadHelper& download = *chunk->download;
    // A stalled part writes nothing, so cancelling must also stop it here.
    if (download.cancel) return 1;
    HttpLockGuard guard(download.lock);
    if (!download.progressCallback) return 0;
    return download.progressCallback(download.totalSize, download.downloaded, download.userData);
}

// Sets the Range of the next request from where the part stands now.
void AimRequest(CURL* h, DownloadChunk& chunk) {
    std::string range = net::RangeText(chunk.position, chunk.lastByte);
    chunk.requestedFirst = range.empty() ? -1 : chunk.position;
    chunk.head = net::ResponseHead{};
    curl_easy_setopt(h, CURLOPT_RANGE, range.empty() ? nullptr : range.c_str());
}

// After a time-out the part continues where its bytes stopped, so that each
// byte lands once at its own offset. A whole-file transfer from a server
// without ranges can only start over from the first byte.
bool PrepareRepeat(DownloadChunk& chunk) {
    DownloadHelper& download = *chunk.download;
    if (chunk.lastByte > 0 && chunk.position > chunk.lastByte) return false;
    if (chunk.lastByte == 0 && !download.rangesSupported && chunk.position > 0) {
        // The only part of its file: nothing else writes while it starts over.
        HttpLockGuard guard(download.lock);
        download.downloaded -= chunk.position;
        chunk.position = 0;
        _chsize(_fileno(chunk.file), 0);
    }
    return true;
}

}  // namespace

size_t WriteChunkData(DownloadChunk& chunk, const char* data, size_t length) {
    DownloadHelper& download = *chunk.download;
    if (download.cancel) return 0;
    // A part that asked for a range keeps only the range it asked for: a
    // whole body or an error page written at this offset would corrupt the
    // file even if the transfer itself succeeded.
    if (chunk.requestedFirst >= 0 && !net::AnswersRange(chunk.head, chunk.requestedFirst)) {
        chunk.refused = true;
        return 0;
    }
    HttpLockGuard guard(download.lock);
    int64_t n = static_cast<int64_t>(length);
    if (chunk.lastByte > 0) {
        if (chunk.position > chunk.lastByte) return 0;
        int64_t room = static_cast<int64_t>(chunk.lastByte) - chunk.position + 1;
        if (n > room) n = room;
    } else if (static_cast<int64_t>(chunk.position) + n > net::kMaxFileSize) {
        return 0;  // beyond what the 32-bit positions can address: never wrap
    }
    if (std::fseek(chunk.file, chunk.position, SEEK_SET) != 0) {
        std::perror("fseek");
        return 0;
    }
    size_t written = std::fwrite(data, 1, static_cast<size_t>(n), chunk.file);
    download.downloaded += static_cast<double>(written);
    chunk.position += static_cast<int32_t>(written);
    return written;
}

void PerformPartTransfer(DownloadChunk& chunk) {
    DownloadHelper& download = *chunk.download;
    net::CurlEasy handle(curl_easy_init());
    if (!handle) {
        download.RecordPartOutcome(false, 0, curl_easy_strerror(CURLE_OUT_OF_MEMORY));
        return;
    }
    CURL* h = handle.get();
    curl_easy_setopt(h, CURLOPT_SHARE, net::SharedDnsCache());
    curl_easy_setopt(h, CURLOPT_DNS_CACHE_TIMEOUT, 300L);
    if (net::SkipsPeerVerification(download.url)) {
        curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 0L);
        curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 0L);
    }
    curl_easy_setopt(h, CURLOPT_URL, download.url.c_str());
    curl_easy_setopt(h, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_POST, 0L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, 0L);
    curl_easy_setopt(h, CURLOPT_TIMEOUT, static_cast<long>(download.timeoutSeconds));
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &WriteSink);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &chunk);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &ReadPartHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &chunk);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &ProgressSink);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &chunk);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, 5L);
    curl_easy_setopt(h, CURLOPT_BUFFERSIZE, kReceiveBuffer);
    AimRequest(h, chunk);

    CURLcode result = curl_easy_perform(h);
    for (int retry = 0; result == CURLE_OPERATION_TIMEDOUT && retry < download.retryCount; ++retry) {
        if (!PrepareRepeat(chunk)) break;
        AimRequest(h, chunk);
        result = curl_easy_perform(h);
    }
    long code = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &code);

    bool succeeded = result == CURLE_OK && code >= 200 && code <= 300;
    // An empty answer never reaches the write sink, so the range is checked
    // here as well.
    if (chunk.requestedFirst >= 0 && !net::AnswersRange(chunk.head, chunk.requestedFirst)) {
        chunk.refused = true;
        succeeded = false;
    }
    std::string error;
    if (!succeeded) {
        error = chunk.refused ? "the server did not answer with the byte range asked for" : curl_easy_strerror(result);
    } else if (!net::PartComplete(chunk.position, chunk.lastByte, download.wholeFileSize, chunk.requestedFirst >= 0)) {
        succeeded = false;
        error = "the server sent fewer bytes than the part asked for";
    }
    download.RecordPartOutcome(succeeded, static_cast<int32_t>(code), error);
}
