#pragma once
// The record of a download that may be continued by a later start: what was
// fetched (URL, size, the server's validator, the digests the file must
// have), into which file, and how far each part got. Text, one "key value"
// per line, so that a damaged record is refused line by line instead of
// being half understood. Kept apart from the disk so it can be tested on
// its own.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "net/http_validator.h"

namespace net {

// One part as the plan laid it out and how far it got: `last` 0 for the
// single whole-file part, -1 for the open last part of several.
struct RecordedPart {
    int32_t first = 0;
    int32_t last = 0;
    int32_t position = 0;  // the next byte the part needs
};

struct DownloadRecord {
    std::string url;
    int64_t size = 0;  // the whole file
    Validator validator;
    std::string md5;     // as the caller gave them; "" none
    std::string sha256;
    std::string file;    // the name of the target the partial file belongs to
    std::vector<RecordedPart> parts;
};

// Larger than any record ten parts make; a bigger file is not a record.
inline constexpr size_t kMaxRecordBytes = 8 * 1024;
inline constexpr size_t kMaxRecordedParts = 10;

// The record as text; "" when it cannot be written as one (a value with a
// line break or NUL in it, or parts that are not consistent).
std::string FormatDownloadRecord(const DownloadRecord& record);

// The record the text holds; nullopt for anything else: another format or
// version, a missing, repeated, unknown or malformed line, a number out of
// range, parts that are not consistent, a validator that is empty.
std::optional<DownloadRecord> ParseDownloadRecord(const std::string& text);

// Whether the parts describe one download of `size` bytes: one whole-file
// part, or parts that follow each other from byte 0 with the last one
// open; every position within its own part. Size 1 byte to the 32-bit
// limit; 1 to kMaxRecordedParts parts.
bool PartsAreConsistent(const std::vector<RecordedPart>& parts, int64_t size);

// Bytes the parts already hold.
int64_t BytesDone(const std::vector<RecordedPart>& parts);

// True when the part has everything it asked for.
bool PartDone(const RecordedPart& part, int64_t size);

}  // namespace net
