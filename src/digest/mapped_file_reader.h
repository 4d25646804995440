#pragma once
// Hands a file's bytes to a consumer through read-only mappings of bounded
// windows, so files of any size (beyond 4 GiB too) can be digested without
// their whole length in the address space of a 32-bit process.

#include <cstddef>
#include <functional>
#include <string>

// Calls `consume` for every window in file order. False when the file
// cannot be opened or mapped, when any window cannot be mapped (the
// consumer has then seen only part of the file) and for an empty file,
// which cannot be mapped. The file is shared for reading only while this
// runs; no handle stays open afterwards.
bool ReadMappedFile(const std::wstring& path, const std::function<void(const void* data, std::size_t size)>& consume);
