#include "whole_exe_box.h"

namespace testsupport {

namespace {

constexpr POINT kLeftButtonCentre{129, 221};
constexpr POINT kRightButtonCentre{251, 221};

struct Search {
    DWORD pid;
    const wchar_t* className;
    HWND owner;  // when set, the window must be owned by it
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (::lstrcmpW(name, search->className) != 0) return TRUE;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (search->pid != 0 && pid != search->pid) return TRUE;
    if (search->owner && ::GetWindow(window, GW_OWNER) != search->owner) return TRUE;
    if (search->visibleOnly && !::IsWindowVisible(window)) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

HWND FindProcessWindow(DWORD pid, const wchar_t* className, HWND owner, bool visibleOnly) {
    Search search{pid, className, owner, visibleOnly, nullptr};
    ::EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindUpdateBox(DWORD pid) { return FindProcessWindow(pid, L"UIMessageboxWnd", nullptr, false); }

bool WaitUntilNoLauncherRuns(DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        // Only a look: a handle kept open would keep the mutex alive.
        HANDLE mutex = ::OpenMutexW(SYNCHRONIZE, FALSE, L"Tarsel升级程序");
        if (!mutex) return true;
        ::CloseHandle(mutex);
        if (::GetTickCount64() >= deadline) return false;
        ::Sleep(100);
    }
}

HWND WaitForUpdateBox(DWORD pid, DWORD timeoutMs, HANDLE process, DWORD pollMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (::GetTickCount64() < deadline) {
        if (process && ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0) return nullptr;
        HWND box = FindProcessWindow(pid, L"UIMessageboxWnd", nullptr, true);
        // The shadow comes up after the paint that did the first layout, so
        // from then on the buttons are where the skin puts them.
        if (box && FindProcessWindow(pid, L"BeautyShadowWnd", box, false)) {
            DWORD_PTR result = 0;
            ::SendMessageTimeoutW(box, WM_NULL, 0, 0, SMTO_BLOCK, 2000, &result);
            return box;
        }
        ::Sleep(pollMs);
    }
    return nullptr;
}

void ClickBoxButton(HWND box, BoxButton button) {
    const POINT pt = button == BoxButton::kLeft ? kLeftButtonCentre : kRightButtonCentre;
    const LPARAM at = MAKELPARAM(pt.x, pt.y);
    ::PostMessageW(box, WM_MOUSEMOVE, 0, at);
    ::PostMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(box, WM_LBUTTONUP, 0, at);
}

void CloseBoxWithSystemCommand(HWND box) { ::PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0); }

}  // namespace testsupport
