#pragma once
// The arithmetic of a download, kept apart from libcurl so it can be tested
// on its own: how many parts a size gets, where each part starts and ends,
// what Range text asks for it, and what the server's answers mean.

#include <cstdint>
#include <string>
#include <vector>

namespace net {

// Largest file the 32-bit positions can address: every byte offset and the
// position after the last byte must fit a signed 32-bit integer.
inline constexpr int64_t kMaxFileSize = 2147483647;

// Parts a file of `size` bytes is split into (1 to 10):
// up to 2 MiB one; up to 10 MiB one per whole 2 MiB; up to 50 MiB five;
// above, one per whole 10 MiB, at most ten.
int PartCountForSize(double size);

struct PartRange {
    int32_t first = 0;
    int32_t last = 0;  // 0: whole file without a range; -1: open to the end
};

// The parts of a file of `size` bytes in `count` parts. With one part (or
// without range support) a single whole-file part {0, 0}; otherwise equal
// parts of size / count bytes, the last one open-ended.
std::vector<PartRange> PlanParts(double size, int count, bool rangesSupported);

// The Range text for a part that continues at `position`: "" for a
// whole-file part that has not received anything, "position-last" for a
// bounded part, "position-" for an open one.
std::string RangeText(int32_t position, int32_t last);

// What the size probe learnt from the concatenated response headers.
struct ContentRange {
    bool present = false;
    int64_t first = 0;
    int64_t total = 0;
};
// Searches the header text for "Content-Range: <unit> first-[last]/total",
// ignoring case, anywhere in the text (a redirect's headers come first).
ContentRange FindContentRange(const std::string& headers);

// The size of the whole file behind a probe: the Content-Range total when
// the server honoured the range, otherwise the reported length (-1 unknown).
int64_t WholeFileSize(int64_t reportedLength, const ContentRange& range);

// True when a file of that size can be downloaded with 32-bit positions.
bool FitsFilePositions(int64_t wholeFileSize);

// One header line of a part's response: a status line ("HTTP/1.1 206 ...")
// gives its code; a Content-Range line its first byte.
struct ResponseHead {
    int status = 0;
    int64_t rangeFirst = -1;  // -1 when the response has no Content-Range
};
void ReadHeaderLine(const char* line, size_t length, ResponseHead& head);

// A part that asked for bytes from `requestedFirst` on may keep a response
// only when it is a 206 whose Content-Range starts exactly there; any other
// answer (a whole body, an error page) would land at the wrong offsets.
bool AnswersRange(const ResponseHead& head, int64_t requestedFirst);

// Whether a part that ended without error delivered all it asked for: a
// bounded part up to its last byte, an open part (or a whole-file transfer
// continued with a range) up to the end of the file as the probe measured
// it. A plain whole-file transfer is held to its own Content-Length by
// libcurl instead. A server that answers a range with fewer bytes would
// otherwise leave a hole in the file.
bool PartComplete(int32_t position, int32_t lastByte, int64_t wholeFileSize, bool askedRange);

// Scheme written exactly "https" (lower case): the part transfers then skip
// peer and host verification.
bool SkipsPeerVerification(const std::string& url);

}  // namespace net
