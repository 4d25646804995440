// Focus, Tab order and mouse capture.

#include "ui/engine/controls/control.h"
#include "ui/engine/controls/paint_manager.h"

namespace TarselUI {

namespace {

struct TFindTabInfo {
    CControlUI* pFocus;
    CControlUI* pLast;
    bool bForward;
    bool bNextIsIt;
};

constexpr UINT kTabSearch = UIFIND_VISIBLE | UIFIND_ENABLED | UIFIND_ME_FIRST;

}  // namespace

CControlUI* CALLBACK CPaintManagerUI::__FindControlFromTab(CControlUI* pThis, LPVOID pData) {
    auto* info = static_cast<TFindTabInfo*>(pData);
    if (info->pFocus == pThis) {
        if (info->bForward) info->bNextIsIt = true;
        return info->bForward ? nullptr : info->pLast;
    }
    if ((pThis->GetControlFlags() & UIFLAG_TABSTOP) == 0) return nullptr;
    info->pLast = pThis;
    if (info->bNextIsIt) return pThis;
    if (!info->pFocus) return pThis;
    return nullptr;
}

void CPaintManagerUI::KillFocusOf(CControlUI* pNewFocus) {
    if (!m_pFocus) return;
    CControlUI* old = m_pFocus;
    TEventUI event{};
    event.Type = UIEVENT_KILLFOCUS;
    event.pSender = pNewFocus;
    event.dwTimestamp = ::GetTickCount();
    old->Event(event);
    SendNotify(old, L"killfocus");
    m_pFocus = nullptr;
}

void CPaintManagerUI::SetFocus(CControlUI* pControl) {
    if (m_hWndPaint && ::GetFocus() != m_hWndPaint && pControl != m_pFocus) ::SetFocus(m_hWndPaint);
    KillFocusOf(pControl);
    if (!pControl || pControl->GetManager() != this || !pControl->IsVisible() || !pControl->IsEnabled()) return;
    m_pFocus = pControl;
    TEventUI event{};
    event.Type = UIEVENT_SETFOCUS;
    event.pSender = pControl;
    event.dwTimestamp = ::GetTickCount();
    pControl->Event(event);
    // The set-focus handling may have moved the focus on or deleted the control.
    if (m_pFocus == pControl) SendNotify(pControl, L"setfocus");
}

void CPaintManagerUI::SetFocusNeeded(CControlUI* pControl) {
    if (m_hWndPaint) ::SetFocus(m_hWndPaint);
    if (!pControl) return;
    KillFocusOf(pControl);
    TFindTabInfo info{pControl, nullptr, false, false};
    m_pFocus = m_pRoot ? m_pRoot->FindControl(__FindControlFromTab, &info, kTabSearch) : nullptr;
    m_bFocusNeeded = true;
    if (m_pRoot) m_pRoot->NeedUpdate();
}

bool CPaintManagerUI::SetNextTabControl(bool bForward) {
    if (m_bUpdateNeeded && bForward) {
        // The layout is pending: the next paint moves the focus.
        m_bFocusNeeded = true;
        Invalidate();
        return true;
    }
    if (!bForward || !m_pRoot) {
        m_bFocusNeeded = false;
        return true;
    }
    TFindTabInfo info{m_pFocus, nullptr, true, false};
    CControlUI* found = m_pRoot->FindControl(__FindControlFromTab, &info, kTabSearch);
    if (!found) {
        TFindTabInfo fromStart{nullptr, nullptr, true, false};
        found = m_pRoot->FindControl(__FindControlFromTab, &fromStart, kTabSearch);
    }
    if (found && CUIString(found->GetClass()).Find(L"ComboUI") >= 0 && !found->IsKeyboardEnabled()) {
        TFindTabInfo afterCombo{found, nullptr, true, false};
        found = m_pRoot->FindControl(__FindControlFromTab, &afterCombo, UIFIND_VISIBLE | UIFIND_ENABLED);
    }
    if (found && found->IsKeyboardEnabled()) SetFocus(found);
    m_bFocusNeeded = false;
    return true;
}

void CPaintManagerUI::SetCapture() {
    ::SetCapture(m_hWndPaint);
    m_bMouseCapture = true;
}

void CPaintManagerUI::ReleaseCapture() {
    ::ReleaseCapture();
    m_bMouseCapture = false;
}

}  // namespace TarselUI
