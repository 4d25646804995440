// Placement along an axis and the separator on the layout's edge.

#include "ui/engine/layout/box_layout.h"

#include <cstdlib>
#include <cwchar>

#include "ui/engine/controls/layout_math.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/controls/scroll_bar.h"
#include "ui/engine/layout/separator_drag.h"
#include "ui/engine/render/render_engine.h"

namespace TarselUI {

namespace {
constexpr UINT kDragging = 0x40;
}

UINT CBoxLayoutUI::GetControlFlags() const {
    return IsEnabled() && m_iSepSize != 0 ? UIFLAG_SETCURSOR : 0;
}

int CBoxLayoutUI::ScrollOffset(bool verticalBar) const {
    if (verticalBar) return IsVerticalBarShown() ? m_pVerticalScrollBar->GetScrollPos() : 0;
    return IsHorizontalBarShown() ? m_pHorizontalScrollBar->GetScrollPos() : 0;
}

void CBoxLayoutUI::SetPos(RECT rc) {
    CControlUI::SetPos(rc);
    if (m_items.IsEmpty()) {
        CUIRect insetOnly = m_rcItem;
        insetOnly.Deflate(m_rcInset);
        ProcessScrollBar(m_axis.barsTrimmedWhenEmpty ? ContentRect() : static_cast<RECT>(insetOnly), 0, 0);
        return;
    }
    const CUIRect area = ContentRect();

    // Not exchanged with the axis: in both layouts the horizontal bar's range
    // widens the room. The vertical bar's range is derived from what the
    // children need (Pass 3), so it must not feed back into their sizes.
    SIZE available{area.GetWidth(), area.GetHeight()};
    if (IsHorizontalBarShown()) available.cx += m_pHorizontalScrollBar->GetScrollRange();

    // Pass 1: measure what the fixed children, all paddings and the gaps
    // take along the axis, and count the stretchable children.
    const Measure measure = MeasureChildren(available);
    // Pass 2: place the children in order; the stretchable ones share what
    // the fixed ones leave.
    const int needed = PlaceChildren(area, available, measure);
    // Pass 3: show, resize or hide the vertical bar for what the children
    // need; this may lay the layout out again.
    const SIZE required = m_axis.MakeSize(needed, 0);
    ProcessScrollBar(area, required.cx, required.cy);
}

CBoxLayoutUI::Measure CBoxLayoutUI::MeasureChildren(SIZE available) {
    // A child estimating 0 along the axis stretches and brings only its
    // paddings.
    Measure measure;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible() || child->IsFloat()) continue;
        int extent = m_axis.Along(child->EstimateSize(available));
        if (extent == 0) {
            ++measure.stretchCount;
        } else {
            extent = ClampExtent(extent, m_axis.MinAlong(*child), m_axis.MaxAlong(*child));
        }
        const RECT padding = child->GetPadding();
        measure.fixedTotal += extent + m_axis.Start(padding) + m_axis.End(padding);
        ++measure.placed;
    }
    measure.fixedTotal += (measure.placed - 1) * m_iChildPadding;
    return measure;
}

int CBoxLayoutUI::PlaceChildren(const RECT& area, SIZE available, const Measure& measure) {
    // Stretchable children get an even share, the last of them the
    // remainder.
    const int share = StretchShare(m_axis.Along(available), measure.fixedTotal, measure.stretchCount);
    int pos = m_axis.Start(area) - ScrollOffset(m_axis.vertical);
    const int cross = m_axis.CrossStart(area) - (m_axis.crossFollowsScroll ? ScrollOffset(!m_axis.vertical) : 0);
    int remaining = m_axis.Along(available);
    int fixedRemaining = measure.fixedTotal;
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
        const int before = m_axis.Start(padding);
        const int after = m_axis.End(padding);
        remaining -= before;
        // What is still ahead, without this child's paddings and the gaps
        // already passed: counting those twice would leave a blank strip
        // after the last stretchable child.
        fixedRemaining -= before + after;
        const SIZE estimate = child->EstimateSize(m_axis.MakeSize(remaining, m_axis.Across(available)));
        int extent = 0;
        if (m_axis.Along(estimate) == 0) {
            ++stretchSeen;
            extent = share;
            // The last stretchable child takes the rounding remainder.
            if (stretchSeen == measure.stretchCount) {
                extent = remaining - after - fixedRemaining;
                if (extent < 0) extent = 0;
            }
            extent = ClampExtent(extent, m_axis.MinAlong(*child), m_axis.MaxAlong(*child));
        } else {
            extent = ClampExtent(m_axis.Along(estimate), m_axis.MinAlong(*child), m_axis.MaxAlong(*child));
            fixedRemaining -= extent;
        }
        // Across the axis the child fills the layout less its paddings. The
        // room across is the content breadth (for a vertical layout widened
        // by the horizontal bar's range, see SetPos).
        const int crossBefore = m_axis.CrossStart(padding);
        int breadth = m_axis.FixedAcross(*child);
        if (breadth == 0) breadth = m_axis.Across(available) - crossBefore - m_axis.CrossEnd(padding);
        if (breadth < 0) breadth = 0;
        breadth = ClampExtent(breadth, m_axis.MinAcross(*child), m_axis.MaxAcross(*child));

        // The padding after the child lies inside its rectangle; the
        // padding after it across the axis does not.
        const int start = pos + before;
        const int crossStart = cross + crossBefore;
        child->SetPos(m_axis.MakeRect(start, start + extent + after, crossStart, crossStart + breadth));
        pos += extent + m_iChildPadding + before + after;
        needed += extent + before + after;
        remaining -= extent + m_iChildPadding + after;
        fixedRemaining -= m_iChildPadding;
    }
    return needed + (measure.placed - 1) * m_iChildPadding;
}

void CBoxLayoutUI::SetSepImmMode(bool bImmediately) {
    if (m_bImmMode == bImmediately) return;
    if ((m_uButtonState & kDragging) != 0 && !m_bImmMode && m_pManager) m_pManager->RemovePostPaint(this);
    m_bImmMode = bImmediately;
}

void CBoxLayoutUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) {
    if (!pstrName || !pstrValue) return;
    if (std::wcscmp(pstrName, m_axis.sepAttribute) == 0) {
        SetSepSize(static_cast<int>(std::wcstol(pstrValue, nullptr, 10)));
    } else if (std::wcscmp(pstrName, L"sepimm") == 0) {
        SetSepImmMode(std::wcscmp(pstrValue, L"true") == 0);
    } else {
        CContainerUI::SetAttribute(pstrName, pstrValue);
    }
}

RECT CBoxLayoutUI::GetThumbRect(bool bUseNew) const {
    if (m_iSepSize == 0) return RECT{};
    const RECT box = (bUseNew && (m_uButtonState & kDragging) != 0) ? static_cast<RECT>(m_rcNewPos)
                                                                    : static_cast<RECT>(m_rcItem);
    const SeparatorSpan thumb =
        SeparatorThumb(m_iSepSize, SeparatorSpan{m_axis.Start(box), m_axis.End(box)}, m_axis.thumbHeldInside);
    return m_axis.MakeRect(thumb.low, thumb.high, m_axis.CrossStart(box), m_axis.CrossEnd(box));
}

void CBoxLayoutUI::DoEvent(TEventUI& event) {
    if (m_iSepSize != 0) {
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
            const int point = m_axis.Along(event.ptMouse);
            const int delta = point - m_axis.Along(m_ptLastMouse);
            m_ptLastMouse = event.ptMouse;
            SeparatorSpan span{m_axis.Start(m_rcNewPos), m_axis.End(m_rcNewPos)};
            if (!DragSeparator(m_iSepSize, delta, point, m_axis.MinAlong(*this), m_axis.MaxAlong(*this), span)) return;
            CUIRect oldThumb = GetThumbRect(true);
            m_axis.Start(m_rcNewPos) = span.low;
            m_axis.End(m_rcNewPos) = span.high;
            m_axis.Along(m_cxyFixed) = m_axis.Length(m_rcNewPos);
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
                ::SetCursor(::LoadCursorW(nullptr, m_axis.ResizeCursor()));
                return;
            }
        }
    }
    CContainerUI::DoEvent(event);
}

void CBoxLayoutUI::DoPostPaint(HDC hDC, const RECT& /*rcPaint*/) {
    if ((m_uButtonState & kDragging) != 0 && !m_bImmMode) {
        CRenderEngine::DrawColor(hDC, GetThumbRect(true), 0xAA000000);
    }
}

}  // namespace TarselUI
