#pragma once
// One part of a download, owned by the thread or call that performs it.

#include <cstdint>
#include <cstdio>

#include "net/download_plan.h"

class DownloadHelper;

struct DownloadChunk {
    FILE* file = nullptr;     // the one side file, shared by all parts
    int32_t position = 0;     // where the next received byte goes
    int32_t lastByte = 0;     // 0: whole file without a range; -1: to the end
    DownloadHelper* download = nullptr;

    // The byte the current request asked to start at, or -1 when it asked
    // for the whole file; the response must then start exactly there.
    int64_t requestedFirst = -1;
    net::ResponseHead head;   // status and Content-Range of the response
    bool refused = false;     // the response was not the range we asked for
};

// The write sink: puts received bytes at the part's position, never outside
// its range and never past what 32-bit positions address, and refuses a
// response that is not the range the part asked for. Returns the bytes
// accepted; fewer than offered ends the part with a write error.
size_t WriteChunkData(DownloadChunk& chunk, const char* data, size_t length);

// Performs one part on a fresh transfer handle, repeating it after a
// time-out, and records its outcome in the download.
void PerformPartTransfer(DownloadChunk& chunk);
