// first_paint_probe [--temp DIR] box|dialog EXE [ARGUMENTS...]
//
// Starts EXE and measures the time until its question is on screen:
//   box     the launcher's update box ("UIMessageboxWnd") with its shadow,
//           which comes up after the paint that laid the box out;
//   dialog  a system message box ("#32770"), visible.
// Either way one WM_NULL round trip follows, so that a paint already under
// way has finished. Then it answers (the box's left button, the dialog's
// Cancel), waits for EXE to end and prints
//   first_paint_ms=X exit_code=C
// Exit code 3 when EXE cannot start, 4 when no question appeared within
// 30 s or EXE did not end afterwards.
#include <windows.h>

#include <cstdio>
#include <string>

#include "util/unique_handle.h"
#include "whole_exe_box.h"

namespace {

HWND WaitForDialog(DWORD pid, HANDLE process, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (::GetTickCount64() < deadline) {
        if (::WaitForSingleObject(process, 0) == WAIT_OBJECT_0) return nullptr;
        if (HWND dialog = testsupport::FindProcessWindow(pid, L"#32770", nullptr, true)) return dialog;
        ::Sleep(1);
    }
    return nullptr;
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int i = 1;
    if (i + 1 < argc && std::wstring(argv[i]) == L"--temp") {
        // Wine takes TMP and TEMP from the registry, so they are set here.
        ::SetEnvironmentVariableW(L"TMP", argv[i + 1]);
        ::SetEnvironmentVariableW(L"TEMP", argv[i + 1]);
        i += 2;
    }
    if (i + 1 >= argc || (std::wstring(argv[i]) != L"box" && std::wstring(argv[i]) != L"dialog")) {
        std::fprintf(stderr, "usage: first_paint_probe [--temp DIR] box|dialog EXE [ARGUMENTS...]\n");
        return 2;
    }
    const bool box = std::wstring(argv[i]) == L"box";
    const std::wstring exe = argv[i + 1];
    std::wstring commandLine = L"\"" + exe + L"\"";
    for (int a = i + 2; a < argc; ++a) commandLine += std::wstring(L" ") + argv[a];
    const std::wstring folder = FolderOf(exe);

    LARGE_INTEGER frequency, start, painted;
    ::QueryPerformanceFrequency(&frequency);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    ::QueryPerformanceCounter(&start);
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
        std::fprintf(stderr, "first_paint_probe: cannot start %ls (error %lu)\n", exe.c_str(), ::GetLastError());
        return 3;
    }
    Util::UniqueHandle process(info.hProcess);
    Util::UniqueHandle thread(info.hThread);

    HWND window = box ? testsupport::WaitForUpdateBox(info.dwProcessId, 30000, process.get(), 1)
                      : WaitForDialog(info.dwProcessId, process.get(), 30000);
    if (!window) {
        std::fprintf(stderr, "first_paint_probe: no question appeared\n");
        ::TerminateProcess(process.get(), 0xDEAD);
        return 4;
    }
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 2000, &ignored);
    ::QueryPerformanceCounter(&painted);

    if (box) {
        testsupport::ClickBoxButton(window, testsupport::BoxButton::kLeft);
    } else {
        ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    }
    if (::WaitForSingleObject(process.get(), 30000) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "first_paint_probe: the program did not end after the answer\n");
        ::TerminateProcess(process.get(), 0xDEAD);
        return 4;
    }
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.get(), &exitCode);
    const double ms = static_cast<double>(painted.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
    std::printf("first_paint_ms=%.2f exit_code=%lu\n", ms, exitCode);
    std::fflush(stdout);
    return 0;
}
