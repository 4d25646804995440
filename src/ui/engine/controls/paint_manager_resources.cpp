// Default attribute lists, option groups, default colours, the global
// colour adjustment, parent resources and the window settings.

#include <new>
#include <algorithm>

#include "ui/engine/controls/control.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/render/render_engine.h"

namespace TarselUI {

short CPaintManagerUI::m_H = 180;
short CPaintManagerUI::m_S = 100;
short CPaintManagerUI::m_L = 100;
CStdPtrArray CPaintManagerUI::m_aPreMessages;
CStdPtrArray CPaintManagerUI::m_aPlugins;

void CPaintManagerUI::AddDefaultAttributeList(LPCWSTR pStrControlName, LPCWSTR pStrControlAttrList) {
    if (!pStrControlName || !pStrControlAttrList) return;
    if (m_DefaultAttrHash.Find(pStrControlName, false)) return;  // the first list stays
    auto* copy = new (std::nothrow) CUIString(pStrControlAttrList);
    if (copy && !m_DefaultAttrHash.Insert(pStrControlName, copy)) delete copy;
}

LPCWSTR CPaintManagerUI::GetDefaultAttributeList(LPCWSTR pStrControlName) const {
    if (!pStrControlName) return nullptr;
    for (const CPaintManagerUI* pm = this; pm; pm = pm->m_pParentResourcePM) {
        if (auto* list = static_cast<const CUIString*>(pm->m_DefaultAttrHash.Find(pStrControlName))) {
            return list->GetData();
        }
    }
    return nullptr;
}

bool CPaintManagerUI::RemoveDefaultAttributeList(LPCWSTR pStrControlName) {
    if (!pStrControlName) return false;
    auto* list = static_cast<CUIString*>(m_DefaultAttrHash.Find(pStrControlName, false));
    if (!list) return false;
    delete list;
    return m_DefaultAttrHash.Remove(pStrControlName);
}

void CPaintManagerUI::RemoveAllDefaultAttributeList() {
    for (int i = 0; i < m_DefaultAttrHash.GetSize(); ++i) {
        if (LPCWSTR key = m_DefaultAttrHash.GetAt(i)) delete static_cast<CUIString*>(m_DefaultAttrHash.Find(key, false));
    }
    m_DefaultAttrHash.RemoveAll();
}

bool CPaintManagerUI::AddOptionGroup(LPCWSTR pStrGroupName, CControlUI* pControl) {
    if (!pStrGroupName) return false;
    auto* group = static_cast<CStdPtrArray*>(m_mOptionGroup.Find(pStrGroupName));
    if (group) {
        if (group->Find(pControl) >= 0) return false;
        return group->Add(pControl);
    }
    group = new (std::nothrow) CStdPtrArray(6);
    if (!group) return false;
    if (!group->Add(pControl) || !m_mOptionGroup.Insert(pStrGroupName, group)) {
        delete group;
        return false;
    }
    return true;
}

CStdPtrArray* CPaintManagerUI::GetOptionGroup(LPCWSTR pStrGroupName) {
    return pStrGroupName ? static_cast<CStdPtrArray*>(m_mOptionGroup.Find(pStrGroupName)) : nullptr;
}

void CPaintManagerUI::RemoveOptionGroup(LPCWSTR pStrGroupName, CControlUI* pControl) {
    auto* group = GetOptionGroup(pStrGroupName);
    if (!group) return;
    const int index = group->Find(pControl);
    if (index < 0) return;
    group->Remove(index);
    if (group->IsEmpty()) {
        delete group;
        m_mOptionGroup.Remove(pStrGroupName);
    }
}

void CPaintManagerUI::RemoveAllOptionGroups() {
    for (int i = 0; i < m_mOptionGroup.GetSize(); ++i) {
        if (LPCWSTR key = m_mOptionGroup.GetAt(i)) delete static_cast<CStdPtrArray*>(m_mOptionGroup.Find(key, false));
    }
    m_mOptionGroup.RemoveAll();
}

const CPaintManagerUI* CPaintManagerUI::TopResourceManager() const {
    const CPaintManagerUI* top = this;
    while (top->m_pParentResourcePM) top = top->m_pParentResourcePM;
    return top;
}

DWORD CPaintManagerUI::GetDefaultDisabledColor() const { return TopResourceManager()->m_dwDefaultDisabledColor; }
DWORD CPaintManagerUI::GetDefaultFontColor() const { return TopResourceManager()->m_dwDefaultFontColor; }
DWORD CPaintManagerUI::GetDefaultLinkFontColor() const { return TopResourceManager()->m_dwDefaultLinkFontColor; }
DWORD CPaintManagerUI::GetDefaultLinkHoverFontColor() const {
    return TopResourceManager()->m_dwDefaultLinkHoverFontColor;
}
DWORD CPaintManagerUI::GetDefaultSelectedBkColor() const { return TopResourceManager()->m_dwDefaultSelectedBkColor; }

void CPaintManagerUI::SetHSL(bool, short H, short S, short L) {
    if (m_H == H && m_S == S && m_L == L) return;
    m_H = std::min<short>(std::max<short>(H, 0), 360);
    m_S = std::min<short>(std::max<short>(S, 0), 200);
    m_L = std::min<short>(std::max<short>(L, 0), 200);
    for (int i = 0; i < m_aPreMessages.GetSize(); ++i) {
        auto* pm = static_cast<CPaintManagerUI*>(m_aPreMessages.GetAt(i));
        if (pm && pm->GetRoot()) pm->GetRoot()->Invalidate();
    }
}

void CPaintManagerUI::GetHSL(short* H, short* S, short* L) {
    if (H) *H = m_H;
    if (S) *S = m_S;
    if (L) *L = m_L;
}

bool CPaintManagerUI::IsInParentChain(const CPaintManagerUI* pm) const {
    for (const CPaintManagerUI* p = this; p; p = p->m_pParentResourcePM) {
        if (p == pm) return true;
    }
    return false;
}

bool CPaintManagerUI::UseParentResource(CPaintManagerUI* pm) {
    if (!pm) {
        m_pParentResourcePM = nullptr;
        return true;
    }
    if (pm->IsInParentChain(this)) return false;  // would make a cycle
    m_pParentResourcePM = pm;
    return true;
}

void CPaintManagerUI::SetInitSize(int cx, int cy) {
    m_szInitWindowSize = SIZE{cx, cy};
    if (!m_pRoot && m_hWndPaint) {
        ::SetWindowPos(m_hWndPaint, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    }
}

void CPaintManagerUI::SetTransparent(int nOpacity) {
    m_nOpacity = std::min(std::max(nOpacity, 0), 255);
    if (!m_hWndPaint) return;
    using SetLayeredFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
    static const SetLayeredFn setLayered = reinterpret_cast<SetLayeredFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "SetLayeredWindowAttributes")));
    if (!setLayered) return;
    LONG exStyle = ::GetWindowLongW(m_hWndPaint, GWL_EXSTYLE);
    if (nOpacity >= 0 && nOpacity <= 255) {
        exStyle |= WS_EX_LAYERED;
    } else {
        exStyle &= ~WS_EX_LAYERED;
    }
    ::SetWindowLongW(m_hWndPaint, GWL_EXSTYLE, exStyle);
    setLayered(m_hWndPaint, 0, static_cast<BYTE>(m_nOpacity), LWA_ALPHA);
}

void CPaintManagerUI::DrawWindowShadow(RECT rc) {
    if (m_hDcBackground && !m_sBackWndImage.IsEmpty()) {
        CRenderEngine::DrawImageString(m_hDcBackground.get(), this, rc, rc, m_sBackWndImage);
    }
}

}  // namespace TarselUI
