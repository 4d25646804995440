#pragma once
// The engine's own drop shadow, one per paint manager. It stays idle until
// a window asks for it with ShowShadow(true); then a layered, click-through
// window owned by the paint window shows the blurred silhouette of the
// window's shape around it (transparent where the window itself lies) and
// follows the window as it moves, resizes, hides and shows.

#include <windows.h>

#include "ui/engine/render/shadow_bitmap.h"
#include "util/unique_handle.h"

namespace TarselUI {

class CPaintManagerUI;

class CShadowUI {
public:
    CShadowUI() = default;
    // Detaches from the window and destroys the shadow window.
    virtual ~CShadowUI();
    CShadowUI(const CShadowUI&) = delete;
    CShadowUI& operator=(const CShadowUI&) = delete;

    // Registers the shadow's window class under `hInstance`; the paint
    // manager calls it when it learns its module. False when the class
    // cannot be registered; shadows then never appear.
    static bool Initialize(HINSTANCE hInstance);
    static LPCWSTR GetWindowClassName();

    // Ties the shadow to the manager's window (AttachDialog calls it); a
    // shadow already asked for appears now.
    void Create(CPaintManagerUI* pPaintManager);

    // Switches the shadow on or off. Off is the default: nothing is created
    // and the window's messages are left alone.
    void ShowShadow(bool bShow);
    bool IsShowShadow() const { return m_bShowShadow; }

    // Each setter refuses a value out of range (false, nothing changes) and
    // redraws a visible shadow at once.
    bool SetSize(int NewSize);                         // -20..20
    bool SetSharpness(unsigned int NewSharpness);      // 0..20
    bool SetDarkness(unsigned int NewDarkness);        // 0..255
    bool SetPosition(int NewXOffset, int NewYOffset);  // each -20..20
    bool SetColor(COLORREF NewColor);
    const ShadowParams& GetParams() const { return m_params; }

    // The shadow window while the shadow is on and tied to a window.
    HWND GetShadowWindow() const { return m_hWnd.get(); }

private:
    void Attach();
    void Detach();
    // Shows, hides, moves or redraws the shadow to match the owner.
    void Follow(bool reshape);
    void Redraw();
    static LRESULT CALLBACK OwnerProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR refData);

    static HINSTANCE s_hInstance;

    CPaintManagerUI* m_pManager = nullptr;
    HWND m_hOwner = nullptr;
    Util::UniqueWindow m_hWnd;
    bool m_bShowShadow = false;
    bool m_bVisible = false;
    SIZE m_ownerSize{};
    ShadowParams m_params;
};

}  // namespace TarselUI
