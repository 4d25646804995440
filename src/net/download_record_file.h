#pragma once
// The download record on the disk. Saved so that a power cut at any moment
// leaves either the previous record or the new one: the new text goes to a
// file of its own, is flushed, and then replaces the old record in one
// rename.

#include <optional>
#include <string>

#include "net/download_record.h"

namespace net {

// False when the record could not be written (the previous one, if any,
// stays as it was).
bool SaveDownloadRecord(const std::wstring& path, const DownloadRecord& record);

// The record at `path`; nullopt when there is none, or it is not a plain
// file (a link), is larger than any record, or does not parse.
std::optional<DownloadRecord> LoadDownloadRecord(const std::wstring& path);

// Removes the record and the new record a save may have left half-written.
void RemoveDownloadRecord(const std::wstring& path);

}  // namespace net
