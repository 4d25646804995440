// The launcher's question to the user. The skinned update box takes this
// place once the window host exists; until then the system message box asks
// the same question with the same buttons and results.
#include <windows.h>

#include "launcher/registry.h"

int CUI::ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
    return ::MessageBoxW(owner, text, caption, style);
}
