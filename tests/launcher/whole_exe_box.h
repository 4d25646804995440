#pragma once
// Finding and answering the update box of another process, the way a user
// would: by the box's window class, clicking where the skin puts its
// buttons. Used by the whole-program tests and by the demo's box clicker.

#include <windows.h>

namespace testsupport {

// The two button slots of the update hint (380 x 266): "btnNo" or
// "btnCancel" on the left, "btnYes" or "btnOK" on the right.
enum class BoxButton { kLeft, kRight };

// The visible "UIMessageboxWnd" of process `pid` (any process when 0) once
// it has been laid out and painted (its shadow is up), or null after the
// timeout or once `process` (when given) has ended. Looks every `pollMs`.
HWND WaitForUpdateBox(DWORD pid, DWORD timeoutMs = 20000, HANDLE process = nullptr, DWORD pollMs = 50);

// Any "UIMessageboxWnd" window of process `pid` at this moment, or null.
HWND FindUpdateBox(DWORD pid);

// A top-level window of class `className` of process `pid` (any process
// when 0), owned by `owner` when that is given, visible when asked; or null.
HWND FindProcessWindow(DWORD pid, const wchar_t* className, HWND owner, bool visibleOnly);

// Waits until no launcher holds the single-instance mutex "Tarsel升级程序"
// (it is one per wineserver, so launchers of other test runs count too);
// false after the timeout.
bool WaitUntilNoLauncherRuns(DWORD timeoutMs = 60000);

// Presses and releases the left button over a slot (posted messages).
void ClickBoxButton(HWND box, BoxButton button);
// What Alt+F4 makes: the system close command.
void CloseBoxWithSystemCommand(HWND box);

}  // namespace testsupport
