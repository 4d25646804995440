#pragma once
// How much the update check may fetch and for how long. The launcher runs
// with administrator rights and stays resident while the check runs: a
// server that trickles a few bytes a second (never slow enough for the
// downloader's stall rule) or sends without end must not keep it there.

#include <cstdint>

#include "net/transfer_limits.h"

// The document is read whole into memory; minisign's comments are at most
// about 1 KiB each.
inline constexpr int64_t kMaxDocumentBytes = 16 * 1024 * 1024;
inline constexpr int64_t kMaxSignatureBytes = 16 * 1024;

struct UpdateCheckPace {
    uint64_t documentPhaseMs;  // the document and its signature, from the start
    uint64_t wholeCheckMs;     // everything, the package included, from the start
    long floorBytesPerSecond;  // every transfer, averaged over the window
    long floorWindowSeconds;
};

// Two minutes fetch a document of a few dozen KiB and its signature on any
// line that can fetch an installer at all; thirty minutes fetch a 100 MiB
// installer at 60 KB/s. 512 bytes a second over 30 seconds is far below
// any usable line (five parts of a 40 kbit/s line get 1 KB/s each) and far
// above a trickle. A trickling document server is cut off within two
// minutes; nothing keeps the launcher longer than thirty.
inline constexpr UpdateCheckPace kUpdateCheckPace{2 * 60 * 1000, 30 * 60 * 1000, 512, 30};

// The limits of the check's transfers for a check that started at `start`
// (a GetTickCount64 value).
struct UpdateCheckLimits {
    net::TransferLimits document;
    net::TransferLimits signature;
    net::TransferLimits package;
};
UpdateCheckLimits LimitsForCheck(const UpdateCheckPace& pace, uint64_t start);
