#pragma once
// One native window whose procedure is routed to a virtual HandleMessage:
// class registration (own class or superclass), creation, subclassing,
// showing, a modal loop, centring and closing. The object and the window
// are linked from WM_NCCREATE to WM_NCDESTROY.

#include <windows.h>

#include <memory>

namespace TarselUI {

class CBackWndHelper;
class CPaintManagerUI;
class CWndShadow;

// Which skin source a window names.
enum UILIB_RESOURCETYPE {
    RESTYPE_FILE = 1,     // markup files under the resource folder (or the installed archive)
    RESTYPE_ZIPFILE = 2,  // an archive file named by the window
    RESTYPE_XMLRES = 3,   // markup stored as a module resource of type "xml"
    RESTYPE_ZIPRES = 4,   // an archive stored as a module resource of type "ZIPRES"
};

class CWindowWnd {
public:
    CWindowWnd();
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;

    HWND GetHWND() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    bool RegisterWindowClass();
    bool RegisterSuperclass();

    HWND Create(HWND hwndParent, LPCWSTR pstrName, DWORD dwStyle, DWORD dwExStyle, const RECT rc,
                HMENU hMenu = nullptr);
    HWND Create(HWND hwndParent, LPCWSTR pstrName, DWORD dwStyle, DWORD dwExStyle, int x = CW_USEDEFAULT,
                int y = CW_USEDEFAULT, int cx = CW_USEDEFAULT, int cy = CW_USEDEFAULT, HMENU hMenu = nullptr);
    HWND CreateUIWindow(HWND hwndParent, LPCWSTR pstrWindowName, DWORD dwStyle = 0, DWORD dwExStyle = 0);
    HWND Subclass(HWND hWnd);
    void Unsubclass();

    void ShowWindow(bool bShow = true, bool bTakeFocus = true);
    // Runs a nested message loop until the window is gone; returns the code
    // given to Close (0 when none). A quit met inside is posted again. The
    // object may be deleted while the loop runs (with its window).
    UINT ShowModal();
    void Close(UINT nRet = IDOK);
    void CenterWindow();
    void SetIcon(UINT nRes);

    LRESULT SendMessageW(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT PostMessageW(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0);
    void ResizeClient(int cx = -1, int cy = -1);

    void InitShadow(CPaintManagerUI* pm);
    void FreshShadow();
    CWndShadow* GetShadowWnd() const { return m_pWndShadow.get(); }

    // Virtual operations, in their slot order.
    virtual void OnShow() {}
    virtual void DoInitShadow() {}
    virtual LPCWSTR GetWindowClassName() const = 0;
    virtual LPCWSTR GetSuperClassName() const;
    virtual UINT GetClassStyle() const;
    virtual void InitBackWnd(CPaintManagerUI* pm);
    virtual LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);
    virtual void OnFinalMessage(HWND hWnd);
    virtual ~CWindowWnd();

protected:
    static LRESULT CALLBACK __WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK __ControlProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    std::unique_ptr<CBackWndHelper> m_pBackWndHelper;
    std::unique_ptr<CWndShadow> m_pWndShadow;
    HWND m_hWnd = nullptr;
    WNDPROC m_OldWndProc;
    bool m_bSubclassed = false;
};

// Where CenterWindow puts a window of `size` inside `workArea`, centred on
// `reference` (the owner's rectangle, or the work area) and kept inside it.
POINT CenteredPosition(const RECT& reference, const RECT& workArea, SIZE size);

}  // namespace TarselUI
