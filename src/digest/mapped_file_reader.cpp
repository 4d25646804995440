#include "digest/mapped_file_reader.h"

#include <windows.h>

#include <algorithm>

#include "digest/page_prefetcher.h"
#include "util/unique_handle.h"

namespace {

// A 32-bit process seldom has one free gap of more than a few hundred MiB,
// so the file is mapped one bounded window at a time. The size is a
// multiple of the allocation granularity (64 KiB), as view offsets must be.
constexpr ULONGLONG kWindowBytes = 64ull * 1024 * 1024;

}  // namespace

bool ReadMappedFile(const std::wstring& path, const std::function<void(const void* data, std::size_t size)>& consume) {
    Util::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file.get(), &size)) return false;
    const auto total = static_cast<ULONGLONG>(size.QuadPart);
    // An empty file cannot be mapped.
    Util::UniqueHandle mapping(::CreateFileMappingW(file.get(), nullptr, PAGE_READONLY,
                                                    static_cast<DWORD>(total >> 32),
                                                    static_cast<DWORD>(total & 0xffffffffu), nullptr));
    if (!mapping) return false;

    for (ULONGLONG offset = 0; offset < total; offset += kWindowBytes) {
        const ULONGLONG length = std::min(kWindowBytes, total - offset);
        Util::UniqueMapView view(::MapViewOfFile(mapping.get(), FILE_MAP_READ, static_cast<DWORD>(offset >> 32),
                                                 static_cast<DWORD>(offset & 0xffffffffu),
                                                 static_cast<SIZE_T>(length)));
        if (!view) return false;
        // Declared after the view, so it stops before the view is unmapped.
        PagePrefetcher prefetcher(view.get(), static_cast<std::size_t>(length));
        consume(view.get(), static_cast<std::size_t>(length));
    }
    return true;
}
