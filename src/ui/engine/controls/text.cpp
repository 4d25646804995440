// Wrapped text, its measured size and its links.

#include "ui/engine/controls/text.h"

#include <cwchar>

#include "ui/engine/controls/measuring_dc.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/render/render_engine.h"

namespace TarselUI {

CTextUI::CTextUI() {
    m_uTextStyle = DT_WORDBREAK;
    m_rcTextPadding = RECT{2, 0, 2, 0};
}

LPCWSTR CTextUI::GetClass() const { return L"TextUI"; }

LPVOID CTextUI::GetInterface(LPCWSTR pstrName) {
    if (pstrName && std::wcscmp(pstrName, L"Text") == 0) return static_cast<CTextUI*>(this);
    return CLabelUI::GetInterface(pstrName);
}

UINT CTextUI::GetControlFlags() const { return IsEnabled() && m_nLinks > 0 ? UIFLAG_SETCURSOR : 0; }

CUIString* CTextUI::GetLinkContent(int iIndex) {
    if (iIndex < 0 || iIndex >= m_nLinks) return nullptr;
    return &m_sLinks[iIndex];
}

int CTextUI::LinkAt(POINT pt) const {
    for (int i = 0; i < m_nLinks; ++i) {
        if (::PtInRect(&m_rcLinks[i], pt)) return i;
    }
    return -1;
}

void CTextUI::DoEvent(TEventUI& event) {
    if (!IsMouseEnabled() && IsMouseEvent(event.Type)) {
        if (m_pParent) {
            m_pParent->DoEvent(event);
        } else {
            CLabelUI::DoEvent(event);
        }
        return;
    }
    const int link = LinkAt(event.ptMouse);
    switch (event.Type) {
    case UIEVENT_SETCURSOR:
        if (link >= 0) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return;
        }
        break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if ((event.Type == UIEVENT_BUTTONDOWN || IsEnabled()) && link >= 0) {
            Invalidate();
            return;
        }
        break;
    case UIEVENT_BUTTONUP:
        if (IsEnabled() && link >= 0) {
            if (m_pManager) m_pManager->SendNotify(this, L"link", static_cast<WPARAM>(link));
            return;
        }
        break;
    case UIEVENT_CONTEXTMENU:
        return;
    case UIEVENT_MOUSEMOVE:
        if (IsEnabled() && m_nLinks > 0) {
            if (link != m_nHoverLink) {
                m_nHoverLink = link;
                Invalidate();
                return;
            }
        }
        break;
    case UIEVENT_MOUSELEAVE:
        if (IsEnabled() && m_nLinks > 0 && m_nHoverLink != -1) {
            m_nHoverLink = -1;
            Invalidate();
            return;
        }
        break;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

SIZE CTextUI::EstimateSize(SIZE szAvailable) {
    int right = m_cxyFixed.cx > szAvailable.cx ? m_cxyFixed.cx : szAvailable.cx;
    RECT rc{m_rcTextPadding.left, 0, right - m_rcTextPadding.right, 9999};
    if (m_pManager) {
        const CUIString text = GetText();
        const MeasuringDc measuring(m_pManager->GetPaintDC());
        HDC dc = measuring.get();
        if (m_bShowHtml) {
            int links = 0;
            CRenderEngine::DrawHtmlText(dc, m_pManager, rc, text, m_dwTextColor, nullptr, nullptr, links,
                                        DT_CALCRECT | m_uTextStyle);
        } else {
            CRenderEngine::DrawTextW(dc, m_pManager, rc, text, m_dwTextColor, m_iFont, DT_CALCRECT | m_uTextStyle);
        }
    }
    SIZE size{rc.right - rc.left + m_rcTextPadding.left + m_rcTextPadding.right,
              rc.bottom - rc.top + m_rcTextPadding.top + m_rcTextPadding.bottom};
    if (m_cxyFixed.cy != 0) size.cy = m_cxyFixed.cy;
    return size;
}

void CTextUI::PaintText(HDC hDC) {
    FillInDefaultColors();
    if (m_sText.IsEmpty()) {
        m_nLinks = 0;
        return;
    }
    RECT rc = m_rcItem;
    rc.left += m_rcTextPadding.left;
    rc.right -= m_rcTextPadding.right;
    rc.top += m_rcTextPadding.top;
    rc.bottom -= m_rcTextPadding.bottom;
    const DWORD color = IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;
    m_nLinks = kMaxLinks;
    if (m_bShowHtml) {
        CRenderEngine::DrawHtmlText(hDC, m_pManager, rc, m_sText, color, m_rcLinks, m_sLinks, m_nLinks,
                                    m_uTextStyle);
    } else {
        m_nLinks = 0;
        CRenderEngine::DrawTextW(hDC, m_pManager, rc, m_sText, color, m_iFont, m_uTextStyle);
    }
}

}  // namespace TarselUI
