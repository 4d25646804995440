// Left-to-right placement and the right (or left) separator.

#include "ui/engine/layout/horizontal_layout.h"

#include <cstdlib>
#include <cwchar>

#include "ui/engine/controls/scroll_bar.h"
#include "ui/engine/layout/layout_math.h"
#include "ui/engine/layout/separator_drag.h"
#include "ui/engine/manager/paint_manager.h"
#include "ui/engine/render/render_engine.h"

namespace TarselUI {

namespace {
constexpr UINT kDragging = 0x40;
}

LPCWSTR CHorizontalLayoutUI::GetClass() const { return L"HorizontalLayoutUI"; }

LPVOID CHorizontalLayoutUI::GetInterface(LPCWSTR pstrName) {
    if (pstrName && std::wcscmp(pstrName, L"HorizontalLayout") == 0) return static_cast<CHorizontalLayoutUI*>(this);
    return CContainerUI::GetInterface(pstrName);
}

UINT CHorizontalLayoutUI::GetControlFlags() const {
    return IsEnabled() && m_iSepWidth != 0 ? UIFLAG_SETCURSOR : 0;
}

void CHorizontalLayoutUI::SetPos(RECT rc) {
    CControlUI::SetPos(rc);
    CUIRect area = m_rcItem;
    area.Deflate(m_rcInset);
    if (m_items.IsEmpty()) {
        ProcessScrollBar(area, 0, 0);
        return;
    }
    if (IsVerticalBarShown()) area.right -= m_pVerticalScrollBar->GetFixedWidth();
    if (IsHorizontalBarShown()) area.bottom -= m_pHorizontalScrollBar->GetFixedHeight();

    SIZE available{area.GetWidth(), area.GetHeight()};
    if (IsHorizontalBarShown()) available.cx += m_pHorizontalScrollBar->GetScrollRange();

    int stretchCount = 0;
    int fixedTotal = 0;
    int placed = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible() || child->IsFloat()) continue;
        SIZE estimate = child->EstimateSize(available);
        if (estimate.cx == 0) {
            ++stretchCount;
        } else {
            estimate.cx = ClampExtent(estimate.cx, child->GetMinWidth(), child->GetMaxWidth());
        }
        const RECT padding = child->GetPadding();
        fixedTotal += estimate.cx + padding.left + padding.right;
        ++placed;
    }
    fixedTotal += (placed - 1) * m_iChildPadding;
    const int share = StretchShare(available.cx, fixedTotal, stretchCount);

    int x = area.left;
    if (IsHorizontalBarShown()) x -= m_pHorizontalScrollBar->GetScrollPos();
    int remaining = available.cx;
    int fixedRemaining = fixedTotal;
    int stretchSeen = 0;
    int needed = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible()) continue;
        if (child->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        const RECT padding = child->GetPadding();
        remaining -= padding.left;
        // What is still ahead, without this child's paddings and the gaps
        // already passed: counting those twice would leave a blank strip
        // after the last stretchable child.
        fixedRemaining -= padding.left + padding.right;
        SIZE estimate = child->EstimateSize(SIZE{remaining, available.cy});
        int width = 0;
        if (estimate.cx == 0) {
            ++stretchSeen;
            width = share;
            if (stretchSeen == stretchCount) {
                width = remaining - padding.right - fixedRemaining;
                if (width < 0) width = 0;
            }
            width = ClampExtent(width, child->GetMinWidth(), child->GetMaxWidth());
        } else {
            width = ClampExtent(estimate.cx, child->GetMinWidth(), child->GetMaxWidth());
            fixedRemaining -= width;
        }
        int height = child->GetFixedHeight();
        if (height == 0) height = area.GetHeight() - padding.top - padding.bottom;
        if (height < 0) height = 0;
        height = ClampExtent(height, child->GetMinHeight(), child->GetMaxHeight());

        child->SetPos(RECT{x + padding.left, area.top + padding.top, x + padding.left + width + padding.right,
                           area.top + padding.top + height});
        x += width + m_iChildPadding + padding.left + padding.right;
        needed += width + padding.left + padding.right;
        remaining -= width + m_iChildPadding + padding.right;
        fixedRemaining -= m_iChildPadding;
    }
    needed += (placed - 1) * m_iChildPadding;
    ProcessScrollBar(area, needed, 0);
}

void CHorizontalLayoutUI::SetSepWidth(int iWidth) { m_iSepWidth = iWidth; }

void CHorizontalLayoutUI::SetSepImmMode(bool bImmediately) {
    if (m_bImmMode == bImmediately) return;
    if ((m_uButtonState & kDragging) != 0 && !m_bImmMode && m_pManager) m_pManager->RemovePostPaint(this);
    m_bImmMode = bImmediately;
}

void CHorizontalLayoutUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) {
    if (!pstrName || !pstrValue) return;
    if (std::wcscmp(pstrName, L"sepwidth") == 0) {
        SetSepWidth(static_cast<int>(std::wcstol(pstrValue, nullptr, 10)));
    } else if (std::wcscmp(pstrName, L"sepimm") == 0) {
        SetSepImmMode(std::wcscmp(pstrValue, L"true") == 0);
    } else {
        CContainerUI::SetAttribute(pstrName, pstrValue);
    }
}

RECT CHorizontalLayoutUI::GetThumbRect(bool bUseNew) const {
    if (m_iSepWidth == 0) return RECT{};
    const RECT box = (bUseNew && (m_uButtonState & kDragging) != 0) ? static_cast<RECT>(m_rcNewPos)
                                                                    : static_cast<RECT>(m_rcItem);
    if (m_iSepWidth >= 0) return RECT{box.right - m_iSepWidth, box.top, box.right, box.bottom};
    return RECT{box.left, box.top, box.left - m_iSepWidth, box.bottom};
}

void CHorizontalLayoutUI::DoEvent(TEventUI& event) {
    if (m_iSepWidth != 0) {
        if (event.Type == UIEVENT_BUTTONDOWN && IsEnabled()) {
            const RECT thumb = GetThumbRect(false);
            if (::PtInRect(&thumb, event.ptMouse)) {
                m_uButtonState |= kDragging;
                m_ptLastMouse = event.ptMouse;
                m_rcNewPos = m_rcItem;
                if (!m_bImmMode && m_pManager) m_pManager->AddPostPaint(this);
                return;
            }
        }
        if (event.Type == UIEVENT_BUTTONUP && (m_uButtonState & kDragging) != 0) {
            m_uButtonState &= ~kDragging;
            m_rcItem = m_rcNewPos;
            if (!m_bImmMode && m_pManager) m_pManager->RemovePostPaint(this);
            NeedParentUpdate();
            return;
        }
        if (event.Type == UIEVENT_MOUSEMOVE && (m_uButtonState & kDragging) != 0) {
            const int delta = event.ptMouse.x - m_ptLastMouse.x;
            m_ptLastMouse = event.ptMouse;
            SeparatorSpan span{m_rcNewPos.left, m_rcNewPos.right};
            if (!DragSeparator(m_iSepWidth, delta, event.ptMouse.x, GetMinWidth(), GetMaxWidth(), span)) return;
            CUIRect oldThumb = GetThumbRect(true);
            m_rcNewPos.left = span.low;
            m_rcNewPos.right = span.high;
            m_cxyFixed.cx = m_rcNewPos.GetWidth();
            if (m_bImmMode) {
                m_rcItem = m_rcNewPos;
                NeedParentUpdate();
            } else if (m_pManager) {
                oldThumb.Join(GetThumbRect(true));
                oldThumb.Join(GetThumbRect(false));
                RECT invalid = oldThumb;
                m_pManager->Invalidate(invalid);
            }
            return;
        }
        if (event.Type == UIEVENT_SETCURSOR) {
            const RECT thumb = GetThumbRect(false);
            if (IsEnabled() && ::PtInRect(&thumb, event.ptMouse)) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
                return;
            }
        }
    }
    CContainerUI::DoEvent(event);
}

void CHorizontalLayoutUI::DoPostPaint(HDC hDC, const RECT& /*rcPaint*/) {
    if ((m_uButtonState & kDragging) != 0 && !m_bImmMode) {
        CRenderEngine::DrawColor(hDC, GetThumbRect(true), 0xAA000000);
    }
}

}  // namespace TarselUI
