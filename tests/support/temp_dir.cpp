#include "support/temp_dir.h"

#include <windows.h>

#include <cstdio>

#include "util/unique_handle.h"

namespace testsupport {

TempDir::TempDir() {
    wchar_t base[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, base);
    static LONG counter = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        wchar_t name[64];
        swprintf(name, 64, L"tarsel-test-%lu-%ld-%d\\", ::GetCurrentProcessId(),
                 ::InterlockedIncrement(&counter), attempt);
        std::wstring candidate = std::wstring(base) + name;
        if (::CreateDirectoryW(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
    }
}

TempDir::~TempDir() {
    if (!path_.empty()) RemoveTree(path_);
}

bool RemoveTree(const std::wstring& dir) {
    // The "\\?\\" form so that names past MAX_PATH, which some tests make
    // on purpose, are removed too.
    std::wstring base = (dir.rfind(L"\\\\?\\", 0) == 0 || dir.size() < 2 || dir[1] != L':') ? dir : L"\\\\?\\" + dir;
    if (!base.empty() && base.back() != L'\\') base += L'\\';
    WIN32_FIND_DATAW data;
    {
        Util::UniqueFind find(::FindFirstFileW((base + L"*").c_str(), &data));
        if (find) {
            do {
                std::wstring name = data.cFileName;
                if (name == L"." || name == L"..") continue;
                std::wstring full = base + name;
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(full);
                } else {
                    ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                    ::DeleteFileW(full.c_str());
                }
            } while (::FindNextFileW(find.get(), &data));
        }
    }
    ::SetFileAttributesW(base.c_str(), FILE_ATTRIBUTE_NORMAL);
    return ::RemoveDirectoryW(base.c_str()) != FALSE;
}

bool MakeDirs(const std::wstring& dir) {
    for (size_t pos = dir.find(L'\\', 3); pos != std::wstring::npos; pos = dir.find(L'\\', pos + 1)) {
        ::CreateDirectoryW(dir.substr(0, pos).c_str(), nullptr);
    }
    ::CreateDirectoryW(dir.c_str(), nullptr);
    DWORD attributes = ::GetFileAttributesW(dir.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    size_t slash = path.rfind(L'\\');
    if (slash != std::wstring::npos) MakeDirs(path.substr(0, slash));
    Util::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 24));
        DWORD written = 0;
        if (!::WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

std::string ReadFileBytes(const std::wstring& path) {
    Util::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::string();
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    return bytes;
}

bool FileExists(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace testsupport
