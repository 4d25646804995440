#include "digest/file_md5.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>

#include "digest/md5.h"
#include "util/unique_handle.h"
#include "util/util.h"

namespace {

// A 32-bit process seldom has one free gap of more than a few hundred MiB,
// so the file is mapped one bounded window at a time. The size is a
// multiple of the allocation granularity (64 KiB), as view offsets must be.
constexpr ULONGLONG kWindowBytes = 64ull * 1024 * 1024;

}  // namespace

std::string GetFileMD5(const std::wstring& path) {
    Util::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::string();
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file.get(), &size)) return std::string();
    const auto total = static_cast<ULONGLONG>(size.QuadPart);
    // An empty file cannot be mapped; it has no digest.
    Util::UniqueHandle mapping(::CreateFileMappingW(file.get(), nullptr, PAGE_READONLY,
                                                    static_cast<DWORD>(total >> 32),
                                                    static_cast<DWORD>(total & 0xffffffffu), nullptr));
    if (!mapping) return std::string();

    Md5 md5;
    for (ULONGLONG offset = 0; offset < total; offset += kWindowBytes) {
        const ULONGLONG length = std::min(kWindowBytes, total - offset);
        Util::UniqueMapView view(::MapViewOfFile(mapping.get(), FILE_MAP_READ, static_cast<DWORD>(offset >> 32),
                                                 static_cast<DWORD>(offset & 0xffffffffu),
                                                 static_cast<SIZE_T>(length)));
        // Any window that cannot be mapped means no digest: never the digest
        // of a part of the file.
        if (!view) return std::string();
        md5.Update(view.get(), static_cast<size_t>(length));
    }
    return Md5ToText(md5.Finish());
}

std::string GetFileMD5(const std::string& path) {
    if (path.empty()) return std::string();
    int count = ::MultiByteToWideChar(CP_THREAD_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    if (count <= 0) return std::string();
    std::wstring wide(static_cast<size_t>(count), L'\0');
    ::MultiByteToWideChar(CP_THREAD_ACP, 0, path.data(), static_cast<int>(path.size()), wide.data(), count);
    return GetFileMD5(wide);
}

std::string GetFileMD5(const wchar_t* path) {
    if (!path) return std::string();
    wchar_t copy[MAX_PATH] = {};
    // A longer path would be cut into the name of some other file.
    if (std::wcslen(path) >= MAX_PATH) return std::string();
    std::wcsncpy(copy, path, MAX_PATH - 1);
    return GetFileMD5(std::wstring(copy));
}
