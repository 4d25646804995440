#pragma once
// A scroll bar a container can own and place. This system's skins show
// none, so it keeps its range, position and line size and paints as a
// plain control; a container drives it through ProcessScrollBar.

#include "ui/engine/controls/control.h"

namespace TarselUI {

class CContainerUI;

class CScrollBarUI : public CControlUI {
public:
    CScrollBarUI();

    LPCWSTR GetClass() const override;
    LPVOID GetInterface(LPCWSTR pstrName) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;

    CContainerUI* GetOwner() const { return m_pOwner; }
    void SetOwner(CContainerUI* pOwner) { m_pOwner = pOwner; }

    bool IsHorizontal() const { return m_bHorizontal; }
    // A horizontal bar is as high as a vertical one is wide.
    void SetHorizontal(bool bHorizontal = true);

    int GetScrollRange() const { return m_nRange; }
    // Clamps the position into the new range.
    void SetScrollRange(int nRange);
    int GetScrollPos() const { return m_nScrollPos; }
    // Clamped to 0..range.
    void SetScrollPos(int nPos);
    int GetLineSize() const { return m_nLineSize; }
    void SetLineSize(int nSize);

    static constexpr int kDefaultThickness = 16;

private:
    bool m_bHorizontal = false;
    int m_nRange = 100;
    int m_nScrollPos = 0;
    int m_nLineSize = 8;
    CContainerUI* m_pOwner = nullptr;
};

}  // namespace TarselUI
