#include "digest/file_md5.h"

#include <windows.h>

#include <cwchar>

#include "digest/mapped_file_reader.h"
#include "digest/md5.h"

std::string GetFileMD5(const std::wstring& path) {
    Md5 md5;
    // Any window that cannot be mapped means no digest: never the digest of
    // a part of the file.
    if (!ReadMappedFile(path, [&md5](const void* data, std::size_t size) { md5.Update(data, size); })) {
        return std::string();
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
