// desktop_keeper SECONDS READY_FILE
// Holds a hidden window for SECONDS (or until it is ended), so that Wine's
// desktop process stays up. Wine starts that process when a program first
// needs a window and stops it about a second after the last one has gone;
// Windows always has its desktop. Timing the launcher, which needs a window,
// against a floor that needs none must not charge the launcher for
// starting Wine's desktop. READY_FILE is created once the window exists:
// a program started before that could start the desktop process itself,
// and that process would inherit (and hold open) the starter's output.
#include <windows.h>

#include <cwchar>

#include "util/unique_handle.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    wchar_t* rest = nullptr;
    const long seconds = commandLine ? std::wcstol(commandLine, &rest, 10) : 0;
    while (rest && *rest == L' ') ++rest;
    Util::UniqueWindow window(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                                nullptr, nullptr));
    if (!window) return 1;
    if (rest && *rest) {
        Util::UniqueFile ready(::CreateFileW(rest, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                             nullptr));
    }
    ::Sleep(static_cast<DWORD>(seconds > 0 ? seconds : 600) * 1000);
    return 0;
}
