#pragma once
// Shows one child at a time; selecting another child hides the rest and
// sends "tabselect" (new index in wParam, old one in lParam).

#include "ui/engine/controls/container.h"

namespace TarselUI {

class CTabLayoutUI : public CContainerUI {
public:
    LPCWSTR GetClass() const override;
    LPVOID GetInterface(LPCWSTR pstrName) override;

    bool Add(CControlUI* pControl) override;
    bool AddAt(CControlUI* pControl, int iIndex) override;
    bool Remove(CControlUI* pControl) override;
    bool RemoveAt(int iIndex) override;
    void RemoveAll() override;

    int GetCurSel() const { return m_iCurSel; }
    bool SelectItem(int iIndex);
    bool SelectItem(CControlUI* pControl);

    void SetPos(RECT rc) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;

protected:
    // After the child list changed: keep a valid selection and show only it.
    void Reselect(int preferred);

    int m_iCurSel = -1;
};

}  // namespace TarselUI
