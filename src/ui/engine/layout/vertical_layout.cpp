// Top-to-bottom placement and the bottom (or top) separator.

#include "ui/engine/layout/vertical_layout.h"

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

LPCWSTR CVerticalLayoutUI::GetClass() const { return L"VerticalLayoutUI"; }

LPVOID CVerticalLayoutUI::GetInterface(LPCWSTR pstrName) {
    if (pstrName && std::wcscmp(pstrName, L"VerticalLayout") == 0) return static_cast<CVerticalLayoutUI*>(this);
    return CContainerUI::GetInterface(pstrName);
}

UINT CVerticalLayoutUI::GetControlFlags() const {
    return IsEnabled() && m_iSepHeight != 0 ? UIFLAG_SETCURSOR : 0;
}

void CVerticalLayoutUI::SetPos(RECT rc) {
    CControlUI::SetPos(rc);
    CUIRect area = m_rcItem;
    area.Deflate(m_rcInset);
    if (IsVerticalBarShown()) area.right -= m_pVerticalScrollBar->GetFixedWidth();
    if (IsHorizontalBarShown()) area.bottom -= m_pHorizontalScrollBar->GetFixedHeight();

    if (m_items.IsEmpty()) {
        ProcessScrollBar(area, 0, 0);
        return;
    }

    SIZE available{area.GetWidth(), area.GetHeight()};
    if (IsHorizontalBarShown()) available.cx += m_pHorizontalScrollBar->GetScrollRange();

    // Measuring: what the fixed-height children and all paddings take.
    int stretchCount = 0;
    int fixedTotal = 0;
    int placed = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible() || child->IsFloat()) continue;
        SIZE estimate = child->EstimateSize(available);
        if (estimate.cy == 0) {
            ++stretchCount;
        } else {
            estimate.cy = ClampExtent(estimate.cy, child->GetMinHeight(), child->GetMaxHeight());
        }
        const RECT padding = child->GetPadding();
        fixedTotal += estimate.cy + padding.top + padding.bottom;
        ++placed;
    }
    fixedTotal += (placed - 1) * m_iChildPadding;
    const int share = StretchShare(available.cy, fixedTotal, stretchCount);

    // Placing.
    int y = area.top;
    if (IsVerticalBarShown()) y -= m_pVerticalScrollBar->GetScrollPos();
    int x = area.left;
    if (IsHorizontalBarShown()) x -= m_pHorizontalScrollBar->GetScrollPos();
    int remaining = available.cy;
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
        remaining -= padding.top;
        // What is still ahead, without this child's paddings and the gaps
        // already passed: counting those twice would leave a blank strip
        // after the last stretchable child.
        fixedRemaining -= padding.top + padding.bottom;
        SIZE estimate = child->EstimateSize(SIZE{available.cx, remaining});
        int height = 0;
        if (estimate.cy == 0) {
            ++stretchSeen;
            height = share;
            // The last stretchable child takes the rounding remainder.
            if (stretchSeen == stretchCount) {
                height = remaining - padding.bottom - fixedRemaining;
                if (height < 0) height = 0;
            }
            height = ClampExtent(height, child->GetMinHeight(), child->GetMaxHeight());
        } else {
            height = ClampExtent(estimate.cy, child->GetMinHeight(), child->GetMaxHeight());
            fixedRemaining -= height;
        }
        int width = child->GetFixedWidth();
        if (width == 0) width = available.cx - padding.left - padding.right;
        if (width < 0) width = 0;
        width = ClampExtent(width, child->GetMinWidth(), child->GetMaxWidth());

        child->SetPos(RECT{x + padding.left, y + padding.top, x + padding.left + width,
                           y + padding.top + height + padding.bottom});
        y += height + m_iChildPadding + padding.top + padding.bottom;
        needed += height + padding.top + padding.bottom;
        remaining -= height + m_iChildPadding + padding.bottom;
        fixedRemaining -= m_iChildPadding;
    }
    needed += (placed - 1) * m_iChildPadding;
    ProcessScrollBar(area, 0, needed);
}

void CVerticalLayoutUI::SetSepHeight(int iHeight) { m_iSepHeight = iHeight; }
void CVerticalLayoutUI::SetSepImmMode(bool bImmediately) {
    if (m_bImmMode == bImmediately) return;
    if ((m_uButtonState & kDragging) != 0 && !m_bImmMode && m_pManager) m_pManager->RemovePostPaint(this);
    m_bImmMode = bImmediately;
}

void CVerticalLayoutUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) {
    if (!pstrName || !pstrValue) return;
    if (std::wcscmp(pstrName, L"sepheight") == 0) {
        SetSepHeight(static_cast<int>(std::wcstol(pstrValue, nullptr, 10)));
    } else if (std::wcscmp(pstrName, L"sepimm") == 0) {
        SetSepImmMode(std::wcscmp(pstrValue, L"true") == 0);
    } else {
        CContainerUI::SetAttribute(pstrName, pstrValue);
    }
}

RECT CVerticalLayoutUI::GetThumbRect(bool bUseNew) const {
    if (m_iSepHeight == 0) return RECT{};
    const RECT box = (bUseNew && (m_uButtonState & kDragging) != 0) ? static_cast<RECT>(m_rcNewPos)
                                                                    : static_cast<RECT>(m_rcItem);
    const SeparatorSpan thumb = SeparatorThumb(m_iSepHeight, SeparatorSpan{box.top, box.bottom});
    return RECT{box.left, thumb.low, box.right, thumb.high};
}

void CVerticalLayoutUI::DoEvent(TEventUI& event) {
    if (m_iSepHeight != 0) {
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
            const int delta = event.ptMouse.y - m_ptLastMouse.y;
            m_ptLastMouse = event.ptMouse;
            SeparatorSpan span{m_rcNewPos.top, m_rcNewPos.bottom};
            if (!DragSeparator(m_iSepHeight, delta, event.ptMouse.y, GetMinHeight(), GetMaxHeight(), span)) return;
            CUIRect oldThumb = GetThumbRect(true);
            m_rcNewPos.top = span.low;
            m_rcNewPos.bottom = span.high;
            m_cxyFixed.cy = m_rcNewPos.GetHeight();
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
                ::SetCursor(::LoadCursorW(nullptr, IDC_SIZENS));
                return;
            }
        }
    }
    CContainerUI::DoEvent(event);
}

void CVerticalLayoutUI::DoPostPaint(HDC hDC, const RECT& /*rcPaint*/) {
    if ((m_uButtonState & kDragging) != 0 && !m_bImmMode) {
        CRenderEngine::DrawColor(hDC, GetThumbRect(true), 0xAA000000);
    }
}

}  // namespace TarselUI
