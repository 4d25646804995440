// message_box_floor
// Shows the system's own message box with the update question and ends
// when it is answered: the least any program must do to put that question
// on screen, and so the floor for the update box's first paint.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    ::MessageBoxW(nullptr, L"检测到新版本，是否立即更新?", L"Tarsel", MB_OKCANCEL | MB_ICONQUESTION);
    return 0;
}
