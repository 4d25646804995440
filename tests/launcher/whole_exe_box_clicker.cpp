// Answers the update box of one launcher from outside, for the demo and the
// end-to-end cases:
//
//   box_clicker.exe wait EXE         waits for the box and prints where it is
//   box_clicker.exe left|right EXE   waits for the box and clicks that button slot
//
// EXE is the Windows path of the launcher the box must belong to: only a
// process started from that file counts, so a box that another test run
// or benchmark shows on the same display is never seen or clicked.
// Exit code 0 when its box was found, 1 when none appeared in 20 seconds,
// 2 for a wrong command line.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>

#include "whole_exe_box.h"

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const {
        if (handle && handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
    }
};
using OwnedHandle = std::unique_ptr<void, HandleCloser>;

std::wstring FullPath(const wchar_t* path) {
    wchar_t full[MAX_PATH * 2];
    const DWORD length = ::GetFullPathNameW(path, MAX_PATH * 2, full, nullptr);
    return length > 0 && length < MAX_PATH * 2 ? std::wstring(full, length) : std::wstring(path);
}

// A running process started from `image` (letter case ignored) and a handle
// to it; id 0 when there is none.
DWORD ProcessOfImage(const std::wstring& image, OwnedHandle& process) {
    OwnedHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (snapshot.get() == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
        OwnedHandle candidate(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE,
                                            entry.th32ProcessID));
        if (!candidate) continue;
        wchar_t path[MAX_PATH * 2];
        DWORD length = MAX_PATH * 2;
        if (::QueryFullProcessImageNameW(candidate.get(), 0, path, &length) &&
            _wcsicmp(FullPath(path).c_str(), image.c_str()) == 0) {
            process = std::move(candidate);
            return entry.th32ProcessID;
        }
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3 || (std::wcscmp(argv[1], L"wait") != 0 && std::wcscmp(argv[1], L"left") != 0 &&
                      std::wcscmp(argv[1], L"right") != 0)) {
        std::fprintf(stderr, "usage: box_clicker wait|left|right EXE\n");
        return 2;
    }
    const std::wstring image = FullPath(argv[2]);
    const ULONGLONG deadline = ::GetTickCount64() + 20000;
    OwnedHandle process;
    DWORD pid = 0;
    while (!(pid = ProcessOfImage(image, process)) && ::GetTickCount64() < deadline) ::Sleep(50);
    const ULONGLONG now = ::GetTickCount64();
    HWND box = pid && now < deadline
                   ? testsupport::WaitForUpdateBox(pid, static_cast<DWORD>(deadline - now), process.get())
                   : nullptr;
    if (!box) {
        std::printf("no update box of %ls appeared\n", image.c_str());
        return 1;
    }
    RECT rc{};
    ::GetWindowRect(box, &rc);
    std::printf("update box at %ld,%ld, %ld x %ld\n", rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    if (std::wcscmp(argv[1], L"left") == 0) testsupport::ClickBoxButton(box, testsupport::BoxButton::kLeft);
    if (std::wcscmp(argv[1], L"right") == 0) testsupport::ClickBoxButton(box, testsupport::BoxButton::kRight);
    return 0;
}
