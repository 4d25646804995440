#include "util/util.h"

#include <sys/stat.h>
#include <windows.h>

#include <cwchar>

#include "util/unique_handle.h"

namespace Util {
namespace {

constexpr size_t kPathBuffer = MAX_PATH;  // 260, terminator included

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Pieces of a path in the order a generic path iterates them: an optional
// root name (C:, \\server\share, \\?\C:), an optional root directory, then
// the file names; a trailing separator adds a final "." element.
struct PathElements {
    std::wstring rootName;
    bool rootDirectory = false;
    std::vector<std::wstring> names;
};

// The end of the element that starts at `pos`.
size_t ElementEnd(const std::wstring& path, size_t pos) {
    while (pos < path.size() && !IsSeparator(path[pos])) ++pos;
    return pos;
}

// The end of "server\share" starting at `pos`: after the share name, or
// after the server name when no share follows; `noServer` when there is no
// server name either.
size_t ShareRootEnd(const std::wstring& path, size_t pos, size_t noServer) {
    const size_t serverEnd = ElementEnd(path, pos);
    if (serverEnd == pos) return noServer;
    if (serverEnd >= path.size()) return serverEnd;
    const size_t shareEnd = ElementEnd(path, serverEnd + 1);
    return shareEnd == serverEnd + 1 ? serverEnd : shareEnd;
}

// Length of the root name at the start of `path`, 0 when there is none.
// A share is reached through its server and share names, so both belong
// to the root: \\server\share\ is a root as C:\ is. The forms that start
// with \\?\ or \\.\ name a drive (\\?\C:), a share (\\?\UNC\server\share)
// or a volume (\\?\Volume{...}).
size_t RootNameLength(const std::wstring& path) {
    if (path.size() >= 2 && path[1] == L':') return 2;
    if (path.size() < 3 || !IsSeparator(path[0]) || !IsSeparator(path[1])) return 0;
    if ((path[2] == L'?' || path[2] == L'.') && path.size() >= 4 && IsSeparator(path[3])) {
        constexpr size_t kAfterPrefix = 4;
        if (path.size() > kAfterPrefix + 3 && _wcsnicmp(path.c_str() + kAfterPrefix, L"UNC", 3) == 0 &&
            IsSeparator(path[kAfterPrefix + 3])) {
            return ShareRootEnd(path, kAfterPrefix + 4, kAfterPrefix + 3);
        }
        const size_t end = ElementEnd(path, kAfterPrefix);
        return end == kAfterPrefix ? kAfterPrefix - 1 : end;
    }
    if (IsSeparator(path[2])) return 0;  // three separators: no server name
    return ShareRootEnd(path, 2, 0);
}

PathElements SplitPath(const std::wstring& path) {
    PathElements e;
    size_t pos = RootNameLength(path);
    e.rootName = path.substr(0, pos);
    for (wchar_t& c : e.rootName) {
        if (IsSeparator(c)) c = L'\\';  // joined with backslashes, as the names are
    }
    if (pos < path.size() && IsSeparator(path[pos])) {
        e.rootDirectory = true;
        while (pos < path.size() && IsSeparator(path[pos])) ++pos;
    }
    while (pos < path.size()) {
        size_t end = ElementEnd(path, pos);
        e.names.push_back(path.substr(pos, end - pos));
        pos = end;
        if (pos < path.size()) {
            while (pos < path.size() && IsSeparator(path[pos])) ++pos;
            if (pos == path.size()) e.names.push_back(L".");
        }
    }
    return e;
}

bool IsShareRoot(const std::wstring& rootName) { return rootName.size() > 2 && rootName[1] != L':'; }

}  // namespace

std::wstring ModuleDirFromName(const wchar_t* name, unsigned long length, size_t bufferSize) {
    // A failed call (0) or a name that filled the buffer (cut, perhaps in
    // the middle of a folder name) tells nothing about where we are.
    if (!name || length == 0 || length >= bufferSize) return std::wstring();
    std::wstring full(name, length);
    // Wine names a program started from a share by its NT path without the
    // "\\??\\" prefix ("UNC\\server\\share\\..."); Windows, and every call
    // the path goes to, want "\\\\server\\share\\...". A module name is
    // never relative, so the form cannot mean anything else.
    if (_wcsnicmp(full.c_str(), L"UNC\\", 4) == 0) full = L"\\" + full.substr(3);
    size_t slash = full.rfind(L'\\');
    // Without a folder the result would be "\\", the root of the current
    // drive, where programs without administrator rights can create folders.
    if (slash == std::wstring::npos || slash == 0) return std::wstring();
    return full.substr(0, slash + 1);
}

std::wstring GetModuleDir() {
    wchar_t name[kPathBuffer] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, name, kPathBuffer);
    return ModuleDirFromName(name, length, kPathBuffer);
}

std::wstring GetParentDir(const std::wstring& path) {
    PathElements e = SplitPath(path);
    // Drop the last element, whichever kind it is. A share or a \\?\ root
    // is absolute even without its backslash: its parent is itself.
    if (!e.names.empty()) {
        e.names.pop_back();
    } else if (IsShareRoot(e.rootName)) {
        e.rootDirectory = true;
    } else if (e.rootDirectory) {
        e.rootDirectory = false;
    } else {
        e.rootName.clear();
    }
    std::wstring parent = e.rootName;
    if (e.rootDirectory) parent += L'\\';
    for (size_t i = 0; i < e.names.size(); ++i) {
        if (i > 0) parent += L'\\';
        parent += e.names[i];
    }
    // Directory form; a root such as "C:\\" already has its backslash.
    if (parent.empty() || parent.back() != L'\\') parent += L'\\';
    return parent;
}

std::wstring GetFileDir(const std::wstring& path) {
    size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos) return std::wstring();
    return path.substr(0, slash);
}

std::wstring GetPathFileName(const std::wstring& path) {
    size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos) return path;
    return path.substr(slash + 1);
}

void AddBackslash(std::wstring& path) {
    size_t slash = path.rfind(L'\\');
    if (slash != std::wstring::npos && slash + 1 < path.size()) path += L'\\';
}

std::string MakeTempFileA(const char* prefix) {
    char dir[kPathBuffer] = {};
    DWORD length = ::GetTempPathA(kPathBuffer, dir);
    // GetTempFileNameA needs room for the prefix, four hex digits and ".tmp".
    if (length == 0 || length > kPathBuffer - 14) return std::string();
    char name[kPathBuffer] = {};
    if (::GetTempFileNameA(dir, prefix ? prefix : "", 0, name) == 0) return std::string();
    return name;
}

bool PathExistsA(const std::string& path) {
    struct _stat64i32 info;
    return ::_stat64i32(path.c_str(), &info) == 0;
}

bool DirectoryExists(const std::wstring& path) {
    if (path.size() >= kPathBuffer) return false;
    wchar_t copy[kPathBuffer] = {};
    wcsncpy(copy, path.c_str(), kPathBuffer - 1);
    size_t length = wcslen(copy);
    if (length > 0 && copy[length - 1] == L'\\') copy[length - 1] = L'\0';
    WIN32_FIND_DATAW data;
    UniqueFind find(::FindFirstFileW(copy, &data));
    return find && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

unsigned long GetFileSize32(const std::wstring& path) {
    WIN32_FIND_DATAW data;
    UniqueFind find(::FindFirstFileW(path.c_str(), &data));
    if (!find) return 0;
    return data.nFileSizeLow;
}

void ListSubdirectories(const std::wstring& dir, std::vector<std::wstring>& out,
                        bool fullPath, bool recursive) {
    std::wstring base = dir;
    AddBackslash(base);
    std::wstring pattern = base + L"*.*";
    if (pattern.size() >= kPathBuffer) return;

    WIN32_FIND_DATAW data;
    UniqueFind find(::FindFirstFileW(pattern.c_str(), &data));
    if (!find) return;
    do {
        if (data.cFileName[0] == L'.') continue;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) continue;
        // The full path must fit the 260-character buffer the callers assume;
        // a longer one is left out rather than cut into a wrong name.
        if (base.size() + wcslen(data.cFileName) >= kPathBuffer) continue;
        std::wstring full = base + data.cFileName;
        out.push_back(fullPath ? full : GetPathFileName(full));
        if (recursive) {
            AddBackslash(full);
            ListSubdirectories(full, out, fullPath, recursive);
        }
    } while (::FindNextFileW(find.get(), &data));
}

bool RemoveFile(const std::wstring& path) { return ::DeleteFileW(path.c_str()) != FALSE; }

std::string Utf8ToAnsi(const std::string& utf8) {
    if (utf8.empty()) return std::string();
    int wideCount = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (wideCount <= 0) return std::string();
    std::wstring wide(static_cast<size_t>(wideCount) + 1, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), wideCount);
    std::string ansi(static_cast<size_t>(wideCount) * 2 + 2, '\0');
    ::WideCharToMultiByte(CP_THREAD_ACP, 0, wide.c_str(), -1, ansi.data(), static_cast<int>(ansi.size()),
                          nullptr, nullptr);
    ansi.resize(strlen(ansi.c_str()));
    return ansi;
}

namespace {

std::wstring ToWide(UINT codePage, const std::string& text) {
    if (text.empty()) return std::wstring();
    int count = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (count <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(count), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), count);
    return wide;
}

std::string FromWide(UINT codePage, const std::wstring& wide) {
    if (wide.empty()) return std::string();
    int count = ::WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
    if (count <= 0) return std::string();
    std::string text(static_cast<size_t>(count), '\0');
    ::WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), text.data(), count, nullptr,
                          nullptr);
    return text;
}

}  // namespace

std::wstring AnsiToWide(const std::string& ansi) { return ToWide(CP_THREAD_ACP, ansi); }
std::string WideToAnsi(const std::wstring& wide) { return FromWide(CP_THREAD_ACP, wide); }
std::wstring Utf8ToWide(const std::string& utf8) { return ToWide(CP_UTF8, utf8); }
std::string WideToUtf8(const std::wstring& wide) { return FromWide(CP_UTF8, wide); }

}  // namespace Util
