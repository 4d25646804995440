// One part of a download: its own transfer options, the sinks that put the
// received bytes at the part's own offsets, and where a repeat after a
// time-out continues.
#include <curl/curl.h>

#include <windows.h>

#include <io.h>

#include <cstdio>
#include <optional>

#include "net/curl_session.h"
#include "net/download_chunk.h"
#include "net/download_resume.h"
#include "net/polite_download.h"

namespace {

// Under Wine every socket read and every file write costs a round trip to
// the wine server; large reads keep that cost a small share of the CPU time.
// Each part holds one such buffer for the whole download. Measured with
// bench/download and bench/report on 64-bit Wine: 256 KiB costs no more CPU
// and no less throughput than 512 KiB and holds 1.25 MiB less over five
// parts; at 128 KiB and below the download's CPU time rises, at 16 KiB
// (curl's default) the unthrottled rate falls to a third.
constexpr long kReceiveBuffer = 256 * 1024;

constexpr const char* kUserAgent = "Mozilla/5.0 (Windows NT 5.1; rv:5.0) Gecko/20100101 Firefox/5.0";

bool Cancelled(const SharedParts& parts) { return parts.cancel && *parts.cancel; }

size_t ReadPartHeader(char* data, size_t size, size_t count, void* userData) {
    auto* chunk = static_cast<DownloadChunk*>(userData);
    net::ReadHeaderLine(data, size * count, chunk->head);
    return size * count;
}

size_t WriteSink(char* data, size_t size, size_t count, void* userData) {
    auto& chunk = *static_cast<DownloadChunk*>(userData);
    // Polite mode reads no faster than its rate: the server then sends no
    // faster either. A cancelled download does not wait for its turn.
    if (chunk.parts->polite && !Cancelled(*chunk.parts)) chunk.parts->polite->Pace(size * count);
    return WriteChunkData(chunk, data, size * count);
}

// Polite mode: a small receive buffer, so that the server cannot fill the
// line's queue in bursts while the bytes are read slowly.
int SetPoliteSocketOptions(void*, curl_socket_t socket, curlsocktype purpose) {
    if (purpose == CURLSOCKTYPE_IPCXN) {
        const int size = net::kPoliteReceiveBuffer;
        ::setsockopt(socket, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&size), sizeof size);
    }
    return CURL_SOCKOPT_OK;
}

int ProgressSink(void* userData, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    DownloadChunk& chunk = *static_cast<DownloadChunk*>(userData);
    SharedParts& parts = *chunk.parts;
    // A stalled part writes nothing, so cancelling must also stop it here.
    if (Cancelled(parts)) return 1;
    // The position moves only in this part's own write sink, on this thread.
    if (!chunk.floor.Holds(::GetTickCount64(), chunk.position)) {
        chunk.tooSlow = true;
        return 1;
    }
    HttpLockGuard guard(parts.lock);
    return parts.progress ? parts.progress(parts.totalSize, parts.downloaded) : 0;
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
    SharedParts& parts = *chunk.parts;
    if (chunk.lastByte > 0 && chunk.position > chunk.lastByte) return false;
    if (chunk.lastByte == 0 && !parts.rangesSupported && chunk.position > 0) {
        // The only part of its file: nothing else writes while it starts over.
        HttpLockGuard guard(parts.lock);
        parts.downloaded -= chunk.position;
        chunk.position = 0;
        _chsize(_fileno(parts.file), 0);
    }
    return true;
}

// Writes what fits of the bytes at the part's position; called under the
// download's lock.
size_t PlaceBytes(DownloadChunk& chunk, const char* data, size_t length) {
    SharedParts& parts = *chunk.parts;
    int64_t n = static_cast<int64_t>(length);
    if (chunk.lastByte > 0) {
        if (chunk.position > chunk.lastByte) return 0;
        int64_t room = static_cast<int64_t>(chunk.lastByte) - chunk.position + 1;
        if (n > room) n = room;
    } else if (static_cast<int64_t>(chunk.position) + n > net::kMaxFileSize) {
        return 0;  // beyond what the 32-bit positions can address: never wrap
    }
    // Nothing is written past the size the probe announced (or the caller's
    // limit): a server that keeps sending is cut off at the first buffer
    // that would pass it, instead of filling the disk.
    if (parts.byteLimit >= 0) {
        const int64_t room = parts.byteLimit - chunk.position;
        if (room <= 0) return 0;
        if (n > room) n = room;
    }
    if (std::fseek(parts.file, chunk.position, SEEK_SET) != 0) {
        std::perror("fseek");
        return 0;
    }
    size_t written = std::fwrite(data, 1, static_cast<size_t>(n), parts.file);
    parts.downloaded += static_cast<double>(written);
    chunk.position += static_cast<int32_t>(written);
    return written;
}

}  // namespace

size_t WriteChunkData(DownloadChunk& chunk, const char* data, size_t length) {
    SharedParts& parts = *chunk.parts;
    if (Cancelled(parts)) return 0;
    // A part that asked for a range keeps only the range it asked for: a
    // whole body or an error page written at this offset would corrupt the
    // file even if the transfer itself succeeded.
    if (chunk.requestedFirst >= 0 && !net::AnswersRange(chunk.head, chunk.requestedFirst)) {
        chunk.refused = true;
        return 0;
    }
    size_t written = 0;
    std::optional<net::DownloadRecord> due;
    {
        HttpLockGuard guard(parts.lock);
        written = PlaceBytes(chunk, data, length);
        if (written > 0 && parts.journal) due = parts.journal->Advance(chunk.index, chunk.position, written);
    }
    // The record is saved after the lock is let go: the other parts write
    // on while this one waits for the disk.
    if (due) parts.journal->SaveDue(*due);
    return written;
}

PartOutcome PerformPartTransfer(DownloadChunk& chunk) {
    const SharedParts& parts = *chunk.parts;
    PartOutcome outcome;
    net::CurlEasy handle(curl_easy_init());
    if (!handle) {
        outcome.errorText = curl_easy_strerror(CURLE_OUT_OF_MEMORY);
        return outcome;
    }
    CURL* h = handle.get();
    net::ApplyTransferSettings(h, parts.transfer);
    if (net::SkipsPeerVerification(parts.transfer.url)) {
        curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 0L);
        curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 0L);
    }
    curl_easy_setopt(h, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(h, CURLOPT_POST, 0L);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &WriteSink);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &chunk);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &ReadPartHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &chunk);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &ProgressSink);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &chunk);
    curl_easy_setopt(h, CURLOPT_BUFFERSIZE, parts.polite ? net::kPoliteReadBuffer : kReceiveBuffer);
    if (parts.polite) curl_easy_setopt(h, CURLOPT_SOCKOPTFUNCTION, &SetPoliteSocketOptions);
    net::CurlList headers;
    if (!parts.ifRange.empty()) {
        headers.reset(curl_slist_append(nullptr, ("If-Range: " + parts.ifRange).c_str()));
        if (!headers) {
            outcome.errorText = curl_easy_strerror(CURLE_OUT_OF_MEMORY);
            return outcome;
        }
        curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    }
    AimRequest(h, chunk);
    chunk.floor = net::RateFloor(parts.transfer.limits.floorBytesPerSecond, parts.transfer.limits.floorWindowSeconds);
    chunk.floor.Start(::GetTickCount64(), chunk.position);

    CURLcode result = net::PerformWithRetries(h, parts.transfer, [h, &chunk] {
        if (!PrepareRepeat(chunk)) return false;
        AimRequest(h, chunk);
        return true;
    });
    if (parts.polite) parts.polite->PartEnded();
    long code = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &code);
    outcome.responseCode = static_cast<int32_t>(code);

    bool succeeded = result == CURLE_OK && code >= 200 && code <= 300;
    // An empty answer never reaches the write sink, so the range is checked
    // here as well.
    if (chunk.requestedFirst >= 0 && !net::AnswersRange(chunk.head, chunk.requestedFirst)) {
        chunk.refused = true;
        succeeded = false;
    }
    outcome.refused = chunk.refused;
    if (!succeeded) {
        outcome.errorText = chunk.refused   ? "the server did not answer with the byte range asked for"
                            : chunk.tooSlow ? "the server sent more slowly than the floor rate"
                                            : curl_easy_strerror(result);
        return outcome;
    }
    if (!net::PartComplete(chunk.position, chunk.lastByte, parts.wholeFileSize, chunk.requestedFirst >= 0)) {
        outcome.errorText = "the server sent fewer bytes than the part asked for";
        return outcome;
    }
    outcome.succeeded = true;
    return outcome;
}
