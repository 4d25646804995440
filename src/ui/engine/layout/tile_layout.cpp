// Rows of cells.

#include "ui/engine/layout/tile_layout.h"

#include <cstdlib>
#include <cwchar>

#include "ui/engine/controls/scroll_bar.h"
#include "ui/engine/layout/layout_math.h"
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

    int columns = m_nColumns;
    if (m_szItem.cx > 0) {
        columns = (area.GetWidth() + m_iChildPadding) / (m_szItem.cx + m_iChildPadding);
        if (columns < 1) columns = 1;
    }
    int cellWidth = m_szItem.cx;
    if (cellWidth <= 0) {
        cellWidth = (area.GetWidth() - (columns - 1) * m_iChildPadding) / columns;
        if (cellWidth < 0) cellWidth = 0;
    }

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

    int y = area.top;
    if (IsVerticalBarShown()) y -= m_pVerticalScrollBar->GetScrollPos();
    int needed = 0;
    for (int first = 0; first < flow.GetSize(); first += columns) {
        const int last = first + columns < flow.GetSize() ? first + columns : flow.GetSize();
        int rowHeight = m_szItem.cy;
        if (rowHeight <= 0) {
            for (int i = first; i < last; ++i) {
                auto* child = static_cast<CControlUI*>(flow.GetAt(i));
                const RECT padding = child->GetPadding();
                const SIZE estimate = child->EstimateSize(SIZE{cellWidth, area.GetHeight()});
                const int height = ClampExtent(estimate.cy, child->GetMinHeight(), child->GetMaxHeight()) +
                                   padding.top + padding.bottom;
                if (height > rowHeight) rowHeight = height;
            }
            // Rows of stretchable items are square cells.
            if (rowHeight <= 0) rowHeight = cellWidth;
        }
        int x = area.left;
        for (int i = first; i < last; ++i) {
            auto* child = static_cast<CControlUI*>(flow.GetAt(i));
            const RECT padding = child->GetPadding();
            const int roomX = cellWidth - padding.left - padding.right;
            const int roomY = rowHeight - padding.top - padding.bottom;
            const SIZE estimate = child->EstimateSize(SIZE{roomX, roomY});
            int width = estimate.cx > 0 ? estimate.cx : roomX;
            int height = estimate.cy > 0 ? estimate.cy : roomY;
            width = ClampExtent(width < 0 ? 0 : width, child->GetMinWidth(), child->GetMaxWidth());
            height = ClampExtent(height < 0 ? 0 : height, child->GetMinHeight(), child->GetMaxHeight());
            const int left = x + padding.left + (roomX > width ? (roomX - width) / 2 : 0);
            const int top = y + padding.top;
            child->SetPos(RECT{left, top, left + width, top + height});
            x += cellWidth + m_iChildPadding;
        }
        y += rowHeight + m_iChildPadding;
        needed += rowHeight + (first > 0 ? m_iChildPadding : 0);
    }
    ProcessScrollBar(area, 0, needed);
}

}  // namespace TarselUI
