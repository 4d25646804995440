#pragma once
// Continuing a download that an earlier start left behind. The caller names
// a record file and the digests the finished file must have; the download
// then keeps its side file and the record when it ends early, and the next
// download of the same file with the same digests continues each part where
// it stopped, asking only If-Range the server still has the version the
// bytes came from. Anything that does not fit starts over from zero.

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "net/download_record.h"

namespace net {

struct ResumeSettings {
    std::wstring recordPath;  // "" : downloads are not continued
    std::string md5;          // what the finished file must be, as given
    std::string sha256;
};

// What this run of the download knows before any part starts.
struct ResumeContext {
    std::string url;
    std::string md5;
    std::string sha256;
    std::string file;  // the target's name
    int64_t size = -1;  // as the size probe measured it
    Validator validator;
    bool rangesSupported = false;
    int64_t partialFileSize = -1;  // the side file on the disk; -1 none
};

// True when the record describes this very download: same URL, digests,
// target and size, the server's validator unchanged, ranges honoured, and
// a side file that holds every byte the parts claim. Only then may the
// parts continue; the digest check at the end still decides.
bool RecordFitsDownload(const DownloadRecord& record, const ResumeContext& context);

// The record a new download of `context` starts, with `parts` as planned.
DownloadRecord NewRecord(const ResumeContext& context, const std::vector<RecordedPart>& parts);

// Bytes received between two saves of the record: small enough that an
// interruption costs a few per cent of the file, large enough that the
// flushes cost nothing measurable. A thirty-second of the file, between
// 256 KiB and 4 MiB.
int64_t RecordSaveInterval(int64_t size);

// Keeps the record of a running download up to date.
class ResumeJournal {
public:
    ResumeJournal(std::wstring path, DownloadRecord record, FILE* data);

    // Under the download's lock: part `index` now continues at `position`.
    // When enough has arrived since the last save, the record as it stands
    // now: the caller hands it to SaveDue once it has let go of the lock.
    std::optional<DownloadRecord> Advance(size_t index, int32_t position, size_t written);

    // Outside the download's lock, so that the other parts write on while
    // the disk catches up: saves `due`, a record Advance returned. While
    // another part's save runs this one is left out; the next one, or the
    // last, catches up.
    void SaveDue(const DownloadRecord& due);

    // With no part running: saves the record as it stands.
    bool Save();

private:
    // Flushes the side file to the disk, then replaces the record, so the
    // record never claims a byte the disk may not hold.
    bool SaveRecord(const DownloadRecord& record);

    std::wstring path_;
    DownloadRecord record_;  // under the download's lock
    FILE* data_;
    int64_t interval_;
    int64_t sinceSave_ = 0;  // under the download's lock
    std::atomic<bool> saving_{false};
};

}  // namespace net
