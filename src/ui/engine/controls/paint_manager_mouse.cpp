// Mouse movement, hover and the tooltip.

#include <windowsx.h>

#include "ui/engine/controls/control.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/controls/ui_event_factory.h"

namespace TarselUI {

using detail::MakeEvent;
using detail::Send;

bool CPaintManagerUI::HandleMouseMove(WPARAM wParam, LPARAM lParam) {
    if (!m_bMouseTracking) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof track;
        track.dwFlags = TME_HOVER | TME_LEAVE;
        track.hwndTrack = m_hWndPaint;
        track.dwHoverTime = m_hwndTooltip
                                ? static_cast<DWORD>(::SendMessageW(m_hwndTooltip, TTM_GETDELAYTIME, TTDT_INITIAL, 0))
                                : 400;
        ::TrackMouseEvent(&track);
        m_bMouseTracking = true;
    }
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    m_ptLastMousePos = pt;
    CControlUI* newHover = FindControl(pt);
    if (newHover && newHover->GetManager() != this) return false;
    if (newHover != m_pEventHover) {
        if (m_pEventHover) {
            CControlUI* old = m_pEventHover;
            Send(old, MakeEvent(UIEVENT_MOUSELEAVE, old, pt, static_cast<WORD>(wParam), wParam, lParam));
            if (m_hwndTooltip) {
                ::SendMessageW(m_hwndTooltip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&m_ToolTip));
            }
            m_pEventHover = nullptr;
        }
        if (newHover) {
            m_pEventHover = newHover;
            Send(newHover, MakeEvent(UIEVENT_MOUSEENTER, newHover, pt, static_cast<WORD>(wParam), wParam, lParam));
        }
    }
    CControlUI* target = m_pEventClick ? m_pEventClick : newHover;
    if (target) Send(target, MakeEvent(UIEVENT_MOUSEMOVE, target, pt, static_cast<WORD>(wParam), wParam, lParam));
    return false;
}

bool CPaintManagerUI::HandleMouseHover(LPARAM lParam, LRESULT&) {
    m_bMouseTracking = false;
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    CControlUI* control = FindControl(pt);
    if (!control) return false;
    if (m_pEventHover) Send(m_pEventHover, MakeEvent(UIEVENT_MOUSEHOVER, m_pEventHover, pt, 0, 0, lParam));
    ShowTooltip(control);
    return true;
}

void CPaintManagerUI::ShowTooltip(CControlUI* control) {
    const CUIString tip = control->GetToolTip();
    if (tip.IsEmpty()) return;
    m_sTooltipText = tip;  // the tooltip window keeps a pointer to it
    m_ToolTip = TOOLINFOW{};
    m_ToolTip.cbSize = TTTOOLINFOW_V2_SIZE;
    m_ToolTip.uFlags = TTF_IDISHWND;
    m_ToolTip.hwnd = m_hWndPaint;
    m_ToolTip.uId = reinterpret_cast<UINT_PTR>(m_hWndPaint);
    m_ToolTip.hinst = m_hInstance;
    m_ToolTip.lpszText = const_cast<LPWSTR>(m_sTooltipText.GetData());
    m_ToolTip.rect = control->GetPos();
    if (!m_hwndTooltip) {
        m_hwndTooltip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWndPaint,
                                          nullptr, m_hInstance, nullptr);
        if (!m_hwndTooltip) return;
        ::SendMessageW(m_hwndTooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&m_ToolTip));
    }
    ::SendMessageW(m_hwndTooltip, TTM_SETMAXTIPWIDTH, 0, control->GetToolTipWidth());
    ::SendMessageW(m_hwndTooltip, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&m_ToolTip));
    ::SendMessageW(m_hwndTooltip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&m_ToolTip));
}

}  // namespace TarselUI
