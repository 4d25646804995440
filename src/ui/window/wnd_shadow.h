#pragma once
// A soft drop shadow for a frameless window: a layered, click-through popup
// owned by the window, kept under it by subclassing the window's procedure,
// showing a blurred copy of the window's shape (its window region, so
// rounded corners are followed).

#include <windows.h>

#include <cstdint>
#include <map>

#include "ui/window/shadow_bitmap.h"
#include "util/unique_handle.h"

namespace TarselUI {

class CWndShadow {
public:
    CWndShadow() = default;
    // Detaches from the owner if it still lives and destroys the shadow
    // window, so the owner never calls into a freed shadow.
    virtual ~CWndShadow();
    CWndShadow(const CWndShadow&) = delete;
    CWndShadow& operator=(const CWndShadow&) = delete;

    // Once per process, before any shadow: finds UpdateLayeredWindow and
    // registers the shadow's window class under `hInstance`. False when
    // already done or the system cannot draw layered windows; shadows then
    // never appear.
    static bool Initialize(HINSTANCE hInstance);

    // Attaches the shadow to `hParentWnd` and shows it when the owner is
    // visible. Does nothing before Initialize, and for an owner that already
    // has a shadow (a second subclass would call itself forever).
    void Create(HWND hParentWnd);

    // Each setter refuses a value out of range (false, nothing changes) and
    // redraws a visible shadow at once.
    bool SetSize(int NewSize);                     // -20..20
    bool SetSharpness(unsigned int NewSharpness);  // 0..20
    bool SetDarkness(unsigned int NewDarkness);    // 0..255
    bool SetPosition(int NewXOffset, int NewYOffset);  // each -20..20
    bool SetColor(COLORREF NewColor);

    static DWORD PreMultiply(COLORREF cl, unsigned char nAlpha) { return ShadowPreMultiply(cl, nAlpha); }

    // Shows or hides the shadow to match the owner's state.
    void Show(HWND hParentWnd);
    // Recomputes the picture for the owner's current shape and places it.
    void Update(HWND hParentWnd);

    HWND GetShadowWindow() const { return m_hWnd.get(); }
    ShadowParams GetParams() const;
    bool IsShadowVisible() const { return (m_Status & kVisible) != 0; }

private:
    enum : BYTE { kEnabled = 1, kVisible = 2, kOwnerVisible = 4 };
    using UpdateLayeredWindowFn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                                BLENDFUNCTION*, DWORD);

    // Show for an owner with the given window style.
    void ShowForStyle(LONG ownerStyle);
    void MakeShadow(std::uint32_t* pShadBits, HWND hParent, const RECT* rcParent) const;
    POINT ShadowOrigin(const RECT& ownerRect) const;
    void OnOwnerSize(HWND hwnd, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ParentProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    static UpdateLayeredWindowFn s_UpdateLayeredWindow;
    static HINSTANCE s_hInstance;
    static std::map<HWND, CWndShadow*> s_Shadowmap;

    Util::UniqueWindow m_hWnd;
    WNDPROC m_OriParentProc = nullptr;
    BYTE m_Status = 0;
    BYTE m_nDarkness = 150;
    BYTE m_nSharpness = 5;
    signed char m_nSize = 0;
    signed char m_nxOffset = 5;
    signed char m_nyOffset = 5;
    LPARAM m_WndSize = 0;
    bool m_bUpdate = false;
    COLORREF m_Color = RGB(0, 0, 0);
};

}  // namespace TarselUI
