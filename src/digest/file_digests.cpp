#include "digest/file_digests.h"

#include <windows.h>

#include <cwchar>
#include <optional>

#include "digest/mapped_file_reader.h"
#include "digest/md5.h"
#include "digest/sha256.h"

FileDigests GetFileDigests(const std::wstring& path, DigestSet set) {
    Md5 md5;
    std::optional<Sha256> sha256;
    if (set == DigestSet::kMd5AndSha256) sha256.emplace();
    const bool read = ReadMappedFile(path, [&](const void* data, std::size_t size) {
        md5.Update(data, size);
        if (sha256) sha256->Update(data, size);
    });
    FileDigests digests;
    if (!read) return digests;
    digests.md5 = Md5ToText(md5.Finish());
    if (sha256) digests.sha256 = Sha256ToText(sha256->Finish());
    return digests;
}

FileDigests GetFileDigests(const std::string& path, DigestSet set) {
    if (path.empty()) return FileDigests();
    int count = ::MultiByteToWideChar(CP_THREAD_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    if (count <= 0) return FileDigests();
    std::wstring wide(static_cast<size_t>(count), L'\0');
    ::MultiByteToWideChar(CP_THREAD_ACP, 0, path.data(), static_cast<int>(path.size()), wide.data(), count);
    return GetFileDigests(wide, set);
}

FileDigests GetFileDigests(const wchar_t* path, DigestSet set) {
    if (!path || std::wcslen(path) >= MAX_PATH) return FileDigests();
    return GetFileDigests(std::wstring(path), set);
}
