// Rows of cells.

#include "ui/engine/layout/tile_layout.h"

#include <cstdlib>
#include <cwchar>

#include "ui/engine/controls/layout_math.h"
#include "ui/engine/controls/scroll_bar.h"
#include "ui/engine/render/value_syntax.h"

namespace TarselUI {

LPCWSTR CTileLayoutUI::GetClass() const { return L"TileLayoutUI"; }

LPVOID CTileLayoutUI::GetInterface(LPCWSTR pstrName) {
    if (pstrName && std::wcscmp(pstrName, L"TileLayout") == 0) return static_cast<CTileLayoutUI*>(this);
    return CContainerUI::GetInterface(pstrName);
}

void CTileLayoutUI::SetItemSize(SIZE szItem) {
    if (szItem.cx < 0 || szItem.cy < 0) return;
    m_szItem = szItem;
    NeedUpdate();
}

void CTileLayoutUI::SetColumns(int nCols) {
    if (nCols <= 0) return;
    m_nColumns = nCols;
    NeedUpdate();
}

void CTileLayoutUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) {
    if (!pstrName || !pstrValue) return;
    if (std::wcscmp(pstrName, L"itemsize") == 0) {
        long v[2];
        ParseIntList(pstrValue, v, 2);
        SetItemSize(SIZE{v[0], v[1]});
    } else if (std::wcscmp(pstrName, L"columns") == 0) {
        SetColumns(static_cast<int>(std::wcstol(pstrValue, nullptr, 10)));
    } else {
        CContainerUI::SetAttribute(pstrName, pstrValue);
    }
}

void CTileLayoutUI::SetPos(RECT rc) {
    CControlUI::SetPos(rc);
    const CUIRect area = ContentRect();
    if (m_items.IsEmpty()) {
        ProcessScrollBar(area, 0, 0);
        return;
    }

    const int columns = TileColumnCount(area.GetWidth(), m_szItem.cx, m_iChildPadding, m_nColumns);
    const int cellWidth = m_szItem.cx > 0 ? m_szItem.cx : TileCellWidth(area.GetWidth(), columns, m_iChildPadding);

    // The flowing children, in order, so rows can be measured first.
    CStdPtrArray flow;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible()) continue;
        if (child->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        flow.Add(child);
    }

    // Positions run in 64 bits: hostile item sizes and paddings must not
    // wrap around; each rectangle is brought back into range.
    long long y = area.top;
    if (IsVerticalBarShown()) y -= m_pVerticalScrollBar->GetScrollPos();
    long long needed = 0;
    const int count = flow.GetSize();
    for (int first = 0, last = 0; first < count; first = last) {
        last = count - first > columns ? first + columns : count;
        int rowHeight = m_szItem.cy;
        if (rowHeight <= 0) {
            for (int i = first; i < last; ++i) {
                auto* child = static_cast<CControlUI*>(flow.GetAt(i));
                const RECT padding = child->GetPadding();
                const SIZE estimate = child->EstimateSize(SIZE{cellWidth, area.GetHeight()});
                const int height = SaturateToInt(
                    static_cast<long long>(ClampExtent(estimate.cy, child->GetMinHeight(), child->GetMaxHeight())) +
                    padding.top + padding.bottom);
                if (height > rowHeight) rowHeight = height;
            }
            // Rows of stretchable items are square cells.
            if (rowHeight <= 0) rowHeight = cellWidth;
        }
        long long x = area.left;
        for (int i = first; i < last; ++i) {
            auto* child = static_cast<CControlUI*>(flow.GetAt(i));
            const RECT padding = child->GetPadding();
            const int roomX = SaturateToInt(static_cast<long long>(cellWidth) - padding.left - padding.right);
            const int roomY = SaturateToInt(static_cast<long long>(rowHeight) - padding.top - padding.bottom);
            const SIZE estimate = child->EstimateSize(SIZE{roomX, roomY});
            int width = estimate.cx > 0 ? estimate.cx : roomX;
            int height = estimate.cy > 0 ? estimate.cy : roomY;
            width = ClampExtent(width < 0 ? 0 : width, child->GetMinWidth(), child->GetMaxWidth());
            height = ClampExtent(height < 0 ? 0 : height, child->GetMinHeight(), child->GetMaxHeight());
            const long long left = x + padding.left + (roomX > width ? (static_cast<long long>(roomX) - width) / 2 : 0);
            const long long top = y + padding.top;
            child->SetPos(RECT{SaturateToInt(left), SaturateToInt(top), SaturateToInt(left + width),
                               SaturateToInt(top + height)});
            x += static_cast<long long>(cellWidth) + m_iChildPadding;
        }
        y += static_cast<long long>(rowHeight) + m_iChildPadding;
        needed += static_cast<long long>(rowHeight) + (first > 0 ? m_iChildPadding : 0);
    }
    ProcessScrollBar(area, 0, SaturateToInt(needed));
}

}  // namespace TarselUI
