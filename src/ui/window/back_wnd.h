#pragma once
// A picture behind a skinned window: a layered, click-through tool window
// owned by the host's parent, showing the skin's back-window image over the
// host's rectangle enlarged by the skin's margins, kept right behind the
// host whenever it is shown or moved.

#include <windows.h>

#include "ui/engine/base/ui_string.h"
#include "util/unique_handle.h"

namespace TarselUI {

class CPaintManagerUI;

class CBackWnd {
public:
    CBackWnd() = default;
    CBackWnd(const CBackWnd&) = delete;
    CBackWnd& operator=(const CBackWnd&) = delete;

    // Creates the window (class "UIBackWnd") as a popup owned by `owner`.
    bool Create(HWND owner);
    void SetImage(CPaintManagerUI* pm, LPCWSTR image, RECT margins);
    // Redraws and places the picture behind `host` (hidden with it).
    void Follow(HWND host);
    void Close();
    HWND GetHWND() const { return m_hWnd.get(); }

private:
    void Redraw(int width, int height);

    Util::UniqueWindow m_hWnd;
    CPaintManagerUI* m_pManager = nullptr;
    CUIString m_sImage;
    RECT m_rcMargins{};
    SIZE m_szDrawn{};
};

class CBackWndHelper {
public:
    // Creates the back window once and gives it the manager's picture.
    void Init(HWND host, CPaintManagerUI* pm);
    void Follow(HWND host);
    void Close();
    CBackWnd* GetBackWnd() { return m_bCreated ? &m_backWnd : nullptr; }

private:
    CBackWnd m_backWnd;
    bool m_bCreated = false;
};

}  // namespace TarselUI
