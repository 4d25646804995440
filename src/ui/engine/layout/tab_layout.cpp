// One child at a time.

#include "ui/engine/layout/tab_layout.h"

#include <cstdlib>
#include <cwchar>

#include "ui/engine/controls/layout_math.h"
#include "ui/engine/controls/paint_manager.h"

namespace TarselUI {

LPCWSTR CTabLayoutUI::GetClass() const { return L"TabLayoutUI"; }

LPVOID CTabLayoutUI::GetInterface(LPCWSTR pstrName) {
    if (pstrName && std::wcscmp(pstrName, L"TabLayout") == 0) return static_cast<CTabLayoutUI*>(this);
    return CContainerUI::GetInterface(pstrName);
}

bool CTabLayoutUI::Add(CControlUI* pControl) { return AddAt(pControl, GetCount()); }

bool CTabLayoutUI::AddAt(CControlUI* pControl, int iIndex) {
    if (!CContainerUI::AddAt(pControl, iIndex)) return false;
    if (m_iCurSel == -1 && pControl->IsVisible()) {
        m_iCurSel = iIndex;
    } else {
        if (m_iCurSel >= iIndex) ++m_iCurSel;
        pControl->SetVisible(false);
    }
    return true;
}

bool CTabLayoutUI::Remove(CControlUI* pControl) {
    const int index = GetItemIndex(pControl);
    if (index < 0) return false;
    return RemoveAt(index);
}

bool CTabLayoutUI::RemoveAt(int iIndex) {
    if (!GetItemAt(iIndex)) return false;
    const bool wasSelected = iIndex == m_iCurSel;
    if (!CContainerUI::RemoveAt(iIndex)) return false;
    if (iIndex < m_iCurSel) {
        --m_iCurSel;
    } else if (wasSelected) {
        Reselect(iIndex);
    }
    return true;
}

void CTabLayoutUI::RemoveAll() {
    m_iCurSel = -1;
    CContainerUI::RemoveAll();
}

void CTabLayoutUI::Reselect(int preferred) {
    const int count = GetCount();
    if (count == 0) {
        m_iCurSel = -1;
        return;
    }
    m_iCurSel = preferred < count ? preferred : count - 1;
    for (int i = 0; i < count; ++i) GetItemAt(i)->SetVisible(i == m_iCurSel);
}

bool CTabLayoutUI::SelectItem(int iIndex) {
    if (iIndex < 0 || iIndex >= GetCount()) return false;
    if (iIndex == m_iCurSel) return true;
    const int old = m_iCurSel;
    m_iCurSel = iIndex;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = GetItemAt(i);
        child->SetVisible(i == iIndex);
        if (i == iIndex && m_pManager) child->SetFocus();
    }
    SetPos(m_rcItem);
    NeedParentUpdate();
    if (m_pManager) {
        m_pManager->SetNextTabControl(false);
        m_pManager->SendNotify(this, L"tabselect", static_cast<WPARAM>(m_iCurSel), static_cast<LPARAM>(old));
    }
    return true;
}

bool CTabLayoutUI::SelectItem(CControlUI* pControl) {
    const int index = GetItemIndex(pControl);
    return index >= 0 && SelectItem(index);
}

void CTabLayoutUI::SetPos(RECT rc) {
    CControlUI::SetPos(rc);
    CUIRect area = m_rcItem;
    area.Deflate(m_rcInset);
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible()) continue;
        if (child->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        if (i != m_iCurSel) continue;
        const RECT padding = child->GetPadding();
        CUIRect cell = area;
        cell.Deflate(padding);
        SIZE size = child->EstimateSize(SIZE{cell.GetWidth(), cell.GetHeight()});
        if (size.cx == 0) size.cx = cell.GetWidth();
        if (size.cy == 0) size.cy = cell.GetHeight();
        size.cx = ClampExtent(size.cx, child->GetMinWidth(), child->GetMaxWidth());
        size.cy = ClampExtent(size.cy, child->GetMinHeight(), child->GetMaxHeight());
        child->SetPos(RECT{cell.left, cell.top, cell.left + size.cx, cell.top + size.cy});
    }
}

void CTabLayoutUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) {
    if (!pstrName || !pstrValue) return;
    if (std::wcscmp(pstrName, L"selectedid") == 0) {
        SelectItem(static_cast<int>(std::wcstol(pstrValue, nullptr, 10)));
    } else {
        CContainerUI::SetAttribute(pstrName, pstrValue);
    }
}

}  // namespace TarselUI
