#include "ui/window/window_wnd.h"

#include "ui/engine/controls/paint_manager.h"
#include "ui/window/back_wnd.h"
#include "ui/window/wnd_shadow.h"
#include "util/callback_guard.h"

namespace TarselUI {

namespace {

constexpr wchar_t kControlProp[] = L"WndX";

RECT MonitorWorkArea(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

}  // namespace

POINT CenteredPosition(const RECT& reference, const RECT& workArea, SIZE size) {
    POINT pt{(reference.left + reference.right) / 2 - size.cx / 2, (reference.top + reference.bottom) / 2 - size.cy / 2};
    if (pt.x < workArea.left) {
        pt.x = workArea.left;
    } else if (pt.x + size.cx > workArea.right) {
        pt.x = workArea.right - size.cx;
    }
    if (pt.y < workArea.top) {
        pt.y = workArea.top;
    } else if (pt.y + size.cy > workArea.bottom) {
        pt.y = workArea.bottom - size.cy;
    }
    return pt;
}

CWindowWnd::CWindowWnd() : m_OldWndProc(::DefWindowProcW) {}

CWindowWnd::~CWindowWnd() = default;

LPCWSTR CWindowWnd::GetSuperClassName() const { return nullptr; }

UINT CWindowWnd::GetClassStyle() const { return 0; }

bool CWindowWnd::RegisterWindowClass() {
    WNDCLASSW wc{};
    wc.style = GetClassStyle();
    wc.lpfnWndProc = CWindowWnd::__WndProc;
    wc.hInstance = CPaintManagerUI::GetInstance();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = GetWindowClassName();
    if (::RegisterClassW(&wc) != 0) return true;
    return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CWindowWnd::RegisterSuperclass() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!::GetClassInfoExW(nullptr, GetSuperClassName(), &wc) &&
        !::GetClassInfoExW(CPaintManagerUI::GetInstance(), GetSuperClassName(), &wc)) {
        return false;
    }
    m_OldWndProc = wc.lpfnWndProc;
    wc.lpfnWndProc = CWindowWnd::__ControlProc;
    wc.hInstance = CPaintManagerUI::GetInstance();
    wc.lpszClassName = GetWindowClassName();
    if (::RegisterClassExW(&wc) != 0) return true;
    return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CWindowWnd::Create(HWND hwndParent, LPCWSTR pstrName, DWORD dwStyle, DWORD dwExStyle, const RECT rc, HMENU hMenu) {
    return Create(hwndParent, pstrName, dwStyle, dwExStyle, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                  hMenu);
}

HWND CWindowWnd::Create(HWND hwndParent, LPCWSTR pstrName, DWORD dwStyle, DWORD dwExStyle, int x, int y, int cx,
                        int cy, HMENU hMenu) {
    if (GetSuperClassName() != nullptr && !RegisterSuperclass()) return nullptr;
    if (GetSuperClassName() == nullptr && !RegisterWindowClass()) return nullptr;
    m_hWnd = ::CreateWindowExW(dwExStyle, GetWindowClassName(), pstrName, dwStyle, x, y, cx, cy, hwndParent, hMenu,
                               CPaintManagerUI::GetInstance(), this);
    return m_hWnd;
}

HWND CWindowWnd::CreateUIWindow(HWND hwndParent, LPCWSTR pstrWindowName, DWORD dwStyle, DWORD dwExStyle) {
    return Create(hwndParent, pstrWindowName, dwStyle, dwExStyle, 0, 0, 0, 0, nullptr);
}

HWND CWindowWnd::Subclass(HWND hWnd) {
    if (!::IsWindow(hWnd)) return nullptr;
    m_OldWndProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CWindowWnd::__WndProc)));
    if (!m_OldWndProc) {
        m_OldWndProc = ::DefWindowProcW;
        return nullptr;
    }
    m_bSubclassed = true;
    m_hWnd = hWnd;
    ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return m_hWnd;
}

void CWindowWnd::Unsubclass() {
    if (!::IsWindow(m_hWnd) || !m_bSubclassed) return;
    ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_OldWndProc));
    m_OldWndProc = ::DefWindowProcW;
    m_bSubclassed = false;
}

void CWindowWnd::ShowWindow(bool bShow, bool bTakeFocus) {
    if (!::IsWindow(m_hWnd)) return;
    ::ShowWindow(m_hWnd, bShow ? (bTakeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

UINT CWindowWnd::ShowModal() {
    if (!::IsWindow(m_hWnd)) return 0;
    // A window may delete its object while its WM_CLOSE is dispatched (the
    // update box does), so past the first dispatch the loop reads nothing
    // of the object: it runs on copies taken here.
    const HWND hWnd = m_hWnd;
    const HWND hWndParent = ::GetWindow(hWnd, GW_OWNER);
    UINT nRet = 0;
    ::ShowWindow(hWnd, SW_SHOWNORMAL);
    ::EnableWindow(hWndParent, FALSE);
    // Topmost and at once not topmost again: the only sure way to the front.
    ::SetWindowPos(hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    ::SetWindowPos(hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);

    MSG msg{};
    bool quit = false;
    while (::IsWindow(hWnd)) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            quit = true;  // WM_QUIT
            break;
        }
        if (got == -1) break;
        if (msg.message == WM_CLOSE && msg.hwnd == hWnd) {
            nRet = static_cast<UINT>(msg.wParam);
            ::EnableWindow(hWndParent, TRUE);
            ::SetFocus(hWndParent);
        }
        if (!CPaintManagerUI::TranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    ::EnableWindow(hWndParent, TRUE);
    ::SetFocus(hWndParent);
    // The outer loop must still see the quit that ended this one.
    if (quit) ::PostQuitMessage(static_cast<int>(msg.wParam));
    return nRet;
}

void CWindowWnd::Close(UINT nRet) {
    if (!::IsWindow(m_hWnd)) return;
    PostMessageW(WM_CLOSE, static_cast<WPARAM>(nRet), 0);
}

void CWindowWnd::CenterWindow() {
    if (!::IsWindow(m_hWnd)) return;
    RECT rcDlg{};
    ::GetWindowRect(m_hWnd, &rcDlg);
    HWND hWndOwner = ::GetWindow(m_hWnd, GW_OWNER);
    const RECT rcWork = MonitorWorkArea(hWndOwner ? hWndOwner : m_hWnd);
    RECT rcReference = rcWork;
    if (hWndOwner) {
        RECT rcOwner{};
        ::GetWindowRect(hWndOwner, &rcOwner);
        // A minimised owner sits at negative coordinates: centre on the screen.
        if (rcOwner.left >= 0 && rcOwner.top >= 0 && rcOwner.right >= 0 && rcOwner.bottom >= 0) rcReference = rcOwner;
    }
    const SIZE size{rcDlg.right - rcDlg.left, rcDlg.bottom - rcDlg.top};
    const POINT pt = CenteredPosition(rcReference, rcWork, size);
    ::SetWindowPos(m_hWnd, nullptr, pt.x, pt.y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::SetIcon(UINT nRes) {
    const int big = ((::GetSystemMetrics(SM_CXICON) + 15) / 16) * 16;
    const int small = ((::GetSystemMetrics(SM_CXSMICON) + 15) / 16) * 16;
    HICON hIcon = static_cast<HICON>(
        ::LoadImageW(CPaintManagerUI::GetInstance(), MAKEINTRESOURCEW(nRes), IMAGE_ICON, big, big, LR_DEFAULTCOLOR));
    if (hIcon) ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(hIcon));
    hIcon = static_cast<HICON>(::LoadImageW(CPaintManagerUI::GetInstance(), MAKEINTRESOURCEW(nRes), IMAGE_ICON, small,
                                            small, LR_DEFAULTCOLOR));
    if (hIcon) ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(hIcon));
}

LRESULT CWindowWnd::SendMessageW(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(m_hWnd, uMsg, wParam, lParam);
}

LRESULT CWindowWnd::PostMessageW(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(m_hWnd, uMsg, wParam, lParam);
}

void CWindowWnd::ResizeClient(int cx, int cy) {
    RECT rc{};
    if (!::GetClientRect(m_hWnd, &rc)) return;
    if (cx != -1) rc.right = cx;
    if (cy != -1) rc.bottom = cy;
    const DWORD style = static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_EXSTYLE));
    const bool hasMenu = !(style & WS_CHILD) && ::GetMenu(m_hWnd) != nullptr;
    if (!::AdjustWindowRectEx(&rc, style, hasMenu, exStyle)) return;
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                   SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

void CWindowWnd::InitShadow(CPaintManagerUI* pm) {
    if (!pm || !pm->GetShadowEanbled() || m_pWndShadow) return;
    m_pWndShadow = std::make_unique<CWndShadow>();
    m_pWndShadow->Create(m_hWnd);
    m_pWndShadow->SetSize(pm->GetShadowSize());
    m_pWndShadow->SetSharpness(static_cast<unsigned>(pm->GetShadowSharpness()));
    m_pWndShadow->SetDarkness(static_cast<unsigned>(pm->GetShadowDarkness()));
    m_pWndShadow->SetPosition(pm->GetShadowPosX(), pm->GetShadowPosY());
}

void CWindowWnd::FreshShadow() {
    if (m_pWndShadow) m_pWndShadow->Show(m_hWnd);
}

void CWindowWnd::InitBackWnd(CPaintManagerUI* pm) {
    if (!pm || !pm->GetBackWndEnabled()) return;
    if (!m_pBackWndHelper) m_pBackWndHelper = std::make_unique<CBackWndHelper>();
    m_pBackWndHelper->Init(m_hWnd, pm);
}

LRESULT CALLBACK CWindowWnd::__WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return Util::GuardCallback([&]() -> LRESULT {
        CWindowWnd* pThis = nullptr;
        if (uMsg == WM_NCCREATE) {
            auto* cs = reinterpret_cast<LPCREATESTRUCTW>(lParam);
            pThis = static_cast<CWindowWnd*>(cs->lpCreateParams);
            pThis->m_hWnd = hWnd;
            ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pThis));
        } else {
            pThis = reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
            if (uMsg == WM_NCDESTROY && pThis) {
                const LRESULT lRes = ::CallWindowProcW(pThis->m_OldWndProc, hWnd, uMsg, wParam, lParam);
                ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
                if (pThis->m_bSubclassed) pThis->Unsubclass();
                pThis->m_hWnd = nullptr;
                pThis->OnFinalMessage(hWnd);
                return lRes;
            }
        }
        if (pThis) return pThis->HandleMessage(uMsg, wParam, lParam);
        return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
    });
}

LRESULT CALLBACK CWindowWnd::__ControlProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return Util::GuardCallback([&]() -> LRESULT {
        CWindowWnd* pThis = nullptr;
        if (uMsg == WM_NCCREATE) {
            auto* cs = reinterpret_cast<LPCREATESTRUCTW>(lParam);
            pThis = static_cast<CWindowWnd*>(cs->lpCreateParams);
            ::SetPropW(hWnd, kControlProp, pThis);
            pThis->m_hWnd = hWnd;
        } else {
            pThis = static_cast<CWindowWnd*>(::GetPropW(hWnd, kControlProp));
            if (uMsg == WM_NCDESTROY && pThis) {
                const LRESULT lRes = ::CallWindowProcW(pThis->m_OldWndProc, hWnd, uMsg, wParam, lParam);
                if (pThis->m_bSubclassed) pThis->Unsubclass();
                ::SetPropW(hWnd, kControlProp, nullptr);
                ::RemovePropW(hWnd, kControlProp);
                pThis->m_hWnd = nullptr;
                pThis->OnFinalMessage(hWnd);
                return lRes;
            }
        }
        if (pThis) return pThis->HandleMessage(uMsg, wParam, lParam);
        return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
    });
}

LRESULT CWindowWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg == UIMSG_INIT_SHADOW) DoInitShadow();
    if (m_pBackWndHelper) {
        switch (uMsg) {
            case WM_CLOSE:
                m_pBackWndHelper->Close();
                break;
            case WM_SHOWWINDOW:
            case WM_WINDOWPOSCHANGED:
                m_pBackWndHelper->Follow(m_hWnd);
                break;
            default:
                break;
        }
    }
    const LRESULT lRes = ::CallWindowProcW(m_OldWndProc, m_hWnd, uMsg, wParam, lParam);
    if (uMsg == WM_SHOWWINDOW) OnShow();
    return lRes;
}

void CWindowWnd::OnFinalMessage(HWND) {}

}  // namespace TarselUI
