// The button's states, events and attributes.

#include "ui/engine/controls/button.h"

#include <cwchar>

#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/render/value_syntax.h"

namespace TarselUI {

CButtonUI::CButtonUI() { m_uTextStyle = DT_SINGLELINE | DT_VCENTER | DT_CENTER; }

LPCWSTR CButtonUI::GetClass() const { return L"ButtonUI"; }

LPVOID CButtonUI::GetInterface(LPCWSTR pstrName) {
    if (pstrName && std::wcscmp(pstrName, L"Button") == 0) return static_cast<CButtonUI*>(this);
    return CLabelUI::GetInterface(pstrName);
}

UINT CButtonUI::GetControlFlags() const {
    return (IsKeyboardEnabled() ? UIFLAG_TABSTOP : 0) | (IsEnabled() ? UIFLAG_SETCURSOR : 0);
}

bool CButtonUI::Activate() {
    if (!CControlUI::Activate()) return false;
    if (m_pManager) m_pManager->SendNotify(this, L"click");
    return true;
}

void CButtonUI::SetEnabled(bool bEnable) {
    CControlUI::SetEnabled(bEnable);
    if (!IsEnabled()) m_uButtonState = 0;
}

void CButtonUI::SetHot(bool bHot) {
    if (!IsEnabled()) return;
    if (bHot) {
        m_uButtonState |= UISTATE_HOT;
    } else {
        m_uButtonState &= ~UISTATE_HOT;
    }
    m_bHot = bHot;
    Invalidate();
}

void CButtonUI::DoEvent(TEventUI& event) {
    if (!IsMouseEnabled() && IsMouseEvent(event.Type)) {
        if (m_pParent) {
            m_pParent->DoEvent(event);
        } else {
            CLabelUI::DoEvent(event);
        }
        return;
    }
    switch (event.Type) {
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
        Invalidate();
        break;
    case UIEVENT_KEYDOWN:
        if (IsKeyboardEnabled() && (event.chKey == VK_SPACE || event.chKey == VK_RETURN)) {
            Activate();
            return;
        }
        break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (::PtInRect(&m_rcItem, event.ptMouse) && IsEnabled()) {
            m_uButtonState |= UISTATE_PUSHED | UISTATE_CAPTURED;
            Invalidate();
        }
        return;
    case UIEVENT_MOUSEMOVE:
        if ((m_uButtonState & UISTATE_CAPTURED) != 0) {
            if (::PtInRect(&m_rcItem, event.ptMouse)) {
                m_uButtonState |= UISTATE_PUSHED;
            } else {
                m_uButtonState &= ~UISTATE_PUSHED;
            }
            Invalidate();
            return;
        }
        break;
    case UIEVENT_BUTTONUP:
        if ((m_uButtonState & UISTATE_CAPTURED) != 0) {
            const bool inside = ::PtInRect(&m_rcItem, event.ptMouse) != FALSE;
            m_uButtonState &= ~(UISTATE_PUSHED | UISTATE_CAPTURED);
            Invalidate();
            // Last: a "click" handler may delete this button.
            if (inside) Activate();
            return;
        }
        break;
    case UIEVENT_CONTEXTMENU:
        if (IsContextMenuUsed()) {
            if (m_pManager) m_pManager->SendNotify(this, L"menu", event.wParam, event.lParam);
            return;
        }
        break;
    case UIEVENT_MOUSEENTER:
        SetHot(true);
        break;
    case UIEVENT_MOUSELEAVE:
        SetHot(false);
        break;
    case UIEVENT_SETCURSOR:
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

SIZE CButtonUI::EstimateSize(SIZE szAvailable) {
    if (m_cxyFixed.cy == 0 && m_pManager) {
        return SIZE{m_cxyFixed.cx, m_pManager->GetFontInfo(m_iFont)->tm.tmHeight + 8};
    }
    return CControlUI::EstimateSize(szAvailable);
}

void CButtonUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) {
    if (!pstrName || !pstrValue) return;
    auto is = [pstrName](LPCWSTR name) { return std::wcscmp(pstrName, name) == 0; };
    auto color = [pstrValue] {
        LPCWSTR value = pstrValue;
        while (*value > L'\0' && *value <= L' ') ++value;
        return ParseHexColor(value);
    };
    if (is(L"normalimage")) {
        SetNormalImage(pstrValue);
    } else if (is(L"hotimage")) {
        SetHotImage(pstrValue);
    } else if (is(L"pushedimage")) {
        SetPushedImage(pstrValue);
    } else if (is(L"focusedimage")) {
        SetFocusedImage(pstrValue);
    } else if (is(L"disabledimage")) {
        SetDisabledImage(pstrValue);
    } else if (is(L"foreimage")) {
        SetForeImage(pstrValue);
    } else if (is(L"hotforeimage")) {
        SetHotForeImage(pstrValue);
    } else if (is(L"hotbkcolor")) {
        SetHotBkColor(color());
    } else if (is(L"hottextcolor")) {
        SetHotTextColor(color());
    } else if (is(L"pushedtextcolor")) {
        SetPushedTextColor(color());
    } else if (is(L"focusedtextcolor")) {
        SetFocusedTextColor(color());
    } else {
        CLabelUI::SetAttribute(pstrName, pstrValue);
    }
}

}  // namespace TarselUI
