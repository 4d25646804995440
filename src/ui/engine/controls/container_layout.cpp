// The container's placement, painting and scrolling.

#include <cstdlib>

#include "ui/engine/controls/container.h"
#include "ui/engine/controls/layout_math.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/controls/scroll_bar.h"
#include "ui/engine/render/render_engine.h"

namespace TarselUI {

void CContainerUI::SetPos(RECT rc) {
    CControlUI::SetPos(rc);
    if (m_items.IsEmpty()) return;
    CUIRect content = m_rcItem;
    content.Deflate(m_rcInset);
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible()) continue;
        if (child->IsFloat()) {
            SetFloatPos(i);
        } else {
            child->SetPos(content);
        }
    }
}

void CContainerUI::SetFloatPos(int iIndex) {
    CControlUI* child = GetItemAt(iIndex);
    if (!child || !child->IsVisible() || !child->IsFloat()) return;
    TRelativePosUI relative = child->GetRelativePos();
    const RECT rc =
        FloatChildRect(m_rcItem, child->GetFixedXY(), SIZE{child->GetFixedWidth(), child->GetFixedHeight()}, relative);
    if (relative.bRelative) child->SetRelativeParentSize(relative.szParent);
    child->SetPos(rc);
}

void CContainerUI::DoPaint(HDC hDC, const RECT& rcPaint) {
    RECT visible{};
    if (!::IntersectRect(&visible, &rcPaint, &m_rcItem)) return;
    CRenderClip clip;
    CRenderClip::GenerateClip(hDC, visible, clip);
    CControlUI::DoPaint(hDC, rcPaint);

    if (!m_items.IsEmpty()) {
        const RECT content = ContentRect();
        RECT inside{};
        RECT scratch{};
        if (!::IntersectRect(&inside, &rcPaint, &content)) {
            // Only floating children can reach outside the content area.
            for (int i = 0; i < m_items.GetSize(); ++i) {
                CControlUI* child = GetItemAt(i);
                if (!child->IsVisible() || !child->IsFloat()) continue;
                const RECT& pos = child->GetPos();
                if (!::IntersectRect(&scratch, &rcPaint, &pos)) continue;
                if (!::IntersectRect(&scratch, &m_rcItem, &pos)) continue;
                child->DoPaint(hDC, rcPaint);
            }
        } else {
            CRenderClip childClip;
            CRenderClip::GenerateClip(hDC, inside, childClip);
            for (int i = 0; i < m_items.GetSize(); ++i) {
                CControlUI* child = GetItemAt(i);
                if (!child->IsVisible()) continue;
                const RECT& pos = child->GetPos();
                if (!::IntersectRect(&scratch, &rcPaint, &pos)) continue;
                if (child->IsFloat()) {
                    if (!::IntersectRect(&scratch, &m_rcItem, &pos)) continue;
                    CRenderClip::UseOldClipBegin(hDC, childClip);
                    child->DoPaint(hDC, rcPaint);
                    CRenderClip::UseOldClipEnd(hDC, childClip);
                } else {
                    if (!::IntersectRect(&scratch, &content, &pos)) continue;
                    child->DoPaint(hDC, rcPaint);
                }
            }
        }
    }

    RECT scratch{};
    for (CScrollBarUI* bar : {m_pVerticalScrollBar, m_pHorizontalScrollBar}) {
        if (!bar || !bar->IsVisible()) continue;
        const RECT& pos = bar->GetPos();
        if (::IntersectRect(&scratch, &rcPaint, &pos)) bar->DoPaint(hDC, rcPaint);
    }
}

SIZE CContainerUI::GetScrollPos() const {
    SIZE pos{0, 0};
    if (IsVerticalBarShown()) pos.cy = m_pVerticalScrollBar->GetScrollPos();
    if (IsHorizontalBarShown()) pos.cx = m_pHorizontalScrollBar->GetScrollPos();
    return pos;
}

SIZE CContainerUI::GetScrollRange() const {
    SIZE range{0, 0};
    if (IsVerticalBarShown()) range.cy = m_pVerticalScrollBar->GetScrollRange();
    if (IsHorizontalBarShown()) range.cx = m_pHorizontalScrollBar->GetScrollRange();
    return range;
}

void CContainerUI::SetScrollPos(SIZE szPos) {
    int dy = 0;
    if (IsVerticalBarShown()) {
        const int old = m_pVerticalScrollBar->GetScrollPos();
        m_pVerticalScrollBar->SetScrollPos(szPos.cy);
        dy = m_pVerticalScrollBar->GetScrollPos() - old;
    }
    int dx = 0;
    if (IsHorizontalBarShown()) {
        const int old = m_pHorizontalScrollBar->GetScrollPos();
        m_pHorizontalScrollBar->SetScrollPos(szPos.cx);
        dx = m_pHorizontalScrollBar->GetScrollPos() - old;
    }
    if (dx == 0 && dy == 0) return;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible() || child->IsFloat()) continue;
        CUIRect pos = child->GetPos();
        pos.Offset(-dx, -dy);
        child->SetPos(pos);
    }
    Invalidate();
}

namespace {
int LineHeight(CPaintManagerUI* manager) {
    if (!manager) return 8;
    return manager->GetDefaultFontInfo()->tm.tmHeight + 8;
}
}  // namespace

void CContainerUI::LineUp() {
    SIZE pos = GetScrollPos();
    pos.cy -= LineHeight(m_pManager);
    SetScrollPos(pos);
}

void CContainerUI::LineDown() {
    SIZE pos = GetScrollPos();
    pos.cy += LineHeight(m_pManager);
    SetScrollPos(pos);
}

void CContainerUI::PageUp() {
    SIZE pos = GetScrollPos();
    int page = m_rcItem.bottom - m_rcItem.top - m_rcInset.top - m_rcInset.bottom;
    if (IsHorizontalBarShown()) page -= m_pHorizontalScrollBar->GetFixedHeight();
    pos.cy -= page;
    SetScrollPos(pos);
}

void CContainerUI::PageDown() {
    SIZE pos = GetScrollPos();
    int page = m_rcItem.bottom - m_rcItem.top - m_rcInset.top - m_rcInset.bottom;
    if (IsHorizontalBarShown()) page -= m_pHorizontalScrollBar->GetFixedHeight();
    pos.cy += page;
    SetScrollPos(pos);
}

void CContainerUI::HomeUp() {
    SIZE pos = GetScrollPos();
    pos.cy = 0;
    SetScrollPos(pos);
}

void CContainerUI::EndDown() {
    SIZE pos = GetScrollPos();
    pos.cy = GetScrollRange().cy;
    SetScrollPos(pos);
}

void CContainerUI::LineLeft() {
    SIZE pos = GetScrollPos();
    pos.cx -= 8;
    SetScrollPos(pos);
}

void CContainerUI::LineRight() {
    SIZE pos = GetScrollPos();
    pos.cx += 8;
    SetScrollPos(pos);
}

void CContainerUI::PageLeft() {
    SIZE pos = GetScrollPos();
    int page = m_rcItem.right - m_rcItem.left - m_rcInset.left - m_rcInset.right;
    if (IsVerticalBarShown()) page -= m_pVerticalScrollBar->GetFixedWidth();
    pos.cx -= page;
    SetScrollPos(pos);
}

void CContainerUI::PageRight() {
    SIZE pos = GetScrollPos();
    int page = m_rcItem.right - m_rcItem.left - m_rcInset.left - m_rcInset.right;
    if (IsVerticalBarShown()) page -= m_pVerticalScrollBar->GetFixedWidth();
    pos.cx += page;
    SetScrollPos(pos);
}

void CContainerUI::HomeLeft() {
    SIZE pos = GetScrollPos();
    pos.cx = 0;
    SetScrollPos(pos);
}

void CContainerUI::EndRight() {
    SIZE pos = GetScrollPos();
    pos.cx = GetScrollRange().cx;
    SetScrollPos(pos);
}

void CContainerUI::EnableScrollBar(bool bEnableVertical, bool bEnableHorizontal) {
    auto update = [this](CScrollBarUI*& bar, bool wanted, bool horizontal) {
        if (!wanted) {
            delete bar;
            bar = nullptr;
            return;
        }
        if (bar) return;
        bar = new CScrollBarUI;
        bar->SetOwner(this);
        bar->SetManager(m_pManager, this, false);
        if (horizontal) bar->SetHorizontal(true);
        if (m_pManager) {
            LPCWSTR style = m_pManager->GetDefaultAttributeList(horizontal ? L"HScrollBar" : L"VScrollBar");
            if (style) bar->ApplyAttributeList(style);
        }
    };
    update(m_pVerticalScrollBar, bEnableVertical, false);
    update(m_pHorizontalScrollBar, bEnableHorizontal, true);
    NeedUpdate();
}

CScrollBarUI* CContainerUI::GetVerticalScrollBar() const { return m_pVerticalScrollBar; }
CScrollBarUI* CContainerUI::GetHorizontalScrollBar() const { return m_pHorizontalScrollBar; }

void CContainerUI::ProcessScrollBar(RECT rc, int /*cxRequired*/, int cyRequired) {
    if (IsHorizontalBarShown()) {
        m_pHorizontalScrollBar->SetPos(
            RECT{rc.left, rc.bottom, rc.right, rc.bottom + m_pHorizontalScrollBar->GetFixedHeight()});
    }
    if (!m_pVerticalScrollBar) return;

    const int height = rc.bottom - rc.top;
    if (cyRequired > height && !m_pVerticalScrollBar->IsVisible()) {
        m_pVerticalScrollBar->SetVisible(true);
        m_pVerticalScrollBar->SetScrollRange(cyRequired - height);
        m_pVerticalScrollBar->SetScrollPos(0);
        m_bScrollProcess = true;
        SetPos(m_rcItem);
        m_bScrollProcess = false;
        return;
    }
    if (!m_pVerticalScrollBar->IsVisible()) return;

    const int excess = cyRequired - height;
    if (excess <= 0 && !m_bScrollProcess) {
        m_pVerticalScrollBar->SetVisible(false);
        m_pVerticalScrollBar->SetScrollPos(0);
        m_pVerticalScrollBar->SetScrollRange(0);
        SetPos(m_rcItem);
        return;
    }
    m_pVerticalScrollBar->SetPos(
        RECT{rc.right, rc.top, rc.right + m_pVerticalScrollBar->GetFixedWidth(), rc.bottom});
    if (m_pVerticalScrollBar->GetScrollRange() != excess) {
        const int oldPos = m_pVerticalScrollBar->GetScrollPos();
        m_pVerticalScrollBar->SetScrollRange(std::abs(excess));
        if (m_pVerticalScrollBar->GetScrollRange() == 0) {
            m_pVerticalScrollBar->SetVisible(false);
            m_pVerticalScrollBar->SetScrollPos(0);
        }
        if (oldPos > m_pVerticalScrollBar->GetScrollPos()) SetPos(m_rcItem);
    }
}

}  // namespace TarselUI
