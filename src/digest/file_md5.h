#pragma once
// The MD5 digest of a file on disk as 32 lower-case hexadecimal digits.
//
// The file is read through read-only mappings of bounded windows, so files
// of any size (beyond 4 GiB too) get their true digest without needing
// their whole length in the address space of a 32-bit process.
//
// Every failure gives "": a missing or unreadable file, a file another
// process holds open without read sharing, and an empty file (a zero-length
// file cannot be mapped, so callers never see the digest of empty input).
// While the digest runs the file is shared for reading only; no handle is
// left open when the call returns.

#include <string>

std::string GetFileMD5(const std::wstring& path);

// `path` in the thread's ANSI code page.
std::string GetFileMD5(const std::string& path);

// A zero-terminated path shorter than MAX_PATH; a longer one gives "".
std::string GetFileMD5(const wchar_t* path);
