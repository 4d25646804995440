#pragma once
// The digests a downloaded package is checked against, computed in one
// pass over the file: MD5 always, SHA-256 when the package has one.

#include <string>

enum class DigestSet { kMd5, kMd5AndSha256 };

struct FileDigests {
    std::string md5;     // 32 lower-case hex digits, "" when none
    std::string sha256;  // 64 lower-case hex digits, "" when none or not asked for
};

// Fails as GetFileMD5 does (missing, unreadable, locked or empty file):
// both digests are then "".
FileDigests GetFileDigests(const std::wstring& path, DigestSet set);

// `path` in the thread's ANSI code page.
FileDigests GetFileDigests(const std::string& path, DigestSet set);

// A zero-terminated path shorter than MAX_PATH; a longer one gives none.
FileDigests GetFileDigests(const wchar_t* path, DigestSet set);
