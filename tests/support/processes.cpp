#include "support/processes.h"

#include <tlhelp32.h>

namespace testsupport {

namespace {

std::wstring FullPath(const std::wstring& path) {
    wchar_t full[MAX_PATH * 2];
    const DWORD length = ::GetFullPathNameW(path.c_str(), MAX_PATH * 2, full, nullptr);
    return length > 0 && length < MAX_PATH * 2 ? std::wstring(full, length) : path;
}

}  // namespace

std::vector<Util::UniqueHandle> ProcessesOfImage(const std::wstring& image) {
    std::vector<Util::UniqueHandle> found;
    const std::wstring wanted = FullPath(image);
    // A snapshot, like a file, is INVALID_HANDLE_VALUE on failure.
    Util::UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return found;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
        Util::UniqueHandle process(
            ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, entry.th32ProcessID));
        if (!process) continue;
        wchar_t path[MAX_PATH * 2];
        DWORD length = MAX_PATH * 2;
        if (::QueryFullProcessImageNameW(process.get(), 0, path, &length) &&
            _wcsicmp(FullPath(path).c_str(), wanted.c_str()) == 0) {
            found.push_back(std::move(process));
        }
    }
    return found;
}

bool WaitUntilNoProcessOfImage(const std::wstring& image, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        std::vector<Util::UniqueHandle> running = ProcessesOfImage(image);
        if (running.empty()) return true;
        for (const Util::UniqueHandle& process : running) {
            const ULONGLONG now = ::GetTickCount64();
            if (now >= deadline) return false;
            if (::WaitForSingleObject(process.get(), static_cast<DWORD>(deadline - now)) == WAIT_TIMEOUT) return false;
        }
    }
}

}  // namespace testsupport
