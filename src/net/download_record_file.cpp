#include "net/download_record_file.h"

#include <windows.h>

#include "util/unique_handle.h"

namespace net {
namespace {

std::wstring NewRecordPath(const std::wstring& path) { return path + L".new"; }

}  // namespace

bool SaveDownloadRecord(const std::wstring& path, const DownloadRecord& record) {
    const std::string text = FormatDownloadRecord(record);
    if (text.empty()) return false;
    const std::wstring fresh = NewRecordPath(path);
    {
        Util::UniqueFile file(::CreateFileW(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!file) return false;
        DWORD written = 0;
        if (!::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
            written != text.size() || !::FlushFileBuffers(file.get())) {
            file.reset();
            ::DeleteFileW(fresh.c_str());
            return false;
        }
    }
    if (!::MoveFileExW(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileW(fresh.c_str());
        return false;
    }
    return true;
}

std::optional<DownloadRecord> LoadDownloadRecord(const std::wstring& path) {
    Util::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
    if (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
    if (info.nFileSizeHigh != 0 || info.nFileSizeLow > kMaxRecordBytes) return std::nullopt;
    std::string text(info.nFileSizeLow, '\0');
    DWORD read = 0;
    if (!text.empty() && (!::ReadFile(file.get(), &text[0], static_cast<DWORD>(text.size()), &read, nullptr) ||
                          read != text.size()))
        return std::nullopt;
    return ParseDownloadRecord(text);
}

void RemoveDownloadRecord(const std::wstring& path) {
    ::DeleteFileW(path.c_str());
    ::DeleteFileW(NewRecordPath(path).c_str());
}

}  // namespace net
