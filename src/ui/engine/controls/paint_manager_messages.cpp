// The message loop, pre-translation (Tab and Alt shortcuts) and the
// dispatch of window messages into control events.

#include <windowsx.h>

#include "ui/engine/controls/control.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/controls/ui_event_factory.h"

namespace TarselUI {

using detail::CurrentKeyState;
using detail::MakeEvent;
using detail::Send;

namespace {

struct TShortcutSearch {
    wchar_t ch;
    bool pickNext;
};

}  // namespace

void CPaintManagerUI::MessageLoop(void (*idle)()) {
    MSG msg{};
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!CPaintManagerUI::TranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (idle) idle();
    }
}

bool CPaintManagerUI::TranslateMessage(const LPMSG pMsg) {
    const bool child = (::GetWindowLongW(pMsg->hwnd, GWL_STYLE) & WS_CHILD) != 0;
    auto decide = [pMsg](CPaintManagerUI* pm) {
        if (pm->TranslateAccelerator(pMsg)) return true;
        LRESULT result = 0;
        return pm->PreMessageHandler(pMsg->message, pMsg->wParam, pMsg->lParam, result);
    };
    if (child) {
        for (int i = m_aPreMessages.GetSize() - 1; i >= 0; --i) {
            auto* pm = static_cast<CPaintManagerUI*>(m_aPreMessages.GetAt(i));
            for (HWND wnd = pMsg->hwnd; wnd; wnd = ::GetParent(wnd)) {
                if (wnd == pm->GetPaintWindow()) return decide(pm);
            }
        }
        return false;
    }
    for (int i = 0; i < m_aPreMessages.GetSize(); ++i) {
        auto* pm = static_cast<CPaintManagerUI*>(m_aPreMessages.GetAt(i));
        if (pMsg->hwnd == pm->GetPaintWindow()) return decide(pm);
    }
    return false;
}

bool CPaintManagerUI::TranslateAccelerator(LPMSG pMsg) {
    for (int i = 0; i < m_aTranslateAccelerator.GetSize(); ++i) {
        auto* translator = static_cast<ITranslateAccelerator*>(m_aTranslateAccelerator.GetAt(i));
        if (translator->TranslateAccelerator(pMsg) == 0) return true;
    }
    return false;
}

bool CPaintManagerUI::PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM, LRESULT&) {
    switch (uMsg) {
        case WM_KEYDOWN: {
            if (wParam != VK_TAB) return false;
            // A rich edit that keeps Tab for itself answers "WantTab".
            if (m_pFocus && m_pFocus->IsVisible() && m_pFocus->IsEnabled() &&
                CUIString(m_pFocus->GetClass()).Find(L"RichEditUI") >= 0 &&
                m_pFocus->GetInterface(L"WantTab") != nullptr) {
                return false;
            }
            SetNextTabControl(::GetKeyState(VK_SHIFT) >= 0);
            return true;
        }
        case WM_SYSKEYDOWN: {
            if (m_pFocus) {
                TEventUI event = MakeEvent(UIEVENT_SYSKEY, m_pFocus, m_ptLastMousePos, CurrentKeyState(), wParam);
                event.chKey = static_cast<wchar_t>(wParam);
                m_pFocus->Event(event);
            }
            return false;
        }
        case WM_SYSCHAR: {
            if (!m_pRoot) return false;
            // CharUpperW converts a character passed in the low word.
            const auto upper = reinterpret_cast<UINT_PTR>(
                ::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(wParam & 0xFFFF))));
            TShortcutSearch search{static_cast<wchar_t>(upper & 0xFFFF), false};
            CControlUI* control = m_pRoot->FindControl(__FindControlFromShortcut, &search,
                                                       UIFIND_ENABLED | UIFIND_ME_FIRST | UIFIND_TOP_FIRST);
            if (!control) return false;
            control->SetFocus();
            control->Activate();
            return true;
        }
        default:
            return false;
    }
}

void CPaintManagerUI::DeliverQueuedNotifications() {
    while (!m_aAsyncNotify.IsEmpty()) {
        auto* msg = static_cast<TNotifyUI*>(m_aAsyncNotify.GetAt(0));
        m_aAsyncNotify.Remove(0);
        if (msg->pSender) msg->pSender->OnNotify(msg);
        for (int j = 0; j < m_aNotifiers.GetSize(); ++j) {
            static_cast<INotifyUI*>(m_aNotifiers.GetAt(j))->Notify(*msg);
        }
        delete msg;
    }
}

CControlUI* CPaintManagerUI::ControlUnderPoint(POINT pt) const { return FindControl(pt); }

bool CPaintManagerUI::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes) {
    if (!m_hWndPaint) return false;
    DeliverQueuedNotifications();

    for (int i = 0; i < m_aMessageFilters.GetSize(); ++i) {
        bool handled = false;
        const LRESULT result =
            static_cast<IMessageFilterUI*>(m_aMessageFilters.GetAt(i))->MessageHandler(uMsg, wParam, lParam, handled);
        if (handled) {
            lRes = result;
            return true;
        }
    }

    switch (uMsg) {
        case WM_SIZE: {
            if (m_pFocus) Send(m_pFocus, MakeEvent(UIEVENT_WINDOWSIZE, m_pFocus, m_ptLastMousePos, 0));
            if (m_pRoot) m_pRoot->NeedUpdate();
            return true;
        }
        case WM_PAINT:
            ExecPaint();
            return true;
        case WM_CLOSE: {
            if (m_pEventHover) Send(m_pEventHover, MakeEvent(UIEVENT_MOUSELEAVE, m_pEventHover, m_ptLastMousePos, 0));
            if (m_pEventClick) Send(m_pEventClick, MakeEvent(UIEVENT_BUTTONUP, m_pEventClick, m_ptLastMousePos, 0));
            SetFocus(nullptr);
            if (HWND owner = ::GetWindow(m_hWndPaint, GW_OWNER)) ::SetFocus(owner);
            break;
        }
        case WM_ERASEBKGND:
            lRes = 1;
            return true;
        case WM_SETCURSOR: {
            if (LOWORD(lParam) != HTCLIENT) break;
            if (m_bMouseCapture) return true;
            POINT pt{};
            ::GetCursorPos(&pt);
            ::ScreenToClient(m_hWndPaint, &pt);
            CControlUI* control = FindControl(pt);
            if (!control || (control->GetControlFlags() & UIFLAG_SETCURSOR) == 0) break;
            Send(control, MakeEvent(UIEVENT_SETCURSOR, control, pt, CurrentKeyState(), wParam, lParam));
            return true;
        }
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            if (m_szMinWindow.cx > 0) info->ptMinTrackSize.x = m_szMinWindow.cx;
            if (m_szMinWindow.cy > 0) info->ptMinTrackSize.y = m_szMinWindow.cy;
            if (m_szMaxWindow.cx > 0) info->ptMaxTrackSize.x = m_szMaxWindow.cx;
            if (m_szMaxWindow.cy > 0) info->ptMaxTrackSize.y = m_szMaxWindow.cy;
            break;
        }
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<LPNMHDR>(lParam);
            if (header) lRes = ::SendMessageW(header->hwndFrom, uMsg + 0x2000, wParam, lParam);
            return true;
        }
        case WM_CONTEXTMENU: {
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ::ScreenToClient(m_hWndPaint, &pt);
            m_ptLastMousePos = pt;
            if (!m_pEventClick) break;
            ReleaseCapture();
            CControlUI* click = m_pEventClick;
            Send(click, MakeEvent(UIEVENT_CONTEXTMENU, click, pt, static_cast<WORD>(wParam), 0,
                                  reinterpret_cast<LPARAM>(click)));
            m_pEventClick = nullptr;
            break;
        }
        case WM_KEYDOWN: {
            if (!m_pFocus) break;
            TEventUI event = MakeEvent(UIEVENT_KEYDOWN, m_pFocus, m_ptLastMousePos, CurrentKeyState(), wParam, lParam);
            event.chKey = static_cast<wchar_t>(wParam);
            m_pEventKey = m_pFocus;
            m_pFocus->Event(event);
            break;
        }
        case WM_KEYUP: {
            if (!m_pEventKey) break;
            TEventUI event = MakeEvent(UIEVENT_KEYUP, m_pEventKey, m_ptLastMousePos, CurrentKeyState(), wParam, lParam);
            event.chKey = static_cast<wchar_t>(wParam);
            m_pEventKey->Event(event);
            m_pEventKey = nullptr;
            break;
        }
        case WM_CHAR: {
            if (!m_pFocus) break;
            TEventUI event = MakeEvent(UIEVENT_CHAR, m_pFocus, m_ptLastMousePos, CurrentKeyState(), wParam, lParam);
            event.chKey = static_cast<wchar_t>(wParam);
            m_pFocus->Event(event);
            break;
        }
        case WM_COMMAND: {
            if (lParam == 0) break;
            lRes = ::SendMessageW(reinterpret_cast<HWND>(lParam), 0x2111, wParam, lParam);
            return true;
        }
        case WM_TIMER: {
            for (int i = 0; i < m_aTimers.GetSize(); ++i) {
                const auto* timer = static_cast<const TIMERINFO*>(m_aTimers.GetAt(i));
                if (timer->hWnd == m_hWndPaint && timer->uWinTimer == LOWORD(wParam) && !timer->bKilled) {
                    Send(timer->pSender, MakeEvent(UIEVENT_TIMER, timer->pSender, m_ptLastMousePos, 0,
                                                   timer->nLocalID, static_cast<LPARAM>(::GetTickCount())));
                    break;
                }
            }
            break;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC: {
            if (lParam == 0) break;
            lRes = ::SendMessageW(reinterpret_cast<HWND>(lParam), uMsg + 0x2000, wParam, lParam);
            return true;
        }
        case WM_MOUSEMOVE:
            HandleMouseMove(wParam, lParam);
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            if (uMsg != WM_LBUTTONDBLCLK) ::SetFocus(m_hWndPaint);
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            m_ptLastMousePos = pt;
            CControlUI* control = FindControl(pt);
            if (!control || control->GetManager() != this) break;
            m_pEventClick = control;
            const int type = uMsg == WM_LBUTTONDOWN   ? UIEVENT_BUTTONDOWN
                             : uMsg == WM_RBUTTONDOWN ? UIEVENT_RBUTTONDOWN
                                                      : UIEVENT_DBLCLICK;
            if (uMsg != WM_LBUTTONDBLCLK) control->SetFocus();
            SetCapture();
            // The control may have been deleted by its focus handling.
            if (m_pEventClick != control) break;
            Send(control, MakeEvent(type, control, pt, static_cast<WORD>(wParam), wParam, lParam));
            break;
        }
        case WM_LBUTTONUP: {
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            m_ptLastMousePos = pt;
            if (!m_pEventClick) break;
            ReleaseCapture();
            CControlUI* click = m_pEventClick;
            Send(click, MakeEvent(UIEVENT_BUTTONUP, click, pt, static_cast<WORD>(wParam), wParam, lParam));
            m_pEventClick = nullptr;
            break;
        }
        case WM_MOUSEWHEEL: {
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ::ScreenToClient(m_hWndPaint, &pt);
            m_ptLastMousePos = pt;
            CControlUI* control = FindControl(pt);
            if (!control || control->GetManager() != this) break;
            const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
            Send(control, MakeEvent(UIEVENT_SCROLLWHEEL, control, pt, CurrentKeyState(),
                                    delta < 0 ? SB_LINEDOWN : SB_LINEUP, lParam));
            ::SendMessageW(m_hWndPaint, WM_MOUSEMOVE, 0, MAKELPARAM(m_ptLastMousePos.x, m_ptLastMousePos.y));
            break;
        }
        case WM_MOUSEHOVER: {
            const bool taken = HandleMouseHover(lParam, lRes);
            DeliverQueuedNotifications();
            return taken;
        }
        case WM_MOUSELEAVE: {
            if (m_hwndTooltip) ::SendMessageW(m_hwndTooltip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&m_ToolTip));
            if (m_bMouseTracking) ::SendMessageW(m_hWndPaint, WM_MOUSEMOVE, 0, static_cast<LPARAM>(-1));
            m_bMouseTracking = false;
            break;
        }
        case WM_PRINTCLIENT: {
            if (!m_pRoot) break;
            HDC hDC = reinterpret_cast<HDC>(wParam);
            RECT client{};
            ::GetClientRect(m_hWndPaint, &client);
            const int saved = ::SaveDC(hDC);
            m_pRoot->DoPaint(hDC, client);
            if ((lParam & PRF_CHILDREN) != 0) {
                for (HWND child = ::GetWindow(m_hWndPaint, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
                    RECT pos{};
                    ::GetWindowRect(child, &pos);
                    ::MapWindowPoints(HWND_DESKTOP, m_hWndPaint, reinterpret_cast<LPPOINT>(&pos), 2);
                    ::SetWindowOrgEx(hDC, -pos.left, -pos.top, nullptr);
                    ::SendMessageW(child, WM_PRINT, wParam, lParam | PRF_NONCLIENT);
                }
            }
            ::RestoreDC(hDC, saved);
            break;
        }
        case UIMSG_DELAYED_CLEANUP: {
            // Deleting may add more; take the list as it stands first.
            CStdPtrArray doomed = m_aDelayedCleanup;
            m_aDelayedCleanup.Empty();
            for (int i = 0; i < doomed.GetSize(); ++i) delete static_cast<CControlUI*>(doomed.GetAt(i));
            break;
        }
        default:
            break;
    }
    DeliverQueuedNotifications();
    return false;
}

}  // namespace TarselUI

namespace TarselUI {

CControlUI* CALLBACK CPaintManagerUI::__FindControlFromShortcut(CControlUI* pThis, LPVOID pData) {
    if (!pThis->IsVisible()) return nullptr;
    auto* search = static_cast<TShortcutSearch*>(pData);
    const auto upper = reinterpret_cast<UINT_PTR>(
        ::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(pThis->GetShortcut()))));
    if (search->ch != 0 && search->ch == static_cast<wchar_t>(upper & 0xFFFF)) search->pickNext = true;
    // A label's shortcut names the control that follows it.
    if (CUIString(pThis->GetClass()).Find(L"LabelUI") >= 0) return nullptr;
    return search->pickNext ? pThis : nullptr;
}

}  // namespace TarselUI
