// The container's children: ownership, visibility of the subtree, events
// for the scroll bars, searching and attributes.

#include "ui/engine/controls/container.h"

#include <cstdlib>
#include <cwchar>

#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/controls/scroll_bar.h"
#include "ui/engine/render/value_syntax.h"

namespace TarselUI {

CContainerUI::CContainerUI() : m_pContainerInterface(this) {}

CContainerUI::~CContainerUI() {
    // Children must not outlive their container, whatever the manager does.
    m_bDelayedDestroy = false;
    RemoveAll();
    delete m_pVerticalScrollBar;
    delete m_pHorizontalScrollBar;
}

LPCWSTR CContainerUI::GetClass() const { return L"ContainerUI"; }

LPVOID CContainerUI::GetInterface(LPCWSTR pstrName) {
    if (!pstrName) return nullptr;
    if (std::wcscmp(pstrName, L"IContainer") == 0) return static_cast<IContainerUI*>(this);
    if (std::wcscmp(pstrName, L"Container") == 0) return static_cast<CContainerUI*>(this);
    return CControlUI::GetInterface(pstrName);
}

CControlUI* CContainerUI::GetItemAt(int iIndex) const {
    return static_cast<CControlUI*>(m_items.GetAt(iIndex));
}

int CContainerUI::GetItemIndex(CControlUI* pControl) const { return m_items.Find(pControl); }

bool CContainerUI::SetItemIndex(CControlUI* pControl, int iIndex) {
    const int current = m_items.Find(pControl);
    if (current < 0 || iIndex < 0 || iIndex >= m_items.GetSize()) return false;
    if (current == iIndex) return true;
    NeedUpdate();
    m_items.Remove(current);
    return m_items.InsertAt(iIndex, pControl);
}

int CContainerUI::GetCount() const { return m_items.GetSize(); }

bool CContainerUI::Add(CControlUI* pControl) {
    return AddAt(pControl, m_items.GetSize());
}

bool CContainerUI::AddAt(CControlUI* pControl, int iIndex) {
    if (!pControl || iIndex < 0 || iIndex > m_items.GetSize()) return false;
    if (m_pManager) m_pManager->InitControls(pControl, this);
    if (IsVisible()) {
        NeedUpdate();
    } else {
        pControl->SetInternVisible(false);
    }
    return m_items.InsertAt(iIndex, pControl);
}

void CContainerUI::DisposeChild(CControlUI* pControl) {
    if (!m_bAutoDestroy) return;
    if (m_bDelayedDestroy && m_pManager) {
        m_pManager->AddDelayedCleanup(pControl);
    } else {
        delete pControl;
    }
}

bool CContainerUI::Remove(CControlUI* pControl) {
    const int index = m_items.Find(pControl);
    if (index < 0) return false;
    return RemoveAt(index);
}

bool CContainerUI::RemoveAt(int iIndex) {
    auto* child = GetItemAt(iIndex);
    if (!child) return false;
    NeedUpdate();
    // Off the list first: deleting the child may reach back into this list.
    m_items.Remove(iIndex);
    DisposeChild(child);
    return true;
}

void CContainerUI::RemoveAll() {
    CStdPtrArray children(m_items);
    m_items.Empty();
    for (int i = 0; i < children.GetSize(); ++i) DisposeChild(static_cast<CControlUI*>(children.GetAt(i)));
    NeedUpdate();
}

RECT CContainerUI::GetInset() const { return m_rcInset; }

void CContainerUI::SetInset(RECT rcInset) {
    m_rcInset = rcInset;
    NeedUpdate();
}

int CContainerUI::GetChildPadding() const { return m_iChildPadding; }

void CContainerUI::SetChildPadding(int iPadding) {
    m_iChildPadding = iPadding;
    NeedUpdate();
}

bool CContainerUI::IsAutoDestroy() const { return m_bAutoDestroy; }
void CContainerUI::SetAutoDestroy(bool bAuto) { m_bAutoDestroy = bAuto; }
bool CContainerUI::IsDelayedDestroy() const { return m_bDelayedDestroy; }
void CContainerUI::SetDelayedDestroy(bool bDelayed) { m_bDelayedDestroy = bDelayed; }
bool CContainerUI::IsMouseChildEnabled() const { return m_bMouseChildEnabled; }
void CContainerUI::SetMouseChildEnabled(bool bEnable) { m_bMouseChildEnabled = bEnable; }

int CContainerUI::FindSelectable(int iIndex, bool bForward) const {
    const int count = GetCount();
    if (count == 0) return -1;
    if (iIndex < 0) iIndex = 0;
    if (iIndex >= count) iIndex = count - 1;
    auto selectable = [this](int i) {
        CControlUI* item = GetItemAt(i);
        return item->GetInterface(L"ListItem") != nullptr && item->IsVisible() && item->IsEnabled();
    };
    if (bForward) {
        for (int i = iIndex; i < count; ++i) {
            if (selectable(i)) return i;
        }
        return -1;
    }
    for (int i = iIndex; i >= 0; --i) {
        if (selectable(i)) return i;
    }
    return FindSelectable(0, true);
}

void CContainerUI::SetVisible(bool bVisible) {
    if (m_bVisible == bVisible) return;
    CControlUI::SetVisible(bVisible);
    for (int i = 0; i < m_items.GetSize(); ++i) GetItemAt(i)->SetInternVisible(IsVisible());
}

void CContainerUI::SetInternVisible(bool bVisible) {
    CControlUI::SetInternVisible(bVisible);
    for (int i = 0; i < m_items.GetSize(); ++i) GetItemAt(i)->SetInternVisible(IsVisible());
}

void CContainerUI::SetMouseEnabled(bool bEnable) {
    if (m_pVerticalScrollBar) m_pVerticalScrollBar->SetMouseEnabled(bEnable);
    if (m_pHorizontalScrollBar) m_pHorizontalScrollBar->SetMouseEnabled(bEnable);
    CControlUI::SetMouseEnabled(bEnable);
}

void CContainerUI::SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit) {
    for (int i = 0; i < m_items.GetSize(); ++i) GetItemAt(i)->SetManager(pManager, this, bInit);
    if (m_pVerticalScrollBar) m_pVerticalScrollBar->SetManager(pManager, this, bInit);
    if (m_pHorizontalScrollBar) m_pHorizontalScrollBar->SetManager(pManager, this, bInit);
    CControlUI::SetManager(pManager, pParent, bInit);
}

bool CContainerUI::IsVerticalBarShown() const { return m_pVerticalScrollBar && m_pVerticalScrollBar->IsVisible(); }

bool CContainerUI::IsHorizontalBarShown() const {
    return m_pHorizontalScrollBar && m_pHorizontalScrollBar->IsVisible();
}

RECT CContainerUI::ContentRect() const {
    CUIRect rc = m_rcItem;
    rc.left += m_rcInset.left;
    rc.top += m_rcInset.top;
    rc.right -= m_rcInset.right;
    rc.bottom -= m_rcInset.bottom;
    if (IsVerticalBarShown()) rc.right -= m_pVerticalScrollBar->GetFixedWidth();
    if (IsHorizontalBarShown()) rc.bottom -= m_pHorizontalScrollBar->GetFixedHeight();
    return rc;
}

void CContainerUI::DoEvent(TEventUI& event) {
    if (!IsMouseEnabled() && IsMouseEvent(event.Type)) {
        if (m_pParent) {
            m_pParent->DoEvent(event);
        } else {
            CControlUI::DoEvent(event);
        }
        return;
    }
    if (event.Type == UIEVENT_SETFOCUS) {
        m_bFocused = true;
        return;
    }
    if (event.Type == UIEVENT_KILLFOCUS) {
        m_bFocused = false;
        return;
    }
    const bool scrollEvent = event.Type == UIEVENT_KEYDOWN || event.Type == UIEVENT_SCROLLWHEEL;
    if (scrollEvent && IsVerticalBarShown() && m_pVerticalScrollBar->IsEnabled()) {
        if (event.Type == UIEVENT_KEYDOWN) {
            switch (event.chKey) {
            case VK_PRIOR: PageUp(); return;
            case VK_NEXT: PageDown(); return;
            case VK_END: EndDown(); return;
            case VK_HOME: HomeUp(); return;
            case VK_UP: LineUp(); return;
            case VK_DOWN: LineDown(); return;
            default: break;
            }
        } else if (LOWORD(event.wParam) == SB_LINEUP) {
            LineUp();
            return;
        } else if (LOWORD(event.wParam) == SB_LINEDOWN) {
            LineDown();
            return;
        }
        CControlUI::DoEvent(event);
        return;
    }
    if (scrollEvent && IsHorizontalBarShown() && m_pHorizontalScrollBar->IsEnabled()) {
        if (event.Type == UIEVENT_KEYDOWN) {
            switch (event.chKey) {
            case VK_PRIOR: PageLeft(); return;
            case VK_NEXT: PageRight(); return;
            case VK_END: EndRight(); return;
            case VK_HOME: HomeLeft(); return;
            case VK_UP: LineLeft(); return;
            case VK_DOWN: LineRight(); return;
            default: break;
            }
        } else if (LOWORD(event.wParam) == SB_LINEUP) {
            LineLeft();
            return;
        } else if (LOWORD(event.wParam) == SB_LINEDOWN) {
            LineRight();
            return;
        }
        CControlUI::DoEvent(event);
        return;
    }
    CControlUI::DoEvent(event);
}

CControlUI* CContainerUI::FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags) {
    if ((uFlags & UIFIND_VISIBLE) != 0 && !IsVisible()) return nullptr;
    if ((uFlags & UIFIND_ENABLED) != 0 && !IsEnabled()) return nullptr;
    if ((uFlags & UIFIND_HITTEST) != 0) {
        if (!::PtInRect(&m_rcItem, *static_cast<POINT*>(pData))) return nullptr;
        if (!m_bMouseChildEnabled) {
            CControlUI* result = nullptr;
            if (m_pVerticalScrollBar) result = m_pVerticalScrollBar->FindControl(Proc, pData, uFlags);
            if (!result && m_pHorizontalScrollBar) result = m_pHorizontalScrollBar->FindControl(Proc, pData, uFlags);
            if (!result) result = CControlUI::FindControl(Proc, pData, uFlags);
            return result;
        }
    }

    CControlUI* result = nullptr;
    if (m_pVerticalScrollBar) result = m_pVerticalScrollBar->FindControl(Proc, pData, uFlags);
    if (!result && m_pHorizontalScrollBar) result = m_pHorizontalScrollBar->FindControl(Proc, pData, uFlags);
    if (result) return result;

    if ((uFlags & UIFIND_ME_FIRST) != 0) {
        result = CControlUI::FindControl(Proc, pData, uFlags);
        if (result) return result;
    }

    const RECT content = ContentRect();
    const int count = m_items.GetSize();
    const bool topFirst = (uFlags & UIFIND_TOP_FIRST) != 0;
    for (int n = 0; n < count; ++n) {
        CControlUI* child = GetItemAt(topFirst ? count - 1 - n : n);
        result = child->FindControl(Proc, pData, uFlags);
        if (!result) continue;
        if ((uFlags & UIFIND_HITTEST) == 0) return result;
        if (result->IsFloat() || ::PtInRect(&content, *static_cast<POINT*>(pData))) return result;
    }

    if ((uFlags & UIFIND_ME_FIRST) == 0) return CControlUI::FindControl(Proc, pData, uFlags);
    return nullptr;
}

void CContainerUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) {
    if (!pstrName || !pstrValue) return;
    auto is = [pstrName](LPCWSTR name) { return std::wcscmp(pstrName, name) == 0; };
    if (is(L"inset")) {
        SetInset(ParseRectValue(pstrValue));
    } else if (is(L"mousechild")) {
        SetMouseChildEnabled(std::wcscmp(pstrValue, L"true") == 0);
    } else if (is(L"vscrollbar")) {
        EnableScrollBar(std::wcscmp(pstrValue, L"true") == 0, m_pHorizontalScrollBar != nullptr);
    } else if (is(L"vscrollbarstyle")) {
        EnableScrollBar(true, m_pHorizontalScrollBar != nullptr);
        if (m_pVerticalScrollBar) m_pVerticalScrollBar->ApplyAttributeList(pstrValue);
    } else if (is(L"hscrollbar")) {
        EnableScrollBar(m_pVerticalScrollBar != nullptr, std::wcscmp(pstrValue, L"true") == 0);
    } else if (is(L"hscrollbarstyle")) {
        EnableScrollBar(m_pVerticalScrollBar != nullptr, true);
        if (m_pHorizontalScrollBar) m_pHorizontalScrollBar->ApplyAttributeList(pstrValue);
    } else if (is(L"childpadding")) {
        SetChildPadding(static_cast<int>(std::wcstol(pstrValue, nullptr, 10)));
    } else {
        CControlUI::SetAttribute(pstrName, pstrValue);
    }
}

CControlUI* CContainerUI::FindSubControl(LPCWSTR pstrSubControlName) {
    if (!m_pManager || !pstrSubControlName) return nullptr;
    return m_pManager->FindSubControlByName(this, pstrSubControlName);
}

CUIString CContainerUI::GetSubControlText(LPCWSTR pstrSubControlName) {
    CControlUI* sub = FindSubControl(pstrSubControlName);
    return sub ? sub->GetText() : CUIString();
}

bool CContainerUI::SetSubControlText(LPCWSTR pstrSubControlName, LPCWSTR pstrText) {
    CControlUI* sub = FindSubControl(pstrSubControlName);
    if (!sub) return false;
    sub->SetText(pstrText);
    return true;
}

int CContainerUI::GetSubControlFixedHeight(LPCWSTR pstrSubControlName) {
    CControlUI* sub = FindSubControl(pstrSubControlName);
    return sub ? sub->GetFixedHeight() : -1;
}

bool CContainerUI::SetSubControlFixedHeight(LPCWSTR pstrSubControlName, int cy) {
    CControlUI* sub = FindSubControl(pstrSubControlName);
    if (!sub) return false;
    sub->SetFixedHeight(cy);
    return true;
}

int CContainerUI::GetSubControlFixedWdith(LPCWSTR pstrSubControlName) {
    CControlUI* sub = FindSubControl(pstrSubControlName);
    return sub ? sub->GetFixedWidth() : -1;
}

bool CContainerUI::SetSubControlFixedWdith(LPCWSTR pstrSubControlName, int cx) {
    CControlUI* sub = FindSubControl(pstrSubControlName);
    if (!sub) return false;
    sub->SetFixedWidth(cx);
    return true;
}

CUIString CContainerUI::GetSubControlUserData(LPCWSTR pstrSubControlName) {
    CControlUI* sub = FindSubControl(pstrSubControlName);
    return sub ? sub->GetUserData() : CUIString();
}

bool CContainerUI::SetSubControlUserData(LPCWSTR pstrSubControlName, LPCWSTR pstrText) {
    CControlUI* sub = FindSubControl(pstrSubControlName);
    if (!sub) return false;
    sub->SetUserData(pstrText);
    return true;
}

}  // namespace TarselUI
