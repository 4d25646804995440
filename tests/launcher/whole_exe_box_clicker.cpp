// Answers the launcher's update box from outside, for the demo:
//
//   box_clicker.exe wait         waits for a box and prints where it is
//   box_clicker.exe left|right   waits for a box and clicks that button slot
//
// Exit code 0 when a box was found, 1 when none appeared in 20 seconds.
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "whole_exe_box.h"

int wmain(int argc, wchar_t** argv) {
    const wchar_t* what = argc > 1 ? argv[1] : L"wait";
    HWND box = testsupport::WaitForUpdateBox(0);
    if (!box) {
        std::printf("no update box appeared\n");
        return 1;
    }
    RECT rc{};
    ::GetWindowRect(box, &rc);
    std::printf("update box at %ld,%ld, %ld x %ld\n", rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    if (std::wcscmp(what, L"left") == 0) testsupport::ClickBoxButton(box, testsupport::BoxButton::kLeft);
    if (std::wcscmp(what, L"right") == 0) testsupport::ClickBoxButton(box, testsupport::BoxButton::kRight);
    return 0;
}
