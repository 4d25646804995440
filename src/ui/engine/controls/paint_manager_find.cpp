// Finding controls: by name through the name map, by point, by name or
// class inside a subtree.

#include "ui/engine/controls/control.h"
#include "ui/engine/controls/paint_manager.h"

namespace TarselUI {

namespace {

struct TClassSearch {
    LPCWSTR pstrClass;
    CStdPtrArray* found;
    int wanted;  // -1: collect all
    int count;
};

bool ClassMatches(CControlUI* control, LPCWSTR pstrClass) {
    return !pstrClass || !*pstrClass || CUIString(control->GetClass()) == pstrClass;
}

}  // namespace

CControlUI* CALLBACK CPaintManagerUI::__FindControlFromNameHash(CControlUI* pThis, LPVOID pData) {
    auto* manager = static_cast<CPaintManagerUI*>(pData);
    const CUIString name = pThis->GetName();
    if (!name.IsEmpty()) manager->m_mNameHash.Set(name, pThis);  // a later control of the same name wins
    return nullptr;
}

CControlUI* CALLBACK CPaintManagerUI::__FindControlFromCount(CControlUI*, LPVOID pData) {
    ++*static_cast<int*>(pData);
    return nullptr;
}

CControlUI* CALLBACK CPaintManagerUI::__FindControlFromPoint(CControlUI* pThis, LPVOID pData) {
    const POINT pt = *static_cast<const POINT*>(pData);
    const RECT& rc = pThis->GetPos();
    return ::PtInRect(&rc, pt) ? pThis : nullptr;
}

CControlUI* CALLBACK CPaintManagerUI::__FindControlFromName(CControlUI* pThis, LPVOID pData) {
    const auto* name = static_cast<LPCWSTR>(pData);
    const CUIString own = pThis->GetName();
    if (own.IsEmpty()) return nullptr;
    return own.CompareNoCase(name) == 0 ? pThis : nullptr;
}

CControlUI* CALLBACK CPaintManagerUI::__FindControlFromClass(CControlUI* pThis, LPVOID pData) {
    auto* search = static_cast<TClassSearch*>(pData);
    if (!ClassMatches(pThis, search->pstrClass)) return nullptr;
    search->found->SetAt(search->count, pThis);
    if (search->count++ == search->wanted) return pThis;
    return nullptr;
}

CControlUI* CALLBACK CPaintManagerUI::__FindControlsFromClass(CControlUI* pThis, LPVOID pData) {
    auto* search = static_cast<TClassSearch*>(pData);
    if (ClassMatches(pThis, search->pstrClass)) search->found->Add(pThis);
    return nullptr;
}

CControlUI* CPaintManagerUI::FindControl(POINT pt) const {
    if (!m_pRoot) return nullptr;
    return m_pRoot->FindControl(__FindControlFromPoint, &pt, UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

CControlUI* CPaintManagerUI::FindControl(LPCWSTR pstrName) const {
    if (!pstrName) return nullptr;
    return static_cast<CControlUI*>(m_mNameHash.Find(pstrName));
}

CControlUI* CPaintManagerUI::FindSubControlByPoint(CControlUI* pParent, POINT pt) const {
    if (!pParent) pParent = m_pRoot;
    if (!pParent) return nullptr;
    return pParent->FindControl(__FindControlFromPoint, &pt, UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

CControlUI* CPaintManagerUI::FindSubControlByName(CControlUI* pParent, LPCWSTR pstrName) const {
    if (!pParent) pParent = m_pRoot;
    if (!pParent || !pstrName) return nullptr;
    return pParent->FindControl(__FindControlFromName, const_cast<LPWSTR>(pstrName), UIFIND_ALL);
}

CControlUI* CPaintManagerUI::FindSubControlByClass(CControlUI* pParent, LPCWSTR pstrClass, int iIndex) {
    if (!pParent) pParent = m_pRoot;
    if (!pParent || iIndex < 0) return nullptr;
    m_aFoundControls.Resize(iIndex + 1);
    TClassSearch search{pstrClass, &m_aFoundControls, iIndex, 0};
    return pParent->FindControl(__FindControlFromClass, &search, UIFIND_ALL);
}

CStdPtrArray* CPaintManagerUI::FindSubControlsByClass(CControlUI* pParent, LPCWSTR pstrClass) {
    if (!pParent) pParent = m_pRoot;
    m_aFoundControls.Empty();
    if (!pParent) return &m_aFoundControls;
    TClassSearch search{pstrClass, &m_aFoundControls, -1, 0};
    pParent->FindControl(__FindControlsFromClass, &search, UIFIND_ALL);
    return &m_aFoundControls;
}

}  // namespace TarselUI
