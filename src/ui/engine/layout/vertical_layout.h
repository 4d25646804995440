#pragma once
// Places children top to bottom: each child gets its own height or a share
// of what is left, and the layout's width unless it has a fixed one. An
// optional separator along the bottom (or top) edge lets the user drag the
// layout's height.

#include "ui/engine/controls/container.h"

namespace TarselUI {

class CVerticalLayoutUI : public CContainerUI {
public:
    LPCWSTR GetClass() const override;
    LPVOID GetInterface(LPCWSTR pstrName) override;
    UINT GetControlFlags() const override;

    void SetSepHeight(int iHeight);
    int GetSepHeight() const { return m_iSepHeight; }
    void SetSepImmMode(bool bImmediately);
    bool IsSepImmMode() const { return m_bImmMode; }
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    void DoEvent(TEventUI& event) override;

    void SetPos(RECT rc) override;
    void DoPostPaint(HDC hDC, const RECT& rcPaint) override;

    RECT GetThumbRect(bool bUseNew = false) const;

protected:
    int m_iSepHeight = 0;
    UINT m_uButtonState = 0;
    POINT m_ptLastMouse{};
    CUIRect m_rcNewPos;
    bool m_bImmMode = false;
};

}  // namespace TarselUI
