#pragma once
// One part of a download and what all parts of that download share while
// they run. The download hands these in and collects each part's outcome;
// a part knows nothing of the download beyond them.

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "net/download_plan.h"
#include "net/http_lock.h"
#include "net/rate_floor.h"
#include "net/transfer_setup.h"

namespace net {
class PoliteDownload;
class ResumeJournal;
}

// Owned by the download for the length of one run; every part holds a
// pointer to it.
struct SharedParts {
    net::TransferSettings transfer;
    bool rangesSupported = false;
    int64_t wholeFileSize = -1;  // as the size probe measured it
    // No byte is written at or past this offset: the announced size, or
    // the caller's limit when that is smaller; -1 when neither is known.
    int64_t byteLimit = -1;
    double totalSize = 0;        // what the progress reports as the total
    FILE* file = nullptr;        // the one side file
    SharedHttpLock lock;         // serialises writes, the counter and progress
    const std::atomic<bool>* cancel = nullptr;  // stop writing when set
    // (total, downloaded) -> non-zero aborts the part; called under `lock`.
    std::function<int(double, double)> progress;
    double downloaded = 0;  // bytes written by all parts, under `lock`
    // Paces every part's received bytes in polite mode; null otherwise.
    net::PoliteDownload* polite = nullptr;
    // Keeps the record of a download that may be continued later; null
    // otherwise. Told of every write, under `lock`.
    net::ResumeJournal* journal = nullptr;
    // Sent as If-Range with every range request: the server sends the whole
    // file instead of the range when it no longer has the version the
    // other bytes came from, and the part refuses it. "" none.
    std::string ifRange;
};

// One part, owned by the thread or call that performs it.
struct DownloadChunk {
    SharedParts* parts = nullptr;
    size_t index = 0;      // the part's place in the plan
    int32_t position = 0;  // where the next received byte goes
    int32_t lastByte = 0;  // 0: whole file without a range; -1: to the end

    // The byte the current request asked to start at, or -1 when it asked
    // for the whole file; the response must then start exactly there.
    int64_t requestedFirst = -1;
    net::ResponseHead head;  // status and Content-Range of the response
    bool refused = false;    // the response was not the range we asked for
    net::RateFloor floor;    // the slowest the part may go (TransferLimits)
    bool tooSlow = false;    // ended by the floor
};

struct PartOutcome {
    bool succeeded = false;
    bool refused = false;  // the answer was not the range asked for
    int32_t responseCode = 0;
    std::string errorText;  // why it failed; empty on success
};

// The write sink: puts received bytes at the part's position, never outside
// its range and never past what 32-bit positions address, and refuses a
// response that is not the range the part asked for. Returns the bytes
// accepted; fewer than offered ends the part with a write error.
size_t WriteChunkData(DownloadChunk& chunk, const char* data, size_t length);

// Performs one part on a fresh transfer handle, repeating it after a
// time-out from where its bytes stopped.
PartOutcome PerformPartTransfer(DownloadChunk& chunk);
