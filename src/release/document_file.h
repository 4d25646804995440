#pragma once
// Reading a document whole, handing the launcher's parser a copy of it, and
// replacing it so that an interrupted run leaves either the old or the new
// document, never a mixture.

#include <cstdint>
#include <string>

#include "update/update_check_pace.h"
#include "update/update_matcher.h"

namespace release {

// The launcher refuses documents larger than this.
inline constexpr uint64_t kLauncherDocumentLimit = kMaxDocumentBytes;

enum class ReadOutcome { kRead, kMissing, kTooLarge, kFailed };
struct FileRead {
    ReadOutcome outcome = ReadOutcome::kFailed;
    std::string bytes;
    std::string error;  // why it failed, for the user
};
// Reads the whole file when it is at most `limit` bytes; anything short of
// every byte counts as a failure.
FileRead ReadWholeFile(const std::wstring& path, uint64_t limit);

// ParseUpdateConfig on `bytes` (as read once from the document) written to
// a temporary file, which it deletes. False when the file cannot be made
// (`copyError` says why) or the launcher refuses the bytes.
bool ParseBytesAsLauncher(const std::string& bytes, UpdateInfoList& rules, std::string& copyError);

// Writes `bytes` to a new file beside `path` and renames it over `path`.
// On failure `path` is untouched and the new file is gone.
bool ReplaceDocument(const std::wstring& path, const std::string& bytes, std::string& error);

// The system's text for the last error, for messages.
std::string LastErrorText(unsigned long code);

}  // namespace release

namespace release {

// ParseUpdateConfig on `bytes` written to a temporary file.
bool ParseBytesAsLauncher(const std::string& bytes, UpdateInfoList& rules);

}  // namespace release
