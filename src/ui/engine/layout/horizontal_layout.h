#pragma once
// Places children left to right: each child gets its own width or a share
// of what is left, and the layout's height unless it has a fixed one. An
// optional separator along the right (or left) edge lets the user drag the
// layout's width.

#include "ui/engine/layout/box_layout.h"

namespace TarselUI {

class CHorizontalLayoutUI : public CBoxLayoutUI {
public:
    CHorizontalLayoutUI() : CBoxLayoutUI(kHorizontalBox) {}

    LPCWSTR GetClass() const override;
    LPVOID GetInterface(LPCWSTR pstrName) override;

    void SetSepWidth(int iWidth) { SetSepSize(iWidth); }
    int GetSepWidth() const { return GetSepSize(); }
    // The horizontal layout also lets callers read and set the drag state.
    void SetButtonState(UINT uState) { m_uButtonState = uState; }
    UINT GetButtonState() const { return m_uButtonState; }
};

}  // namespace TarselUI
