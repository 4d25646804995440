#include "ui/window/window_impl_base.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "ui/engine/controls/control.h"

namespace TarselUI {

namespace {

// Controls that keep their clicks inside the caption band.
constexpr LPCWSTR kClickableClasses[] = {L"ButtonUI", L"OptionUI", L"EditUI",
                                         L"CheckBoxUI", L"RoundControlUI", L"SliderUI"};

bool IsClickableClass(LPCWSTR className) {
    if (!className) return false;
    for (LPCWSTR clickable : kClickableClasses) {
        if (::lstrcmpiW(className, clickable) == 0) return true;
    }
    return false;
}

MONITORINFO MonitorInfoOf(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    ::GetMonitorInfoW(monitor, &info);
    return info;
}

void SetControlVisible(CPaintManagerUI& pm, LPCWSTR name, bool visible) {
    if (CControlUI* control = pm.FindControl(name)) control->SetVisible(visible);
}

}  // namespace

LPBYTE WindowImplBase::m_lpResourceZIPBuffer = nullptr;

bool InstallZipResource(LPCWSTR resourceId) {
    // An installed in-memory archive stays for the life of the process, so
    // a further copy would only be memory nobody reads.
    if (CPaintManagerUI::GetResourceZip() == L"membuffer") return true;
    HINSTANCE module = CPaintManagerUI::GetResourceDll();
    HRSRC resource = ::FindResourceW(module, resourceId, L"ZIPRES");
    if (!resource) return false;
    HGLOBAL loaded = ::LoadResource(module, resource);
    if (!loaded) return false;
    const DWORD size = ::SizeofResource(module, resource);
    const void* bytes = ::LockResource(loaded);
    if (size == 0 || !bytes) return false;
    // Owned by the engine's archive for the rest of the process.
    auto* block = new (std::nothrow) BYTE[size];
    if (!block) return false;
    std::memcpy(block, bytes, size);
    WindowImplBase::m_lpResourceZIPBuffer = block;
    CPaintManagerUI::SetResourceZip(block, size);
    return true;
}

UI_MSGMAP(WindowImplBase, CNotifyPump)
UI_MSGMAP_ENTRY(L"click", L"", OnClick)
UI_MSGMAP_END()

void WindowImplBase::DoInitShadow() { InitShadow(&m_PaintManager); }

UINT WindowImplBase::GetClassStyle() const { return CS_DBLCLKS; }

void WindowImplBase::OnFinalMessage(HWND) {
    m_PaintManager.RemovePreMessageFilter(this);
    m_PaintManager.RemoveNotifier(this);
    // The manager owns the tree; reaping the root alone would only make the
    // manager forget it, and nothing would ever delete it.
    m_PaintManager.DeleteRoot();
}

void WindowImplBase::InitWindow() { m_PaintManager.SetDefaultFont(L"微软雅黑", 12, false, false, false); }

void WindowImplBase::OnClick(TNotifyUI& msg) {
    if (!msg.pSender) return;
    const CUIString name = msg.pSender->GetName();
    if (name == L"closebtn") {
        Close(IDOK);
    } else if (name == L"minbtn") {
        SendMessageW(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (name == L"maxbtn") {
        SendMessageW(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    } else if (name == L"restorebtn") {
        SendMessageW(WM_SYSCOMMAND, SC_RESTORE, 0);
    }
}

LRESULT WindowImplBase::ResponseDefaultKeyEvent(WPARAM wParam) {
    if (wParam == VK_RETURN) return FALSE;
    if (wParam == VK_ESCAPE && m_bEscapeCloses) {
        Close(IDOK);
        return TRUE;
    }
    return FALSE;
}

UILIB_RESOURCETYPE WindowImplBase::GetResourceType() const { return RESTYPE_FILE; }

CUIString WindowImplBase::GetZIPFileName() const { return CUIString(); }

LPCWSTR WindowImplBase::GetResourceID() const { return L""; }

CControlUI* WindowImplBase::CreateControl(LPCWSTR, LPCWSTR) { return nullptr; }

CUIString WindowImplBase::ANSIToUnicode(const char* text) {
    if (!text || !*text) return CUIString();
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 1) return CUIString();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    return CUIString(wide.c_str());
}

void WindowImplBase::Notify(TNotifyUI& msg) { NotifyPump(msg); }

LRESULT WindowImplBase::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM, bool& bHandled) {
    if (uMsg == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
        bHandled = ResponseDefaultKeyEvent(wParam) >= 0;
    }
    return 0;
}

LONG WindowImplBase::GetStyle() {
    return ::GetWindowLongW(m_hWnd, GWL_STYLE) & ~static_cast<LONG>(WS_CAPTION);
}

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnNcActivate(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (::IsIconic(m_hWnd)) bHandled = FALSE;
    return (wParam == 0) ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnNcCalcSize(UINT, WPARAM, LPARAM lParam, BOOL&) {
    if (!::IsZoomed(m_hWnd)) return 0;
    // Both forms of the message start with the proposed window rectangle.
    RECT* proposed = reinterpret_cast<RECT*>(lParam);
    const MONITORINFO monitor = MonitorInfoOf(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST));
    LONG width = monitor.rcWork.right - monitor.rcWork.left;
    LONG height = monitor.rcWork.bottom - monitor.rcWork.top;
    const SIZE maxSize = m_PaintManager.GetMaxInfo();
    if (maxSize.cx > 0 && width > maxSize.cx) width = maxSize.cx;
    if (maxSize.cy > 0 && height > maxSize.cy) height = maxSize.cy;
    proposed->right = proposed->left + width;
    proposed->bottom = proposed->top + height;
    return WVR_REDRAW;
}

LRESULT WindowImplBase::OnNcPaint(UINT, WPARAM, LPARAM, BOOL&) { return 0; }

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, BOOL&) {
    POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ::ScreenToClient(m_hWnd, &pt);
    RECT rcClient{};
    ::GetClientRect(m_hWnd, &rcClient);

    if (!::IsZoomed(m_hWnd)) {
        const RECT& box = m_PaintManager.GetSizeBox();
        auto horizontal = [&](LRESULT left, LRESULT right, LRESULT middle) {
            if (pt.x < rcClient.left + box.left) return left;
            if (pt.x > rcClient.right - box.right) return right;
            return middle;
        };
        if (pt.y < rcClient.top + box.top) return horizontal(HTTOPLEFT, HTTOPRIGHT, HTTOP);
        if (pt.y > rcClient.bottom - box.bottom) return horizontal(HTBOTTOMLEFT, HTBOTTOMRIGHT, HTBOTTOM);
        if (pt.x < rcClient.left + box.left) return HTLEFT;
        if (pt.x > rcClient.right - box.right) return HTRIGHT;
    }

    const RECT& caption = m_PaintManager.GetCaptionRect();
    if (pt.x >= rcClient.left + caption.left && pt.x < rcClient.right - caption.right && pt.y >= caption.top &&
        pt.y < caption.bottom) {
        CControlUI* control = m_PaintManager.FindControl(pt);
        if (control && !IsClickableClass(control->GetClass())) return HTCAPTION;
    }
    return HTCLIENT;
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    const MONITORINFO monitor = MonitorInfoOf(::MonitorFromPoint(POINT{1, 1}, MONITOR_DEFAULTTONEAREST));
    const RECT& work = monitor.rcWork;
    info->ptMaxPosition.x = work.left - monitor.rcMonitor.left;
    info->ptMaxPosition.y = work.top - monitor.rcMonitor.top;
    info->ptMaxTrackSize.x = work.right - work.left;
    info->ptMaxTrackSize.y = work.bottom - work.top;
    info->ptMinTrackSize.x = m_PaintManager.GetMinInfo().cx;
    info->ptMinTrackSize.y = m_PaintManager.GetMinInfo().cy;
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnMouseWheel(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnMouseHover(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    const SIZE round = m_PaintManager.GetRoundCorner();
    if (!::IsIconic(m_hWnd) && (round.cx != 0 || round.cy != 0)) {
        RECT rcWnd{};
        ::GetWindowRect(m_hWnd, &rcWnd);
        ::OffsetRect(&rcWnd, -rcWnd.left, -rcWnd.top);
        rcWnd.right++;
        rcWnd.bottom++;
        HRGN region = ::CreateRoundRectRgn(rcWnd.left, rcWnd.top, rcWnd.right, rcWnd.bottom, round.cx, round.cy);
        // The system owns the region once it is set.
        if (region && !::SetWindowRgn(m_hWnd, region, TRUE)) ::DeleteObject(region);
    }
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnMove(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnChar(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if (wParam == SC_CLOSE) {
        SendMessageW(WM_CLOSE);
        bHandled = TRUE;
        return 0;
    }
    const bool wasZoomed = ::IsZoomed(m_hWnd) != FALSE;
    const LRESULT lRes = CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    const bool zoomed = ::IsZoomed(m_hWnd) != FALSE;
    if (zoomed != wasZoomed) {
        SetControlVisible(m_PaintManager, L"maxbtn", !zoomed);
        SetControlVisible(m_PaintManager, L"restorebtn", zoomed);
    }
    return lRes;
}

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    const LONG style = ::GetWindowLongW(m_hWnd, GWL_STYLE) & ~static_cast<LONG>(WS_CAPTION);
    ::SetWindowLongW(m_hWnd, GWL_STYLE, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    RECT rcClient{};
    ::GetClientRect(m_hWnd, &rcClient);
    ::SetWindowPos(m_hWnd, nullptr, rcClient.left, rcClient.top, rcClient.right - rcClient.left,
                   rcClient.bottom - rcClient.top, SWP_FRAMECHANGED);

    m_PaintManager.Init(m_hWnd);
    m_PaintManager.AddPreMessageFilter(this);

    CUIString resourcePath = CPaintManagerUI::GetInstancePath();
    resourcePath += GetSkinDir();
    CPaintManagerUI::SetResourcePath(resourcePath);

    switch (GetResourceType()) {
        case RESTYPE_ZIPFILE:
            CPaintManagerUI::SetResourceZip(GetZIPFileName(), true);
            break;
        case RESTYPE_ZIPRES:
            if (!InstallZipResource(GetResourceID())) return 0;
            break;
        default:
            break;
    }

    CDialogBuilder builder;
    const CUIString skin = GetSkinXml();
    CControlUI* pRoot = nullptr;
    if (GetResourceType() == RESTYPE_XMLRES) {
        pRoot = builder.Create(STRINGorID(static_cast<UINT>(_wtoi(skin))), L"xml", this, &m_PaintManager);
    } else {
        pRoot = builder.Create(STRINGorID(skin.GetData()), nullptr, this, &m_PaintManager);
    }
    if (!pRoot) {
        ::MessageBoxW(nullptr, L"加载资源文件失败", L"TarselUI", MB_OK | MB_ICONERROR);
        std::exit(1);
    }

    m_PaintManager.AttachDialog(pRoot);
    m_PaintManager.AddNotifier(this);
    InitWindow();
    InitBackWnd(&m_PaintManager);
    bHandled = TRUE;
    return 0;
}

LRESULT WindowImplBase::OnKeyDown(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnKillFocus(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnSetFocus(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnLButtonUp(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnMouseMove(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::HandleCustomMessage(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    LRESULT lRes = 0;
    BOOL bHandled = TRUE;
    switch (uMsg) {
        case WM_CREATE: lRes = OnCreate(uMsg, wParam, lParam, bHandled); break;
        case WM_DESTROY: lRes = OnDestroy(uMsg, wParam, lParam, bHandled); break;
        case WM_MOVE:
        case WM_MOVING: lRes = OnMove(uMsg, wParam, lParam, bHandled); break;
        case WM_SIZE: lRes = OnSize(uMsg, wParam, lParam, bHandled); break;
        case WM_SETFOCUS: lRes = OnSetFocus(uMsg, wParam, lParam, bHandled); break;
        case WM_KILLFOCUS: lRes = OnKillFocus(uMsg, wParam, lParam, bHandled); break;
        case WM_CLOSE: lRes = OnClose(uMsg, wParam, lParam, bHandled); break;
        case WM_GETMINMAXINFO: lRes = OnGetMinMaxInfo(uMsg, wParam, lParam, bHandled); break;
        case WM_NCCALCSIZE: lRes = OnNcCalcSize(uMsg, wParam, lParam, bHandled); break;
        case WM_NCHITTEST: lRes = OnNcHitTest(uMsg, wParam, lParam, bHandled); break;
        case WM_NCPAINT: lRes = OnNcPaint(uMsg, wParam, lParam, bHandled); break;
        case WM_NCACTIVATE: lRes = OnNcActivate(uMsg, wParam, lParam, bHandled); break;
        case WM_KEYDOWN: lRes = OnKeyDown(uMsg, wParam, lParam, bHandled); break;
        case WM_CHAR: lRes = OnChar(uMsg, wParam, lParam, bHandled); break;
        case WM_SYSCOMMAND: lRes = OnSysCommand(uMsg, wParam, lParam, bHandled); break;
        case WM_MOUSEMOVE: lRes = OnMouseMove(uMsg, wParam, lParam, bHandled); break;
        case WM_LBUTTONDOWN: lRes = OnLButtonDown(uMsg, wParam, lParam, bHandled); break;
        case WM_LBUTTONUP: lRes = OnLButtonUp(uMsg, wParam, lParam, bHandled); break;
        case WM_MOUSEWHEEL: lRes = OnMouseWheel(uMsg, wParam, lParam, bHandled); break;
        case WM_MOUSEHOVER: lRes = OnMouseHover(uMsg, wParam, lParam, bHandled); break;
        default: bHandled = FALSE; break;
    }
    if (bHandled) return lRes;

    bHandled = TRUE;
    lRes = HandleCustomMessage(uMsg, wParam, lParam, bHandled);
    if (bHandled) return lRes;

    if (m_PaintManager.MessageHandler(uMsg, wParam, lParam, lRes)) return lRes;
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

}  // namespace TarselUI
