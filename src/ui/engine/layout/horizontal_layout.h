#pragma once
// Places children left to right: each child gets its own width or a share
// of what is left, and the layout's height unless it has a fixed one. An
// optional separator along the right (or left) edge lets the user drag the
// layout's width.

#include "ui/engine/controls/container.h"

namespace TarselUI {

class CHorizontalLayoutUI : public CContainerUI {
public:
    LPCWSTR GetClass() const override;
    LPVOID GetInterface(LPCWSTR pstrName) override;
    UINT GetControlFlags() const override;

    void SetSepWidth(int iWidth);
    int GetSepWidth() const { return m_iSepWidth; }
    void SetSepImmMode(bool bImmediately);
    bool IsSepImmMode() const { return m_bImmMode; }
    void SetButtonState(UINT uState) { m_uButtonState = uState; }
    UINT GetButtonState() const { return m_uButtonState; }
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    void DoEvent(TEventUI& event) override;

    void SetPos(RECT rc) override;
    void DoPostPaint(HDC hDC, const RECT& rcPaint) override;

    RECT GetThumbRect(bool bUseNew = false) const;

protected:
    int m_iSepWidth = 0;
    UINT m_uButtonState = 0;
    POINT m_ptLastMouse{};
    CUIRect m_rcNewPos;
    bool m_bImmMode = false;
};

}  // namespace TarselUI
