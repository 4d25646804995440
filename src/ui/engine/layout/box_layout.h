#pragma once
// Places children one after another along an axis: each child gets its own
// extent along it or a share of what is left, and the layout's breadth
// across it unless it has a fixed one. An optional separator on the far (or
// near) edge lets the user drag the layout's extent along the axis. The
// vertical and horizontal layouts are this class over their axis.

#include "ui/engine/controls/container.h"
#include "ui/engine/layout/box_axis.h"

namespace TarselUI {

class CBoxLayoutUI : public CContainerUI {
public:
    UINT GetControlFlags() const override;

    void SetSepImmMode(bool bImmediately);
    bool IsSepImmMode() const { return m_bImmMode; }
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    void DoEvent(TEventUI& event) override;

    void SetPos(RECT rc) override;
    void DoPostPaint(HDC hDC, const RECT& rcPaint) override;

    RECT GetThumbRect(bool bUseNew = false) const;

protected:
    explicit CBoxLayoutUI(const BoxAxis& axis) : m_axis(axis) {}

    void SetSepSize(int iSize) { m_iSepSize = iSize; }
    int GetSepSize() const { return m_iSepSize; }

    const BoxAxis& m_axis;
    int m_iSepSize = 0;
    UINT m_uButtonState = 0;
    POINT m_ptLastMouse{};
    CUIRect m_rcNewPos;
    bool m_bImmMode = false;

private:
    struct Measure {
        int stretchCount = 0;
        int fixedTotal = 0;  // fixed extents, all paddings and the gaps
        int placed = 0;      // visible children in the flow
    };
    Measure MeasureChildren(SIZE available);
    // Returns the extent the children need along the axis.
    int PlaceChildren(const RECT& area, SIZE available, const Measure& measure);
    // The bar's scroll position when it is shown, else 0.
    int ScrollOffset(bool verticalBar) const;
};

}  // namespace TarselUI
