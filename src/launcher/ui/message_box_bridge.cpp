// The launcher's question to the user goes to the skinned update box.
#include <windows.h>

#include "launcher/registry.h"
#include "launcher/ui/msg_box_wnd.h"

int CUI::ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
    return CMsgBoxWnd::Show(owner, text, caption, style);
}
