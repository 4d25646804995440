// Control timers: one platform timer per (control, id), re-armed in place.

#include <new>

#include "ui/engine/controls/control.h"
#include "ui/engine/controls/paint_manager.h"

namespace TarselUI {

bool CPaintManagerUI::SetTimer(CControlUI* pControl, UINT nTimerID, UINT uElapse) {
    for (int i = 0; i < m_aTimers.GetSize(); ++i) {
        auto* timer = static_cast<TIMERINFO*>(m_aTimers.GetAt(i));
        if (timer->pSender == pControl && timer->hWnd == m_hWndPaint && timer->nLocalID == nTimerID) {
            if (!timer->bKilled) return false;
            if (!::SetTimer(m_hWndPaint, timer->uWinTimer, uElapse, nullptr)) return false;
            timer->bKilled = false;
            return true;
        }
    }
    m_uTimerID = (m_uTimerID + 1) % 0xFF;
    if (!::SetTimer(m_hWndPaint, m_uTimerID, uElapse, nullptr)) return false;
    auto* timer = new (std::nothrow) TIMERINFO{pControl, nTimerID, m_hWndPaint, m_uTimerID, false};
    if (!timer || !m_aTimers.Add(timer)) {
        ::KillTimer(m_hWndPaint, m_uTimerID);
        delete timer;
        return false;
    }
    return true;
}

bool CPaintManagerUI::KillTimer(CControlUI* pControl, UINT nTimerID) {
    for (int i = 0; i < m_aTimers.GetSize(); ++i) {
        auto* timer = static_cast<TIMERINFO*>(m_aTimers.GetAt(i));
        if (timer->pSender == pControl && timer->hWnd == m_hWndPaint && timer->nLocalID == nTimerID &&
            !timer->bKilled) {
            if (::IsWindow(m_hWndPaint)) ::KillTimer(timer->hWnd, timer->uWinTimer);
            timer->bKilled = true;
            return true;
        }
    }
    return false;
}

void CPaintManagerUI::KillTimer(CControlUI* pControl) {
    for (int i = m_aTimers.GetSize() - 1; i >= 0; --i) {
        auto* timer = static_cast<TIMERINFO*>(m_aTimers.GetAt(i));
        if (timer->pSender != pControl || timer->hWnd != m_hWndPaint) continue;
        if (!timer->bKilled && ::IsWindow(m_hWndPaint)) ::KillTimer(timer->hWnd, timer->uWinTimer);
        delete timer;
        m_aTimers.Remove(i);
    }
}

void CPaintManagerUI::RemoveAllTimers() {
    for (int i = 0; i < m_aTimers.GetSize(); ++i) {
        auto* timer = static_cast<TIMERINFO*>(m_aTimers.GetAt(i));
        if (timer->hWnd == m_hWndPaint && !timer->bKilled && ::IsWindow(m_hWndPaint)) {
            ::KillTimer(timer->hWnd, timer->uWinTimer);
        }
        delete timer;
    }
    m_aTimers.Empty();
}

}  // namespace TarselUI
